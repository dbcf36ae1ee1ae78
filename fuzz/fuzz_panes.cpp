// The parser writing into real transcript panes (offscreen): arbitrary
// chunks, batches opened and closed as the session does, the panes cleared
// now and then, and the user's caret moved. Whatever happens, each pane
// holds exactly the text appended to it since it was last cleared.

#include "FuzzChecks.h"

#include "chat/ChatParser.h"
#include "chat/RosterModel.h"
#include "chat/TranscriptPane.h"

#include <QApplication>
#include <QTextCursor>

#include <fuzzer/FuzzedDataProvider.h>


namespace {

// A pane that also keeps what it was given, to compare with what it shows.
class WatchedPane : public TranscriptPane
{
public:
    WatchedPane()
        : TranscriptPane(QStringLiteral("txtMenu"), QStringLiteral("mClr"))
    {
    }
    void AddText(const QString &txt, Rgb color) override
    {
        check.AddText(txt, color);
        TranscriptPane::AddText(txt, color);
    }
    void clearAll()
    {
        clearPane();
        check.text.clear();
    }
    CheckingSink check;
};

class Host : public ParserHost
{
public:
    Host(WatchedPane &up, WatchedPane &low)
        : upper(up)
        , lower(low)
    {
    }
    void AddText(const QString &txt, Rgb color) override { upper.AddText(txt, color); }
    void AddText2(const QString &txt, Rgb color) override { lower.AddText(txt, color); }
    void loggedOn(const QString &) override {}
    void setReplyName(const QString &) override {}
    void setChannel(const QString &) override {}
    bool sendParserLine(const QString &) override { return true; }
    bool joinLeave() override { return true; }
    QString homeChan() override { return QStringLiteral("Lobby"); }

    WatchedPane &upper;
    WatchedPane &lower;
};

// Made once and never destroyed: destroying it after main() has returned
// would run after the library's own globals are gone.
QApplication *app = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    WatchedPane upper;
    WatchedPane lower;
    upper.resize(300, 200);
    if (in.ConsumeBool())
        upper.show();
    Host host(upper, lower);
    RosterModel roster;
    ChatParser parser(host, roster);
    while (in.remaining_bytes() > 0) {
        const uint8_t step = in.ConsumeIntegral<uint8_t>();
        if (step < 240) {
            const QByteArray chunk = QByteArray::fromStdString(in.ConsumeBytesAsString(step));
            const bool batched = step % 2 == 0;
            if (batched) {
                upper.beginBatch();
                lower.beginBatch();
            }
            parser.ParseData(chunk);
            if (batched) {
                lower.endBatch();
                upper.endBatch();
            }
        } else if (step < 248) {
            // The user puts the caret somewhere, perhaps with a selection.
            QTextCursor c = upper.textCursor();
            const int length = upper.document()->characterCount() - 1;
            c.setPosition(qMin(int(in.ConsumeIntegral<uint16_t>()), length));
            c.setPosition(qMin(int(in.ConsumeIntegral<uint16_t>()), length), QTextCursor::KeepAnchor);
            upper.setTextCursor(c);
        } else if (step < 252) {
            (step % 2 ? upper : lower).clearAll();
        } else {
            QApplication::processEvents();
        }
        FUZZ_CHECK(upper.plainTextCrLf() == upper.check.text, "the upper pane lost or changed text");
        FUZZ_CHECK(lower.plainTextCrLf() == lower.check.text, "the lower pane lost or changed text");
    }
    return 0;
}
