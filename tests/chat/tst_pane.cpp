// The transcript panes: coloured runs of plain text (never markup) with
// CR LF, every character kept, batches and the caret rules, clearing, the
// font size, the right-button menu, a flood over loopback; the scrollback
// limit with a reader scrolled up, addresses, marked lines and the find bar.

#include "GatewaySessionTest.h"
#include "chat/FindBar.h"
#include "chat/TranscriptPane.h"
#include "codec/Wire.h"

#include <QAction>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

// Each line as its background, then each run as its colour and text
// (an address in angle brackets): "400000|ff00:go |ff00:<www.a.example/x>".
static QStringList linesOf(TranscriptPane &pane)
{
    QStringList lines;
    for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next()) {
        lines << QString::number(b.blockFormat().background().color().rgb() & 0xFFFFFF, 16);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString text = it.fragment().text();
            lines.last() += '|' + QString::number(f.foreground().color().rgb() & 0xFFFFFF, 16) + ':'
                          + (f.isAnchor() ? '<' + text + '>' : text);
        }
    }
    return lines;
}

static void press(QWidget *w, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = buttons & Qt::RightButton ? Qt::RightButton : Qt::LeftButton;
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), button, buttons, {});
    QApplication::sendEvent(w, &e);
}

static bool show(QWidget &w)
{
    w.resize(400, 200);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

class PaneTest : public GatewaySessionTest
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl &url) { opened.append(url); }

