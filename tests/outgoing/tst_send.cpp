// The input line, the send path with its slash commands and the send menu,
// against a scripted gateway.

#include "LoggedOnSession.h"
#include "codec/Wire.h"
#include "outgoing/InputLine.h"
#include "outgoing/OutgoingMenus.h"
#include "outgoing/SendPath.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMenu>
#include <QSignalSpy>

class TestSend : public QObject
{
    Q_OBJECT
private slots:
    void inputLineKeepsOnlySentLines();
    void upAndDownWalkTheHistory();
    void pickingAnEntryFillsTheEditText();
    void chatIsEchoedAndSent();
    void commandsGoOutUnchanged();
    void replyNeedsSomebodyToReplyTo();
    void hexSendEncodesAndSendsAsChat();
    void notConnectedOrEmptyDoesNothing();
    void sendMenuHasHexAboveNormal();
};

void TestSend::inputLineKeepsOnlySentLines()
{
    InputLine input;
    QCOMPARE(input.objectName(), QStringLiteral("txtSend"));
    QSignalSpy enter(&input, &InputLine::sendRequested);

    QTest::keyClicks(&input, QStringLiteral("hi"));
    QTest::keyClick(&input, Qt::Key_Return);
    QTest::keyClick(&input, Qt::Key_Enter);
    QCOMPARE(enter.count(), 2);
    QCOMPARE(input.count(), 0);             // Enter files nothing by itself
    QCOMPARE(input.editText(), QStringLiteral("hi"));

    // The first entry must not leak into the edit text; duplicates stay.
    input.appendHistory(QStringLiteral("one"));
    input.appendHistory(QStringLiteral("two"));
    input.appendHistory(QStringLiteral("one"));
    QCOMPARE(input.editText(), QStringLiteral("hi"));
    QCOMPARE(input.history(), (QStringList{"one", "two", "one"}));

    // No completion from the history while typing.
    input.clearEditText();
    QTest::keyClicks(&input, QStringLiteral("t"));
    QCOMPARE(input.editText(), QStringLiteral("t"));

    QTest::keyClick(&input, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(input.count(), 0);
    QCOMPARE(input.editText(), QString());
}

void TestSend::upAndDownWalkTheHistory()
{
    InputLine input;
    for (const char *line : {"a", "b", "c"})
        input.appendHistory(QString::fromLatin1(line));
    input.setEditText(QStringLiteral("draft"));

    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(&input, Qt::Key_Up);
        seen << input.editText();
    }
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(&input, Qt::Key_Down);
        seen << input.editText();
    }
    QCOMPARE(seen, (QStringList{"c", "b", "a", "a", "b", "c", "draft", "draft"}));
    QCOMPARE(input.history(), (QStringList{"a", "b", "c"}));
}

void TestSend::pickingAnEntryFillsTheEditText()
{
    InputLine input;
    input.appendHistory(QStringLiteral("first"));
    input.appendHistory(QStringLiteral("second"));
    input.show();
    QVERIFY(QTest::qWaitForWindowExposed(&input));
    input.showPopup();
    QAbstractItemView *view = input.view();
    view->setCurrentIndex(input.model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(input.editText(), QStringLiteral("second"));
    QTest::keyClick(&input, Qt::Key_Up);    // walking goes on from the pick
    QCOMPARE(input.editText(), QStringLiteral("first"));
    QCOMPARE(input.count(), 2);
}

void TestSend::chatIsEchoedAndSent()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    SendPath path(s.session, input);
    QObject::connect(&input, &InputLine::sendRequested, &path, &SendPath::Send);

    QTest::keyClicks(&input, QStringLiteral("hello"));
    QTest::keyClick(&input, Qt::Key_Return);
    QCOMPARE(s.wireUpToMarker(), QByteArray("hello\r"));
    QCOMPARE(s.upper.runs, LoggedOnSession::ownEcho(QStringLiteral("hello")));
    QCOMPARE(input.editText(), QString());
    QCOMPARE(input.history(), QStringList{"hello"});

    // 8-bit text goes out one byte per character.
    input.setEditText(QStringLiteral("caf\u00e9 \u00a3"));
    path.Send();
    QCOMPARE(s.wireUpToMarker(), QByteArray("caf\xe9 \xa3\r"));
}

void TestSend::commandsGoOutUnchanged()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    SendPath path(s.session, input);

    // Only "/hex " and "/reply ", exactly so, belong to the client.
    const QStringList commands{"/w alice hi", "/join Chat", "/hex", "/HEX 41", "/reply", "/Reply thanks"};
    for (const QString &line : commands) {
        input.setEditText(line);
        path.Send();
        QCOMPARE(s.wireUpToMarker(), Wire::encode(line) + '\r');
        QCOMPARE(input.editText(), QString());
    }
    QVERIFY(s.upper.runs.isEmpty());
    QCOMPARE(input.history(), commands);
}

