// The parser fed arbitrary bytes cut into arbitrary chunks, with the roster
// and two checking panes. The input is a little program: each step takes
// some bytes as the next chunk, repeats a few bytes into a long chunk (to
// reach the over-long line rules with short inputs), starts a new arrival,
// or starts a new connection.

#include "FuzzChecks.h"

#include "chat/ChatParser.h"
#include "chat/RosterModel.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

class Host : public ParserHost
{
public:
    void AddText(const QString &txt, Rgb color) override { upper.AddText(txt, color); }
    void AddText2(const QString &txt, Rgb color) override { lower.AddText(txt, color); }
    void loggedOn(const QString &) override {}
    void setReplyName(const QString &) override {}
    void setChannel(const QString &) override {}
    bool sendParserLine(const QString &line) override
    {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')),
                   "a line sent to the server holds its own line break");
        return true;
    }
    bool joinLeave() override { return joinLeaveOn; }
    QString homeChan() override { return QStringLiteral("Lobby"); }

    CheckingSink upper;
    CheckingSink lower;
    bool joinLeaveOn = true;
};

// Big enough to cross the parser's bound on an unfinished line, small
// enough to keep the runs fast.
constexpr size_t MaxInputBytes = 160 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Host host;
    host.upper.keepText = false;
    host.lower.keepText = false;
    host.joinLeaveOn = in.ConsumeBool();
    RosterModel roster;
    ChatParser parser(host, roster);
    size_t fed = 0;
    while (in.remaining_bytes() > 0 && fed < MaxInputBytes) {
        const uint8_t step = in.ConsumeIntegral<uint8_t>();
        QByteArray chunk;
        if (step < 224) {
            chunk = QByteArray::fromStdString(in.ConsumeBytesAsString(step));
        } else if (step < 254) {
            const std::string piece = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(1, 8));
            const size_t times = in.ConsumeIntegralInRange<size_t>(1, 20000);
            chunk = QByteArray::fromStdString(piece).repeated(qsizetype(times));
            if (chunk.size() > qsizetype(MaxInputBytes - fed))
                chunk.truncate(qsizetype(MaxInputBytes - fed));
        } else if (step == 254) {
            parser.beginArrival();
            continue;
        } else {
            parser.resetConnection();
            continue;
        }
        fed += size_t(chunk.size());
        parser.ParseData(chunk);
        FUZZ_CHECK(parser.pendingBytes() <= ChatParser::MaxTail, "the unfinished line outgrew its bound");
        for (int i = 1; i <= roster.count(); ++i) {
            const RosterModel::Entry &e = roster.entry(i);
            FUZZ_CHECK(e.icon >= 0 && e.icon <= 11, "a roster icon outside the image list");
            FUZZ_CHECK(e.color == RosterModel::DefaultColor || e.color == RosterModel::RankColor,
                       "a roster colour that is neither the default nor the rank colour");
        }
        FUZZ_CHECK(roster.countLabel() == QLatin1String("0") || roster.countLabel().startsWith(QLatin1Char(' ')),
                   "a count label without its leading blank");
    }
    return 0;
}