private slots:
    void runsKeepTheirColoursAndEveryCharacter()
    {
        TranscriptPane pane("txtMenu", "mClr");
        QByteArray bytes;   // all but CR and LF, a no-break space (0xA0) among them
        for (int b = 1; b <= 0xFF; ++b)
            bytes += b == '\r' || b == '\n' ? QByteArray() : QByteArray(1, char(b));
        for (const auto &[text, color] : {std::pair<QString, Rgb>{"[1:02:03]  ", 0xFF0000}, {"Bob", 0x00FF00},
                                          {":10: ", 0xFFFF00}, {"<b>x</b> & &amp;\r\n", 0xFFFFFF}, {"", 0x123456}})
            pane.AddText(text, color);
        pane.setFontPointSize(12);
        pane.AddText("\r\n", 0x00FFFF);
        pane.AddText(Wire::decode(bytes), 0x00FFFF);
        QCOMPARE(Wire::encode(pane.plainTextCrLf()), "[1:02:03]  Bob:10: <b>x</b> & &amp;\r\n\r\n" + bytes);
        QCOMPARE(linesOf(pane), QStringList({"0|ff0000:[1:02:03]  |ff00:Bob|ffff00::10: |ffffff:<b>x</b> & &amp;", "0",
                                             "0|ffff:" + Wire::decode(bytes)}));
        // The size is the pane's, for text before and after: no run has its own.
        QCOMPARE(pane.document()->defaultFont().pointSize(), 12);
        QTextCursor end(pane.document());
        end.movePosition(QTextCursor::End);
        QVERIFY(qIsNull(end.charFormat().fontPointSize()));
    }

    // Nested batches are one change, made when the outer one ends, with the
    // text there at once; a clear inside one starts afresh. Inside a batch as
    // outside (see the scrollback), a selection is dropped and the caret
    // goes to the end.
    void batchesAreOneChangeAndKeepTheCaretRules()
    {
        TranscriptPane pane("txtMenu", "mClr");
        QSignalSpy changes(pane.document(), &QTextDocument::contentsChange);
        pane.beginBatch();
        pane.beginBatch();
        pane.AddText("gone\r\n", 0xFFFFFF);
        pane.clearPane();
        const qsizetype cleared = changes.size();
        pane.AddText("[1]  ", 0xFF0000);
        pane.AddText("Bob\r\n", 0x00FF00);
        pane.endBatch();
        QCOMPARE(linesOf(pane), QStringList({"0|ff0000:[1]  |ff00:Bob", "0"}));
        QCOMPARE(changes.size(), cleared);
        pane.endBatch();
        QCOMPARE(changes.size(), cleared + 1);
        pane.endBatch();   // one end too many changes nothing
        QTextCursor c = pane.textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        pane.setTextCursor(c);
        pane.beginBatch();
        pane.AddText("more", 0xFFFFFF);
        QVERIFY(!pane.textCursor().hasSelection() && pane.textCursor().atEnd());
        c.setPosition(0);   // a caret put back without a selection goes to the end too
        pane.setTextCursor(c);
        pane.AddText(" text\r\n", 0xFFFFFF);
        pane.endBatch();
        QVERIFY(pane.textCursor().atEnd());
        QCOMPARE(pane.plainTextCrLf(), QStringLiteral("[1]  Bob\r\nmore text\r\n"));
    }

    void theRightButtonAloneOpensTheMenuWhoseClearLeavesTheOtherPane()
    {
        TranscriptPane txtChat("txtMenu", "mClr");
        TranscriptPane txtChat2("iMenu", "iClr");
        QVERIFY(show(txtChat2));
        txtChat.AddText("up\r\n", 0xFFFFFF);
        txtChat2.AddText("down\r\n", 0xFFFFFF);
        for (Qt::MouseButtons buttons : {Qt::MouseButtons(Qt::LeftButton), Qt::RightButton | Qt::LeftButton, Qt::MouseButtons(Qt::RightButton)}) {
            press(txtChat2.viewport(), buttons);
            QCOMPARE(txtChat2.contextMenu()->isVisible(), buttons == Qt::RightButton);
        }
        // The keyboard's ways: the Menu key and Shift+F10.
        for (const auto &[key, modifier] : {std::pair(Qt::Key_Menu, Qt::NoModifier), {Qt::Key_F10, Qt::ShiftModifier}}) {
            txtChat2.contextMenu()->close();
            QTest::keyClick(&txtChat2, key, modifier);
            QVERIFY(txtChat2.contextMenu()->isVisible());
        }
        txtChat2.contextMenu()->findChild<QAction *>("iClr")->trigger();
        txtChat2.AddText("again\r\n", 0xFF0000);
        QCOMPARE(txtChat.plainTextCrLf() + txtChat2.plainTextCrLf(), QStringLiteral("up\r\nagain\r\n"));
    }

    // A flood over loopback lands in shown panes, which end up laid out and
    // scrolled to the last line, the upper one holding its last lines only.
    void aFloodEndsLaidOutAndScrolledToTheEnd()
    {
        TranscriptPane txtChat("txtMenu", "mClr");
        TranscriptPane txtChat2("iMenu", "iClr");
        QVERIFY(show(txtChat) && show(txtChat2));
        txtChat.setScrollbackLimit(1000);
        ChatSession paneSession(settings, txtChat, txtChat2);
        paneSession.setPortForTesting(gateway->port());
        paneSession.Login();
        QVERIFY(gateway->waitForClient());
        constexpr int Lines = 5000;
        QByteArray flood;
        for (int i = 0; i < Lines; ++i)
            flood += "1005 TALK Ann 0010 \"line " + QByteArray::number(i) + "\"\r\n";
        gateway->send(flood + "1018 INFO \"done\"\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(txtChat2.plainTextCrLf().endsWith(QLatin1String("done\r\n")), 20000);
        // The last talk lines, in order, and the empty last block.
        const int blocks = txtChat.document()->blockCount();
        QVERIFY(blocks > 1000 && blocks <= 1101);
        QVERIFY(txtChat.document()->firstBlock().text().endsWith(QStringLiteral("line %1").arg(Lines + 1 - blocks)));
        QVERIFY(txtChat.document()->lastBlock().previous().text().endsWith(QLatin1String("line 4999")));
        QTRY_VERIFY(txtChat.verticalScrollBar()->maximum() > 0);
        QTRY_COMPARE(txtChat.verticalScrollBar()->value(), txtChat.verticalScrollBar()->maximum());
        // Painting held back in the flood goes on after it.
        QTRY_VERIFY(txtChat.updatesEnabled() && txtChat2.updatesEnabled());
    }

    // Old lines leave a tenth of the limit at a time; the view follows the
    // end, or, scrolled up, keeps showing the same line, selection or not,
    // while a marker counts the lines below. The marker, Ctrl+End and
    // scrolling down show the last line whole and follow again, also across
    // a font-size change.
    void theScrollbackKeepsTheLastLinesAndTheReadersPlace()
    {
        TranscriptPane pane("txtMenu", "mClr");
        QVERIFY(show(pane));
        pane.setScrollbackLimit(100);
        QScrollBar *bar = pane.verticalScrollBar();
        const auto topLine = [&] { return pane.cursorForPosition(QPoint(2, 2)).block().text(); };
        const auto add = [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                pane.AddText(QStringLiteral("line %1\r\n").arg(i), 0xFFFFFF);
                if (i == 0)
                    pane.markLastLine(0x400000);
            }
            QApplication::processEvents();
        };
        add(0, 110);
        QCOMPARE(pane.document()->blockCount(), 111);
        add(110, 111);
        QVERIFY(pane.plainTextCrLf().startsWith(QLatin1String("line 11\r\nline 12\r\n")));
        QVERIFY(linesOf(pane).first().startsWith("0|"));   // the mark left with its line
        bar->setSliderPosition(40);
        QTextCursor selection = pane.cursorForPosition(QPoint(2, 2));
        selection.setPosition(selection.position() + 3, QTextCursor::KeepAnchor);
        pane.setTextCursor(selection);
        const QString reading = topLine();
        add(111, 140);
        QCOMPARE(pane.document()->blockCount(), 108);
        QCOMPARE(topLine(), reading);
        QVERIFY(pane.textCursor().atEnd() && !pane.textCursor().hasSelection());
        QVERIFY(pane.newLinesMarker()->isVisible());
        QCOMPARE(pane.newLinesMarker()->text(), QStringLiteral("29 new lines"));
        const auto lastLineWhole = [&] {
            const QRect shown = pane.cursorRect(QTextCursor(pane.document()->lastBlock().previous()));
            return pane.isFollowing() && !pane.newLinesMarker()->isVisible() && bar->value() == bar->maximum()
                && shown.top() >= 0 && shown.bottom() <= pane.viewport()->height();
        };
        for (int way = 0; way < 4; ++way) {   // the marker, Ctrl+End, End, the scroll bar; then a bigger font
            bar->setSliderPosition(10);
            add(150 + 3 * way, 153 + 3 * way);
            QCOMPARE(pane.unseenLines(), way == 0 ? 29 + 3 : 3);   // still away at first: the count goes on
            if (way == 0)
                QTest::mouseClick(pane.newLinesMarker(), Qt::LeftButton);
            else if (way < 3)
                QTest::keyClick(&pane, Qt::Key_End, way == 1 ? Qt::ControlModifier : Qt::NoModifier);
            else
                bar->setSliderPosition(bar->maximum());
            QTRY_VERIFY(lastLineWhole());
        }
        pane.setFontPointSize(pane.fontPointSize() + 6);
        add(170, 171);
        QTRY_VERIFY(lastLineWhole());
    }

    // Addresses are anchors in the colour of their run (found per run); a
    // click on one opens it, a click beside it nothing. A mark colours a
    // line's background, not its text, and later lines stay unmarked.
    void addressesOpenOnAClickAndMarksColourWholeLines()
    {
        TranscriptPane pane("txtMenu", "mClr");
        QVERIFY(show(pane));
        pane.AddText("go www.a.example/x now\r\n", 0x00FF00);
        pane.markLastLine(0x400000);
        pane.AddText("https://b.example/x", 0xFFFFFF);
        pane.markLastLine(0x000040);
        pane.AddText("yz file:///etc\r\nnext\r\n", 0xFFFFFF);
        QCOMPARE(linesOf(pane), QStringList({"400000|ff00:go |ff00:<www.a.example/x>|ff00: now",
                                             "40|ffffff:<https://b.example/x>|ffffff:yz file:///etc", "0|ffffff:next", "0"}));
        QDesktopServices::setUrlHandler("http", this, "openUrl");
        QTextCursor at(pane.document());
        // Just right of where the address starts, and where it ends; then an
        // address nothing takes (no "https" handler here) leaves a red line.
        const int second = pane.document()->findBlockByNumber(1).position();
        for (int position : {3, 18, second + 2}) {
            at.setPosition(position);
            QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, pane.cursorRect(at).center() + QPoint(2, 0));
        }
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(opened, QList<QUrl>{QUrl("http://www.a.example/x")});
        QVERIFY(linesOf(pane).at(3).endsWith("  No web browser could be started for |ff0000:<https://b.example/x>"));
    }

    // Find: any case, round the ends, the match in view and marked while
    // lines arrive; the caret and the text are left alone; Escape closes.
    void theFindBarGoesFromMatchToMatch()
    {
        TranscriptPane pane("txtMenu", "mClr");
        FindBar bar(&pane);
        QVERIFY(show(pane));
        for (int i = 0; i < 300; ++i)
            pane.AddText(QStringLiteral("line %1 %2\r\n").arg(i).arg(i % 100 == 7 ? "NeedLe" : "hay"), 0xFFFFFF);
        QApplication::processEvents();
        bar.openBar();
        QTest::keyClicks(bar.field(), "needle");
        QList<int> matches{bar.match().blockNumber()};
        for (const auto &[key, modifier] : {std::pair(Qt::Key_Return, Qt::NoModifier), {Qt::Key_F3, Qt::ShiftModifier},
                                             {Qt::Key_F3, Qt::ShiftModifier}}) {
            QTest::keyClick(bar.field(), key, modifier);
            matches << bar.match().blockNumber();
        }
        QCOMPARE(matches, (QList<int>{7, 107, 7, 207}));
        pane.AddText("line 300 hay\r\n", 0xFFFFFF);
        QApplication::processEvents();
        const int top = pane.cursorForPosition(QPoint(2, 2)).blockNumber();
        QVERIFY(top < 207 && 207 < top + pane.verticalScrollBar()->pageStep());
        QCOMPARE(pane.extraSelections().last().cursor.selectedText(), QStringLiteral("NeedLe"));
        QVERIFY(pane.textCursor().atEnd());
        QTest::keyClick(bar.field(), Qt::Key_Escape);
        QVERIFY(bar.isHidden() && pane.extraSelections().isEmpty());
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(PaneTest)
#include "tst_pane.moc"
