// Everything the user sends, against a scripted gateway: the send path with
// its slash commands, its menu and the input line's history, the roster
// commands, and the anti-idle message with its ticks driven directly.

#include "GatewaySessionTest.h"
#include "chat/Colors.h"
#include "outgoing/AntiIdle.h"
#include "outgoing/InputLine.h"
#include "outgoing/OutgoingMenus.h"
#include "outgoing/RosterCommands.h"
#include "outgoing/SendPath.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

class OutgoingTest : public GatewaySessionTest
{
    Q_OBJECT
    // The own-line echo: time stamp in red, name in blue-green, text in white.
    static QList<Run> ownEcho(const QString &text)
    {
        return {{TimeStamp::now(), Colors::Red}, {"bob: ", Colors::LogonBlue}, {text + CrLf, Colors::White}};
    }

private slots:
    void sendPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("via");    // Enter, a menu item, Enter after a whisper from alice, or offline
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("kept");   // the history entry, empty for none
        QTest::addColumn<QString>("shown");  // the own-line echo, nothing, or a red error line
        QTest::newRow("chat") << "hello" << "Enter" << QByteArray("hello\r") << "hello" << "echo";
        QTest::newRow("&Normal") << "hi" << "&Normal" << QByteArray("hi\r") << "hi" << "echo";
        QTest::newRow("empty") << "" << "Enter" << QByteArray() << "" << "";
        QTest::newRow("offline") << "/hex hi" << "offline" << QByteArray("<no marker>") << "" << "";
        for (const char *command : {"/w alice hi", "/join Chat", "/hex", "/HEX 41", "/reply", "/Reply thanks"})
            QTest::newRow(command) << command << "Enter" << QByteArray(command) + '\r' << command << "";
        QTest::newRow("/hex hi") << "/hex hi" << "Enter" << QByteArray("\xa3" "6869\r") << "\u00a36869" << "echo";
        QTest::newRow("/hex alone") << "/hex " << "Enter" << QByteArray("\xa3\r") << "\u00a3" << "echo";
        QTest::newRow("&Hex") << "a\tb" << "&Hex" << QByteArray("\xa3" "610962\r") << "\u00a3610962" << "echo";
        QTest::newRow("/reply") << "/reply thanks" << "whisper" << QByteArray("/w alice thanks\r") << "/w alice thanks" << "";
        QTest::newRow("/reply to nobody") << "/reply thanks" << "Enter" << QByteArray() << "" << "Error: Nobody to reply to!";
        // Before the logon the server would take a line for a name or password.
        QTest::newRow("logging on") << "/join x" << "logging on" << QByteArray() << "" << SendPath::LogonInProgress;
        QTest::newRow("talk in no channel") << "hello" << "kicked" << QByteArray() << "" << SendPath::NoChannel;
        QTest::newRow("join from no channel") << "/join x" << "kicked" << QByteArray("/join x\r") << "/join x" << "";
        // "1252": with Western (Windows-1252) chosen instead of UTF-8.
        QTest::newRow("UTF-8") << "é€привет" << "Enter" << QByteArray::fromHex("C3A9E282ACD0BFD180D0B8D0B2D0B5D1820D") << "é€привет" << "echo";
        QTest::newRow("/hex in UTF-8") << "/hex é" << "Enter" << QByteArray("\xa3" "C3A9\r") << "\u00a3C3A9" << "echo";
        QTest::newRow("Windows-1252") << "café €" << "1252" << QByteArray("caf\xe9 \x80\r") << "café €" << "echo";
        QTest::newRow("Windows-1252 lacks") << "/hex привет" << "1252" << QByteArray() << ""
                                            << SendPath::CannotEncode.arg("Western (Windows-1252)", "привет");
    }
    void sendPath()
    {
        QFETCH(QString, typed);
        QFETCH(QString, via);
        QFETCH(QByteArray, wire);
        QFETCH(QString, kept);
        QFETCH(QString, shown);
        settings.setText("TextEncoding", via == "1252" ? "windows-1252" : "UTF-8");
        if (via == "logging on") {
            session->Login();
            QVERIFY(QTest::qWaitFor([&] { return gateway->received().count("\r\n") >= 2; }));
            gateway->take();
            upper.clear();
        } else {
            QVERIFY(via == "offline" || logOn());
        }
        if (via == "kicked") {
            gateway->sendLines({"1003 LEAVE bob 0010"});
            QTRY_VERIFY(session->channel().isEmpty());
            upper.clear();
        }
        InputLine input;
        SendPath path(*session, upper, input);
        connect(&input, &InputLine::sendRequested, &path, &SendPath::Send);
        if (via == "whisper") {
            gateway->sendLines({"1004 WHISPER alice 0010 \"psst\""});
            QTRY_COMPARE(session->replyName(), QStringLiteral("alice"));
            upper.clear();
        }
        QSignalSpy whispered(&path, &SendPath::whisperTyped);
        input.setEditText(typed);
        if (via.startsWith('&'))
            OutgoingMenus::createSndMenu(path, &input)->actions().at(via == "&Hex" ? 0 : 1)->trigger();
        else
            QTest::keyClick(&input, Qt::Key_Return);
        QCOMPARE(wireUpToMarker(), wire);
        // A whisper sent names its partner, for the conversation's tab.
        const QString partner = wire.startsWith("/w ") ? QString::fromLatin1(wire.split(' ').at(1)) : QString();
        QCOMPARE(whispered.isEmpty() ? QString() : whispered.constFirst().constFirst().toString(), partner);
        const QList<Run> error{{TimeStamp::now() + shown + CrLf, Colors::Red}};
        QCOMPARE(upper.runs, shown == "echo" ? ownEcho(kept) : shown.isEmpty() ? QList<Run>() : error);
        QCOMPARE(input.history(), kept.isEmpty() ? QStringList() : QStringList{kept});
        // Without a connection, or refused, the typed text waits; otherwise the line is emptied.
        const bool waits = via == "offline" || shown == SendPath::LogonInProgress || shown == SendPath::NoChannel
                           || shown.contains("nothing was sent");
        QCOMPARE(input.editText(), waits ? typed : QString());
        // Up recalls the line, Down brings back what was being typed, Ctrl+E forgets them.
        input.setEditText("draft");
        QTest::keyClick(&input, Qt::Key_Up);
        QCOMPARE(input.editText(), kept.isEmpty() ? "draft" : kept);
        QTest::keyClick(&input, Qt::Key_Down);
        QCOMPARE(input.editText(), QStringLiteral("draft"));
        QTest::keyClick(&input, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(input.count() == 0 && input.editText().isEmpty());
    }

    // Lines beyond the flood budget wait; Escape's cancel and a disconnect
    // drop them and say how many.
    void sendQueueHoldsAndDrops()
    {
        session->outbox().sendQueue().setClock([] { return qint64(0); });
        QVERIFY(logOn());   // its friends list and home join took two of the four
        for (const char *line : {"a", "b", "c", "d", "e", "f"})
            QVERIFY(session->outbox().say(QLatin1String(line)));
        QCOMPARE(wireUpToMarker(), QByteArray("a\rb\r"));
        QCOMPARE(session->outbox().waitingLines(), 4);
        QCOMPARE(upper.runs, ownEcho("a") + ownEcho("b"));
        upper.clear();
        session->outbox().cancelWaiting();
        QCOMPARE(upper.runs, (QList<Run>{{"Cancelled: 4 waiting lines were not sent." + CrLf, Colors::Red}}));
        QVERIFY(session->outbox().say("g"));
        upper.clear();
        session->disconnectByUser();
        QCOMPARE(upper.runs.value(0), (Run{"1 waiting line was not sent." + CrLf, Colors::Red}));
        QCOMPARE(session->outbox().waitingLines(), 0);
    }

    void rosterCommands_data()
    {
        QTest::addColumn<int>("item");   // Whois, Squelch, Unsquelch, Whisper, Ban, Kick, Copy Name
        QTest::addColumn<QString>("selName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("wire");   // null: not connected
        QTest::addColumn<QString>("left");
        QTest::newRow("ban before any click") << 4 << "" << "x" << QByteArray() << "x";
        QTest::newRow("whois") << 0 << "bob" << "x" << QByteArray("/whois bob\r") << "x";
        QTest::newRow("squelch") << 1 << "bob" << "" << QByteArray("/squelch bob\r") << "";
        QTest::newRow("unsquelch") << 2 << "bob" << "" << QByteArray("/unsquelch bob\r") << "";
        QTest::newRow("whisper") << 3 << "bob" << "hi" << QByteArray("/w bob hi\r") << "";
        QTest::newRow("whisper nothing: a tab opens") << 3 << "bob" << "" << QByteArray("") << "";
        QTest::newRow("kick") << 5 << "bob" << "x" << QByteArray("/kick bob\r") << "x";
        QTest::newRow("copy name") << 6 << "bob" << "hello " << QByteArray("") << "hello bob";
        QTest::newRow("kick refused") << 5 << "bob" << "x" << QByteArray() << "x";
        QTest::newRow("whisper refused") << 3 << "bob" << "hi" << QByteArray() << "hi";
    }
    void rosterCommands()
    {
        QFETCH(int, item);
        QFETCH(QString, selName);
        QFETCH(QString, typed);
        QFETCH(QByteArray, wire);
        QFETCH(QString, left);
        QVERIFY(wire.isNull() || logOn());
        InputLine input;
        RosterCommands commands(*session, upper, input);
        session->setSelName(selName);
        input.setEditText(typed);
        OutgoingMenus::createLstMenu(commands, &input)->actions().at(item)->trigger();
        QCOMPARE(input.editText(), left);
        // Never echoed, never filed; refused without a word, except when
        // nobody is selected.
        QCOMPARE(upper.plainText(), selName.isEmpty() ? TimeStamp::now() + RosterCommands::NoTarget + CrLf : QString());
        QCOMPARE(input.count(), 0);
        QCOMPARE(wire.isNull() ? wire : wireUpToMarker(), wire);
    }

    void antiIdle_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("echoed");
        QTest::newRow("command") << "/w anonymous Anti-Idle Quillon 2.2" << false;
        QTest::newRow("chat") << "brb" << true;
        QTest::newRow("empty") << "" << true;
    }
    void antiIdle()
    {
        QFETCH(QString, message);
        QFETCH(bool, echoed);
        AntiIdle ai(*session);
        ai.InitAI();
        ai.tick1();
        ai.tick2();     // no connection: stays in the second stage, silently
        QCOMPARE(ai.stage(), AntiIdle::Stage::Second);
        QVERIFY(upper.runs.isEmpty());
        QVERIFY(logOn());
        settings.setText("IdleMessage", message);    // read at the tick
        ai.tick2();
        QCOMPARE(wireUpToMarker(), message.toLatin1() + '\r');
        QCOMPARE(upper.runs, echoed ? ownEcho(message) : QList<Run>());
        QCOMPARE(ai.stage(), AntiIdle::Stage::First);
        ai.tick1();
        ai.InitAI();    // from the second stage: a fresh first stage
        QCOMPARE(ai.stage(), AntiIdle::Stage::First);
        ai.stop();
        QCOMPARE(ai.stage(), AntiIdle::Stage::Off);
    }
};

QTEST_MAIN(OutgoingTest)
#include "tst_outgoing.moc"
