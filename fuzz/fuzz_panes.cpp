// The parser writing into real transcript panes (offscreen): arbitrary
// chunks, batches opened and closed as the session does, the panes cleared
// now and then, the user's caret moved, the view scrolled, lines marked,
// the find bar searching and the pointer over the text. Whatever happens,
// each pane holds the text appended to it since it was last cleared: all
// of it, or with a scrollback limit its last whole lines, no more of them
// than the limit allows; and no address other than http or https shows.
//
// The widgets are made once and emptied before each input (making them
// cost more than most inputs), so an input runs the same from a fresh
// process as in the middle of a run.

#include "FuzzChecks.h"

#include "chat/FindBar.h"
#include "chat/RosterModel.h"
#include "chat/TranscriptPane.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>

#include <fuzzer/FuzzedDataProvider.h>

// A pane that also keeps what it was given, to compare with what it shows.
class WatchedPane : public TranscriptPane
{
public:
    WatchedPane() : TranscriptPane(QStringLiteral("txtMenu"), QStringLiteral("mClr")) {}
    void AddText(const QString &txt, Rgb color) override
    {
        check.AddText(txt, color);
        TranscriptPane::AddText(txt, color);
    }
    // After every step: never more lines than the limit allows.
    void verifyBound(const char *what)
    {
        const int limit = scrollbackLimit();
        FUZZ_CHECK(limit <= 0 || document()->blockCount() - 1 <= limit + limit / 10, what);
    }
    // Before the pane is emptied and at the end (the text only ever leaves
    // from the front, so a loss cannot hide until then): the text kept.
    void verifyKept(const char *what)
    {
        const QString kept = plainTextCrLf(), &all = check.text;
        const int limit = scrollbackLimit();
        const bool tail = kept.size() <= all.size() && QStringView(all).right(kept.size()) == kept;
        FUZZ_CHECK(limit > 0 ? tail : all == kept, what);
        FUZZ_CHECK(kept.size() == all.size() || all.at(all.size() - kept.size() - 1) == u'\n', what);
        verifyBound(what);
    }
    void empty()
    {
        clearPane();
        check.text.clear();
    }
    CheckingSink check;
};

struct Rig {
    WatchedPane upper, lower;
    FindBar find{&upper};
};

// Made once and never destroyed: destroying them after main() has returned
// would run after the library's own globals are gone.
static QApplication *app = nullptr;
static Rig *rig = nullptr;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    rig = new Rig;
    rig->upper.resize(300, 200);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    WatchedPane &upper = rig->upper, &lower = rig->lower;
    FindBar &find = rig->find;
    QApplication::processEvents();   // what the last input left queued
    // Deferred deletions wait for an event loop, which a fuzzer never runs:
    // left queued, thousands of them made every later processEvents() slower.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    upper.empty();
    lower.empty();
    find.field()->clear();
    upper.setVisible(in.ConsumeBool());
    // Small limits, so that the short inputs a run can afford (tools/fuzz.sh
    // keeps them to 160 bytes, about eight lines) still overflow them.
    const int limit = in.ConsumeIntegralInRange<int>(-1, 6);
    upper.setScrollbackLimit(limit);
    lower.setScrollbackLimit(limit);
    FuzzHost host(upper, lower);
    RosterModel roster;
    ChatParser parser(host, roster, host.upper, host.lower);
    parser.setOptions(host.options());
    const auto both = [&](void (TranscriptPane::*batch)()) { (upper.*batch)(); (lower.*batch)(); };
    // The user's actions cost a byte or three of input each but far more to
    // run (a search, a paint, a copy of the whole text): six per input
    // find what they can, and keep every input about as cheap as its bytes.
    int actions = 0;
    while (in.remaining_bytes() > 0) {
        const uint8_t step = in.ConsumeIntegral<uint8_t>();
        WatchedPane &pane = step % 2 ? upper : lower;
        if (step >= 240 && ++actions > 6)
            break;
        if (step < 240) {
            const QByteArray chunk = QByteArray::fromStdString(in.ConsumeBytesAsString(step));
            const bool batched = step % 2 == 0;   // both panes, as the session does
            if (batched)
                both(&TranscriptPane::beginBatch);
            parser.ParseData(chunk);
            if (batched)
                both(&TranscriptPane::endBatch);
        } else if (step < 244) {
            // The user puts the caret somewhere, perhaps with a selection.
            QTextCursor c = upper.textCursor();
            const int length = upper.document()->characterCount() - 1;
            c.setPosition(qMin(int(in.ConsumeIntegral<uint16_t>()), length));
            c.setPosition(qMin(int(in.ConsumeIntegral<uint16_t>()), length), QTextCursor::KeepAnchor);
            upper.setTextCursor(c);
        } else if (step < 246) {
            pane.markLastLine(0x400000);
        } else if (step < 248) {
            upper.verticalScrollBar()->setSliderPosition(in.ConsumeIntegral<uint16_t>());
        } else if (step < 250) {
            find.field()->setText(QString::fromLatin1(in.ConsumeBytesAsString(3)));
            step % 2 ? find.findNext() : find.findPrevious();
        } else if (step < 252) {
            pane.verifyKept("the pane lost or changed text before it was cleared");
            pane.empty();   // the menu's Clear
        } else if (step < 254) {
            const QUrl link = upper.linkAt(QPoint(in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>()));
            FUZZ_CHECK(link.isEmpty() || link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https"),
                       "an address of another kind");
        } else {
            QApplication::processEvents();
        }
        upper.verifyBound("the upper pane kept more lines than its limit");
        lower.verifyBound("the lower pane kept more lines than its limit");
    }
    upper.verifyKept("the upper pane lost or changed text");
    lower.verifyKept("the lower pane lost or changed text");
    return 0;
}
