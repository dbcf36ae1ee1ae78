// The panes take a received chunk as one edit: the text is there at once,
// the document reports one change when the batch ends, and the caret and
// selection rules hold inside a batch as outside.

#include "FakeSettings.h"
#include "ScriptedGateway.h"
#include "chat/ChatSession.h"
#include "chat/TranscriptPane.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

namespace {

Rgb colorAt(TranscriptPane &pane, int position)
{
    QTextCursor c(pane.document());
    c.setPosition(position + 1);
    return c.charFormat().foreground().color().rgb() & 0xFFFFFF;
}

} // namespace

class PaneBatchTest : public QObject
{
    Q_OBJECT
private slots:
    void aBatchIsOneChangeWhoseTextIsThereAtOnce()
    {
        TranscriptPane pane("txtMenu", "mClr");
        QSignalSpy changes(pane.document(), &QTextDocument::contentsChange);
        pane.beginBatch();
        pane.beginBatch();   // nested: only the outer end counts
        pane.AddText("[1]  ", 0xFF0000);
        pane.AddText("Bob\r\n", 0x00FF00);
        pane.endBatch();
        pane.AddText("second\r\n", 0xFFFFFF);
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("[1]  Bob\r\nsecond\r\n"));
        QCOMPARE(colorAt(pane, 0), Rgb(0xFF0000));
        QCOMPARE(colorAt(pane, 5), Rgb(0x00FF00));
        QCOMPARE(pane.document()->blockCount(), 3);
        QCOMPARE(changes.size(), 0);
        pane.endBatch();
        QCOMPARE(changes.size(), 1);
        pane.endBatch();   // one end too many changes nothing
        pane.AddText("third\r\n", 0xFFFFFF);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("[1]  Bob\r\nsecond\r\nthird\r\n"));
    }

    void theCaretRulesHoldInsideABatch()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.AddText("hello world\r\n", 0xFFFFFF);
        QTextCursor c = pane.textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        pane.setTextCursor(c);
        pane.beginBatch();
        pane.AddText("more", 0xFFFFFF);
        QVERIFY(!pane.textCursor().hasSelection());
        QVERIFY(pane.textCursor().atEnd());
        // A caret put back at the start without a selection goes to the end too.
        c = pane.textCursor();
        c.setPosition(0);
        pane.setTextCursor(c);
        pane.AddText(" text\r\n", 0xFFFFFF);
        pane.endBatch();
        QVERIFY(pane.textCursor().atEnd());
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("hello world\r\nmore text\r\n"));
    }

    void clearingInsideABatchStartsAfresh()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.beginBatch();
        pane.AddText("gone\r\n", 0xFFFFFF);
        pane.clearPane();
        pane.AddText("kept\r\n", 0xFF0000);
        pane.endBatch();
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("kept\r\n"));
        QCOMPARE(colorAt(pane, 0), Rgb(0xFF0000));
        // The widget's own clear works as well: appends still go to the end.
        pane.clear();
        pane.AddText("a", 0xFFFFFF);
        pane.AddText("b\r\n", 0x00FF00);
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("ab\r\n"));
        QVERIFY(pane.textCursor().atEnd());
    }

    // A flood over loopback lands whole in shown panes, which end up laid out
    // and scrolled to the last line.
    void aFloodEndsLaidOutAndScrolledToTheEnd()
    {
        TranscriptPane upper("txtMenu", "mClr");
        TranscriptPane lower("iMenu", "iClr");
        upper.resize(400, 200);
        lower.resize(400, 100);
        upper.show();
        lower.show();
        QVERIFY(QTest::qWaitForWindowExposed(&upper));
        FakeSettings settings;
        ScriptedGateway gateway;
        QVERIFY(gateway.listen());
        ChatSession session(settings, upper, lower);
        session.setPortForTesting(gateway.port());
        session.Login();
        QVERIFY(gateway.waitForClient());

        constexpr int Lines = 5000;
        QByteArray flood;
        for (int i = 0; i < Lines; ++i)
            flood += "1005 TALK Ann 0010 \"line " + QByteArray::number(i) + "\"\r\n";
        flood += "1018 INFO \"done\"\r\n";
        gateway.send(flood);
        QTRY_VERIFY_WITH_TIMEOUT(lower.plainTextCrLf().endsWith(QLatin1String("done\r\n")), 20000);

        // "Connecting to", "Connected!", the talk lines and the empty last block.
        QCOMPARE(upper.document()->blockCount(), Lines + 3);
        QVERIFY(upper.document()->lastBlock().previous().text().endsWith(QLatin1String("line 4999")));
        QTRY_VERIFY(upper.verticalScrollBar()->maximum() > 0);
        QTRY_COMPARE(upper.verticalScrollBar()->value(), upper.verticalScrollBar()->maximum());
    }
};

QTEST_MAIN(PaneBatchTest)
#include "tst_pane_batch.moc"