void TestSend::replyNeedsSomebodyToReplyTo()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    SendPath path(s.session, input);

    input.setEditText(QStringLiteral("/reply thanks"));
    path.Send();
    QCOMPARE(s.upper.runs, (QList<Run>{{TimeStamp::now() + "Error: Nobody to reply to!\r\n", Colors::Red}}));
    QCOMPARE(input.editText(), QString());
    QCOMPARE(input.history(), QStringList());
    QCOMPARE(s.wireUpToMarker(), QByteArray());

    s.gateway.sendLines({"1004 WHISPER alice 0010 \"psst\""});
    QVERIFY(LoggedOnSession::waitUntil([&] { return s.session.replyName() == QLatin1String("alice"); }));
    s.upper.clear();
    input.setEditText(QStringLiteral("/reply thanks"));
    path.Send();
    QCOMPARE(s.wireUpToMarker(), QByteArray("/w alice thanks\r"));
    QVERIFY(s.upper.runs.isEmpty());
    QCOMPARE(input.history(), QStringList{"/w alice thanks"});
}

void TestSend::hexSendEncodesAndSendsAsChat()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    SendPath path(s.session, input);

    input.setEditText(QStringLiteral("/hex hi"));
    path.Send();
    QCOMPARE(s.wireUpToMarker(), QByteArray("\xa3" "6869\r"));
    QCOMPARE(s.upper.runs, LoggedOnSession::ownEcho(QStringLiteral("\u00a36869")));
    QCOMPARE(input.editText(), QString());

    // Nothing behind the command: the marker alone; a tab gets two digits.
    s.upper.clear();
    input.setEditText(QStringLiteral("/hex "));
    path.Send();
    QCOMPARE(s.wireUpToMarker(), QByteArray("\xa3\r"));
    QCOMPARE(s.upper.runs, LoggedOnSession::ownEcho(QStringLiteral("\u00a3")));
    input.setEditText(QStringLiteral("a\tb"));
    path.hexSend();
    QCOMPARE(s.wireUpToMarker(), QByteArray("\xa3" "610962\r"));

    // Only the encoded lines are kept.
    QCOMPARE(input.history(), (QStringList{"\u00a36869", "\u00a3", "\u00a3610962"}));
}

void TestSend::notConnectedOrEmptyDoesNothing()
{
    LoggedOnSession s;
    InputLine input;
    SendPath path(s.session, input);

    for (const QString &line : {QStringLiteral("hello"), QStringLiteral("/reply x"), QStringLiteral("/hex hi")}) {
        input.setEditText(line);
        path.Send();
        QCOMPARE(input.editText(), line);
    }
    // The menu's hex send still rewrites the line; its nested Send waits.
    input.setEditText(QStringLiteral("hi"));
    path.hexSend();
    QCOMPARE(input.editText(), QStringLiteral("\u00a36869"));
    QVERIFY(s.upper.runs.isEmpty());
    QCOMPARE(input.count(), 0);

    QVERIFY(s.logOn());
    input.clearEditText();
    path.Send();
    QCOMPARE(s.wireUpToMarker(), QByteArray());
    QVERIFY(s.upper.runs.isEmpty());

    // After the server closed the connection the text waits again.
    s.gateway.dropClient();
    QVERIFY(LoggedOnSession::waitUntil([&] { return !s.session.isConnected(); }));
    s.upper.clear();
    input.setEditText(QStringLiteral("late"));
    path.Send();
    QCOMPARE(input.editText(), QStringLiteral("late"));
    QVERIFY(s.upper.runs.isEmpty());
    QCOMPARE(input.count(), 0);
}

void TestSend::sendMenuHasHexAboveNormal()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    SendPath path(s.session, input);
    QWidget owner;
    QMenu *menu = OutgoingMenus::createSndMenu(path, &owner);
    QCOMPARE(menu->objectName(), QStringLiteral("sndMenu"));
    QStringList items;
    for (QAction *a : menu->actions())
        items << a->objectName() + '=' + a->text();
    QCOMPARE(items, (QStringList{"mHex=&Hex", "mNorm=&Normal"}));

    input.setEditText(QStringLiteral("hi"));
    menu->actions().at(1)->trigger();
    QCOMPARE(s.wireUpToMarker(), QByteArray("hi\r"));
    input.setEditText(QStringLiteral("hi"));
    menu->actions().at(0)->trigger();
    QCOMPARE(s.wireUpToMarker(), QByteArray("\xa3" "6869\r"));
    QCOMPARE(input.history(), (QStringList{"hi", "\u00a36869"}));
}

QTEST_MAIN(TestSend)
#include "tst_send.moc"
