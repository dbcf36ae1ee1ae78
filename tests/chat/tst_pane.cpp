// The transcript pane: coloured runs, plain text with CR LF, no markup,
// selection handling, clearing, font size and the right-button menu.

#include "chat/TranscriptPane.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTextBlock>

namespace {

Rgb colorAt(TranscriptPane &pane, int position)
{
    QTextCursor c(pane.document());
    c.setPosition(position + 1);   // the format of the character before the cursor
    return c.charFormat().foreground().color().rgb() & 0xFFFFFF;
}

void press(QWidget *w, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class PaneTest : public QObject
{
    Q_OBJECT
private slots:
    void runsKeepTheirColours()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.AddText("[1:02:03]  ", 0xFF0000);
        pane.AddText("Bob", 0x00FF00);
        pane.AddText(":10: ", 0xFFFF00);
        pane.AddText("<b>x</b> & &amp;\r\n", 0xFFFFFF);
        pane.AddText("", 0x123456);
        pane.AddText("next", 0x00FFFF);
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("[1:02:03]  Bob:10: <b>x</b> & &amp;\r\nnext"));
        QCOMPARE(colorAt(pane, 0), Rgb(0xFF0000));
        QCOMPARE(colorAt(pane, 11), Rgb(0x00FF00));
        QCOMPARE(colorAt(pane, 14), Rgb(0xFFFF00));
        QCOMPARE(colorAt(pane, 19), Rgb(0xFFFFFF));
        QCOMPARE(colorAt(pane, pane.document()->characterCount() - 2), Rgb(0x00FFFF));
        QCOMPARE(pane.document()->blockCount(), 2);
    }

    void lineEndsSurviveForTheLogFile()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.AddText("a\r\n", 0xFF0000);
        pane.AddText("\r\n", 0xFF0000);
        pane.AddText("b\r\n", 0xFF0000);
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("a\r\n\r\nb\r\n"));
    }

    void anAppendDropsTheSelectionAndLeavesTheCaretAtTheEnd()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.AddText("hello world\r\n", 0xFFFFFF);
        QTextCursor c = pane.textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        pane.setTextCursor(c);
        pane.AddText("more", 0xFFFFFF);
        QVERIFY(!pane.textCursor().hasSelection());
        QVERIFY(pane.textCursor().atEnd());
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("hello world\r\nmore"));
    }

    void clearingOnePaneLeavesTheOther()
    {
        TranscriptPane upper("txtMenu", "mClr");
        TranscriptPane lower("iMenu", "iClr");
        upper.AddText("up\r\n", 0xFFFFFF);
        lower.AddText("down\r\n", 0xFFFFFF);
        QAction *iClr = lower.contextMenu()->findChild<QAction *>("iClr");
        QVERIFY(iClr);
        QCOMPARE(iClr->text(), QStringLiteral("&Clear"));
        QCOMPARE(lower.contextMenu()->actions().size(), 1);
        iClr->trigger();
        QCOMPARE(lower.plainTextCrLf(), QString());
        QCOMPARE(upper.plainTextCrLf(), QStringLiteral("up\r\n"));
        lower.AddText("again\r\n", 0xFF0000);
        QCOMPARE(lower.plainTextCrLf(), QStringLiteral("again\r\n"));
        QVERIFY(lower.textCursor().atEnd());
    }

    void fontSizeAppliesToAllTextNowAndLater()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.AddText("before\r\n", 0xFFFFFF);
        pane.setFontPointSize(12);
        pane.AddText("after\r\n", 0xFFFFFF);
        QCOMPARE(pane.fontPointSize(), 12);
        const QFont first = QTextCursor(pane.document()->firstBlock()).charFormat().font();
        QTextCursor last(pane.document());
        last.movePosition(QTextCursor::End);
        last.movePosition(QTextCursor::PreviousCharacter);
        for (const QFont &f : {first, last.charFormat().font()})
            QVERIFY(f.pointSize() == 12 || (f.pointSize() <= 0 && pane.document()->defaultFont().pointSize() == 12));
    }

    void onlyTheRightButtonAloneOpensTheMenu()
    {
        TranscriptPane pane("txtMenu", "mClr");
        pane.resize(200, 100);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        press(pane.viewport(), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(!pane.contextMenu()->isVisible());
        press(pane.viewport(), Qt::RightButton, Qt::RightButton | Qt::LeftButton);
        QVERIFY(!pane.contextMenu()->isVisible());
        press(pane.viewport(), Qt::RightButton, Qt::RightButton);
        QVERIFY(pane.contextMenu()->isVisible());
        QCOMPARE(pane.contextMenu()->objectName(), QStringLiteral("txtMenu"));
        pane.contextMenu()->close();
    }
};

QTEST_MAIN(PaneTest)
#include "tst_pane.moc"
