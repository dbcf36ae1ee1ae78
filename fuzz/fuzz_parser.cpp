// The parser fed arbitrary bytes cut into arbitrary chunks, with the roster
// and two checking panes. The input is a little program: each step takes
// some bytes as the next chunk, repeats a few bytes into a long chunk (to
// reach the over-long line rules with short inputs), starts a new arrival,
// or starts a new connection.

#include "FuzzChecks.h"

#include "chat/RosterModel.h"

#include <fuzzer/FuzzedDataProvider.h>

// Big enough to cross the parser's bound on an unfinished line, small
// enough to keep the runs fast.
constexpr size_t MaxInputBytes = 160 * 1024;

// Lines one input may make by repeating a piece. Each line costs far more
// than a byte (a roster of N equal names costs N*N on a flags change), and
// the long-line rules need no line ends, so repeats are only cut where they
// would make many lines: a run stays well under a millisecond.
constexpr size_t MaxRepeatedLines = 256;

static void checkRoster(const RosterModel &roster)
{
    for (int i = 1; i <= roster.count(); ++i) {
        const RosterModel::Entry &e = roster.entry(i);
        FUZZ_CHECK(e.icon >= 0 && e.icon <= 11, "a roster icon outside the image list");
        FUZZ_CHECK(e.color == Colors::Teal || e.color == RosterModel::RankColor,
                   "a roster colour that is neither the default nor the rank colour");
    }
    FUZZ_CHECK(roster.countLabel() == QLatin1String("0") || roster.countLabel().startsWith(QLatin1Char(' ')),
               "a count label without its leading blank");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    CheckingSink upper, lower;
    upper.keepText = lower.keepText = false;   // nothing here reads it; the runs go faster
    FuzzHost host(upper, lower);
    host.joinLeaveOn = in.ConsumeBool();
    RosterModel roster;
    ChatParser parser(host, roster, host.upper, host.lower);
    parser.setOptions(host.options());
    size_t lineBudget = MaxRepeatedLines;
    for (size_t fed = 0; in.remaining_bytes() > 0 && fed < MaxInputBytes;) {
        const uint8_t step = in.ConsumeIntegral<uint8_t>();
        if (step >= 254) {
            // The roster is checked where a connection or an arrival ends,
            // and at the end: checking it after every chunk cost more than
            // the parsing.
            checkRoster(roster);
            step == 254 ? parser.beginArrival() : parser.resetConnection();
            continue;
        }
        QByteArray chunk;
        if (step < 224) {
            chunk = QByteArray::fromStdString(in.ConsumeBytesAsString(step));
        } else {
            const QByteArray piece =
                QByteArray::fromStdString(in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(1, 8)));
            qsizetype times = in.ConsumeIntegralInRange<qsizetype>(1, 20000);
            if (const size_t ends = size_t(piece.count('\r') + piece.count('\n'))) {
                times = qMin(times, qsizetype(lineBudget / ends));
                lineBudget -= size_t(times) * ends;
            }
            chunk = piece.repeated(times);
            chunk.truncate(qsizetype(MaxInputBytes - fed));
        }
        fed += size_t(chunk.size());
        parser.ParseData(chunk);
        FUZZ_CHECK(parser.pendingBytes() <= ChatParser::MaxTail, "the unfinished line outgrew its bound");
    }
    checkRoster(roster);
    return 0;
}
