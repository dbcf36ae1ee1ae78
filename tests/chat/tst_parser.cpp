// The event parser through its host: each event's runs and state, the field
// rules on odd lines, slicing, the line bound and the recorded server bytes.

#include "RecordingHost.h"
#include "codec/Wire.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <memory>

class ParserTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ParserRig> rig;
    enum Options { NoJoinLeave = 1, NoHome = 2 };

private slots:
    void initTestCase() { TimeStamp::setClockForTesting([] { return QTime(12, 34, 56); }); }
    void init() { rig = std::make_unique<ParserRig>(); }

    void timeStampForm()
    {
        const QRegularExpression form(QStringLiteral("^\\[\\d{1,2}:\\d{2}:\\d{2}( ?[AaPp]\\.?[Mm]\\.?)?\\]  $"));
        QVERIFY2(form.match(TimeStamp::now()).hasMatch(), qPrintable(TimeStamp::now()));
    }

    // Rows write a line end as "\n"; "\f" starts a new arrival, "\v" a new connection.
    void events_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("state");
        const QString help = "[green]Custom commands are as follows: \n[green]/hex <text>    (i.e. /hex hello)\n"
                             "[green]/reply <text>    (used when someone whispers you)\n";
        const QString welcome = "[S][yellow]Welcome to Battle.net!\n";
        QString many, manyShown;
        for (int i = 0; i < 102; ++i) {
            many += QStringLiteral("\n1018 INFO \"%1\"").arg(i);
            manyShown += QStringLiteral("[S][yellow]%1\n").arg(i);
        }
        QTest::newRow("talk") << "1005 TALK Bob 0010 \"hi\"" << 0 << "[S][green]Bob[yellow]:10: [white]hi\n" << "" << "";
        QTest::newRow("operator, empty text") << "1005 TALK Bob 0012 \"\"" << 0 << "[S][white]Bob[yellow]:12: [white]\n" << "" << "";
        QTest::newRow("admin") << "1005 TALK Ann 0001 \"yo\"" << 0 << "[S][white]Ann[yellow]:1: [white]yo\n" << "" << "";
        QTest::newRow("squelched") << "1005 TALK Ann 0020 \"yo\"" << 0 << "[S][green]Ann[yellow]:20: [white]yo\n" << "" << "";
        QTest::newRow("name holds its flags") << "1005 TALK x0010 0010 \"t\"" << 0 << "[S][green]x0010[yellow]:10: [white]t\n" << "" << "";
        QTest::newRow("markup, quotes") << "1005 TALK Bob 0010 \"<b>\"x\"</b>\"" << 0 << "[S][green]Bob[yellow]:10: [white]<b>\"x\"</b>\n"
                                        << "" << "";
        QTest::newRow("padded, flags 001a") << "   1005 TALK Bob 001a \"hi\"  " << 0 << "[S][green]Bob[yellow]:0: [white]hi\n" << "" << "";
        QTest::newRow("hex") << "1005 TALK Bob 0010 \"\u00A36869\"\n1005 TALK Bob 0010 \"\u00A3\"" << 0
                             << "[S][green]Bob[yellow]:10: [white]\u00A36869\n[S][hex]Translation (HEX): hi\n"
                                "[S][green]Bob[yellow]:10: [white]\u00A3\n" << "" << "";
        // Without a quote a message keeps the flags of the arrival and takes its name up to them.
        QTest::newRow("talk, no quote") << "1005 TALK Ann 0012 \"a\"\n1005 TALK Bob 0012 yo\f1005 TALK Cid 0012 yo" << 0
                                        << "[S][white]Ann[yellow]:12: [white]a\n[S][white]Bob[yellow]:12: [white]1005 TALK Bob 0012 y\n"
                                           "[S][green]Bob[yellow]:0: [white]1005 TALK Cid 0012 y\n" << "" << "";
        QTest::newRow("whisper, no quote") << "1004 WHISPER Ann 0010 \"psst\"\n1004 WHISPER Bob 0010 yo" << 0
                                           << "[S][green]Ann whispers: [grey]psst\n[S][green]Bob whispers: [grey]1004 WHISPER Bob 0010 y\n"
                                           << "" << "reply=Bob";
        QTest::newRow("own whisper, no quote") << "1010 WHISPER Cid 0010 \"a\"\n1010 WHISPER Dan 0010 yo" << 0
                                               << "[S][green]You whisper to Cid: [grey]a\n"
                                                  "[S][green]You whisper to Dan: [grey]1010 WHISPER Dan 0010 y\n" << "" << "";
        QTest::newRow("emote, no quote") << "1023 EMOTE x0010 0010 \"waves\"\n1023 EMOTE Bob 0010 yo" << 0
                                         << "[S][yellow]x0010 waves\n[S][yellow]Bob 1023 EMOTE Bob 0010 y\n" << "" << "";
        QTest::newRow("join, leave") << "1002 JOIN Zed 0000 [XXXX]\n1002 JOIN Bob 0010 [STAR]\n1003 LEAVE Bob 0010" << 0 << ""
                                     << "[S][grey]Zed joined the channel \n[S][grey]Bob joined the channel using Starcraft.\n"
                                        "[S][grey]Bob left the channel.\n" << "roster=Zed/0 count= 1";
        QTest::newRow("join, leave quietly") << "1002 JOIN Bob 0010 [SEXP]\n1002 JOIN Ann 0010 [STAR]\n1003 LEAVE Bob 0010"
                                             << int(NoJoinLeave) << "" << "" << "roster=Ann/6 count= 1";
        // Of two equal names a leave removes the first (with its product), a flags change colours the last;
        // only blanks are trimmed.
        QTest::newRow("equal names") << "1001 USER Bob 0010 [STAR]\n1001 USER Bob 0010 [CHAT]\n1001 USER  Cid  0010 [STAR]\n"
                                        "1009 USER Bob 0002\n1003 LEAVE Bob 0010\n1003 LEAVE Cid 0010\n1009 USER Bob 0010" << 0 << ""
                                     << "[S][grey]Bob left the channel.\n[S][grey]Cid left the channel.\n" << "roster=Bob/3 count= 1";
        QTest::newRow("tab, no-break space") << "1001 USER Bob 0010 [STAR]\n1009 USER Bob\t 0002\n1003 LEAVE Bob\u00A0 0010" << 0 << ""
                                             << "[S][grey]Bob\u00A0 left the channel.\n" << "roster=Bob/6 count= 1";
        // The channel the user is in, listed anew, is no channel entered.
        QTest::newRow("channel") << "1001 USER Old 0010 [STAR]\n1007 CHANNEL \"Lobby\"\n1007 CHANNEL \"Lobby\"\n1007 CHANNEL \"\"" << 0
                                 << "[S][cyan]You have joined channel Lobby\n[S][cyan]You have joined channel \n" << "" << "count= 1";
        QTest::newRow("users, flags") << "1001 USER Ann 0010 [CHAT]\n1001 USER Op 0012 [STAR]\n1009 USER Ann 0002\n1009 USER Op 0010" << 0
                                      << "" << "" << "roster=Ann/10! Op/6 count= 2";
        QTest::newRow("info, error") << "1018 INFO \"News\"\n1019 ERROR \"No such user.\"" << 0 << ""
                                     << "[S][yellow]News\n[S][red]Error: No such user.\n" << "";
        QTest::newRow("102 lines") << many.mid(1) << 0 << "" << manyShown << "";
        QTest::newRow("welcome") << "2010 NAME bob\n1018 INFO \"Welcome to Battle.net!\"\n1018 INFO \"Welcome to Battle.net!\"\v"
                                    "1018 INFO \"Welcome to Battle.net!\"" << 0 << "[blue]Logged on as bob\n" + help + help
                                 << welcome + welcome + welcome << "own=bob sent=/join Lobby";
        QTest::newRow("no welcome") << "1007 CHANNEL \"A\"\n2010 NAME bob\n1007 CHANNEL \"B\"\n1007 CHANNEL \"C\"" << 0
                                    << "[S][cyan]You have joined channel A\n[blue]Logged on as bob\n[S][cyan]You have joined channel B\n"
                                           + help + "[S][cyan]You have joined channel C\n" << "" << "own=bob channel=C sent=/join Lobby";
        // A welcome before the logon: the help at once, the join once the logon is accepted.
        QTest::newRow("welcome first") << "1018 INFO \"Welcome to Battle.net!\"\n2010 NAME bob\n1007 CHANNEL \"B\"\n2010 NAME bob" << 0
                                       << help + "[blue]Logged on as bob\n[S][cyan]You have joined channel B\n[blue]Logged on as bob\n"
                                       << welcome << "own=bob channel=B sent=/join Lobby";
        QTest::newRow("no home") << "1018 INFO \"Welcome to Battle.net!\"\n2010 NAME bob\n1007 CHANNEL \"B\"" << int(NoHome)
                                 << help + "[blue]Logged on as bob\n[S][cyan]You have joined channel B\n" << welcome << "own=bob channel=B";
        // Before the logon a plain line shows in yellow and a refusal in red; "Username: " echoes the name typed.
        QTest::newRow("plain lines") << "Hello.\nUsername: banned\nLogin failed.\nYou are BANNED.\n\n9999 X\n2010 NAME\n2010 NAME bob\nmore"
                                     << 0 << "[S][red]Logon refused: Login failed.\n"
                                             "[blue]Logged on as \n[blue]Logged on as bob\n"
                                     << "[S][yellow]Hello.\n[S][yellow]Username: banned\n[S][yellow]You are BANNED.\n[S][grey]9999 X\n"
                                     << "own=bob refused=Login failed.";
        QTest::newRow("announcement, unknown, null") << "1006 _ \"Maintenance at 5\"\n1014\n2000 NULL\n2000" << 0
                                                     << "[S][orange]Maintenance at 5\n" << "[S][grey]1014\n" << "";
        // The user's own LEAVE (blanks trimmed, case-sensitive) empties roster and channel; an INFO line
        // just before it that names the user is the reason.
        const QString noChannel = "[S][red]You have left the channel and are in no channel now. Type /join <channel> to join one.\n";
        QTest::newRow("kicked") << "1007 CHANNEL \"Ops\"\n2010 NAME bob\n1001 USER bob 0010 [CHAT]\n1001 USER Ann 0010 [CHAT]\n"
                                   "1003 LEAVE Bob 0010\n1003 LEAVE Ann 0010\n1018 INFO \"bob has been kicked by carol (too noisy)\"\f"
                                   "1003 LEAVE  bob  0010" << 0
                                << "[S][cyan]You have joined channel Ops\n[blue]Logged on as bob\n[S][red]You are in no channel now: "
                                   "bob has been kicked by carol (too noisy). Type /join <channel> to join one.\n"
                                << "[S][grey]Bob left the channel.\n[S][grey]Ann left the channel.\n"
                                   "[S][yellow]bob has been kicked by carol (too noisy)\n" << "own=bob count= 0 left=1";
        QTest::newRow("left, no reason") << "2010 NAME bob\n1018 INFO \"Ann has been kicked.\"\n1003 LEAVE bob 0000\n"
                                            "1018 INFO \"bob, hi\"\n1009 USER Ann 0010\n1003 LEAVE bob 0000" << int(NoJoinLeave)
                                         << "[blue]Logged on as bob\n" + noChannel + noChannel
                                         << "[S][yellow]Ann has been kicked.\n[S][yellow]bob, hi\n" << "own=bob count= 0 left=2";
        // Back in the channel the user was kicked from: a channel entered again.
        QTest::newRow("kicked, back") << "2010 NAME bob\n1018 INFO \"Welcome to Battle.net!\"\n1007 CHANNEL \"Ops\"\n"
                                         "1003 LEAVE bob 0010\n1007 CHANNEL \"Ops\"" << int(NoHome)
                                      << "[blue]Logged on as bob\n" + help + "[S][cyan]You have joined channel Ops\n" + noChannel
                                             + "[S][cyan]You have joined channel Ops\n"
                                      << welcome << "own=bob channel=Ops count= 0 left=1";
    }
    void events()
    {
        QFETCH(QString, lines);
        QFETCH(int, options);
        rig->parser.setOptions({!(options & NoJoinLeave), (options & NoHome) ? QString() : QStringLiteral("Lobby")});
        for (const QString &connection : lines.split('\v')) {
            rig->reconnect();
            for (const QString &arrival : connection.split('\f'))
                rig->arrive(Wire::encode(QString(arrival).replace('\n', "\r\n") + "\r\n"));
        }
        QTEST(rig->render(rig->host.upper.runs), "upper");
        QTEST(rig->render(rig->host.lower.runs), "lower");
        QTEST(rig->state(), "state");
    }

    // Whispers to the user, and talk or emotes that name the user as a whole
    // word, in any case, from somebody else, call for the user's attention.
    void addressesTheUser()
    {
        rig->arrive("2010 NAME bob\r\n1004 WHISPER Ann 0010 \"psst\"\r\n1005 TALK Cid 0010 \"hi BOB!\"\r\n"
                    "1005 TALK Cid 0010 \"bobby\"\r\n1023 EMOTE Dan 0010 \"pokes bob\"\r\n1005 TALK bob 0010 \"bob\"\r\n"
                    "1010 WHISPER Eve 0010 \"bob\"\r\n1018 INFO \"bob\"\r\n");
        QCOMPARE(rig->host.alerts, (QStringList{"Ann:psst", "Cid:hi BOB!", "Dan:pokes bob"}));
    }

    // Every capture, with message lines whose fields come from the lines before, and odd lines: cut
    // anywhere in one arrival they give what one call gives, and no control character reaches a pane.
    void slicesNeverChangeTheResult_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("shown");   // a part of the panes
        const QByteArray carried = "1005 TALK Ann 0012 \"a\"\r\n1023 EMOTE Bob 0012 yo\r\n1004 WHISPER Cid 0012 yo\r\n";
        auto capture = [&carried](const char *name) {
            QFile file(QStringLiteral(QUILLON_CAPTURES "/") + QLatin1String(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() + carried : QByteArray();
        };
        QTest::newRow("accepted") << capture("logon-accepted.bin") << "own=alice reply=Cid channel=Chat sent=/join Lobby roster=alice/3 count= 1"
                                  << "[S][yellow]Enter your account name and password.\n";
        QTest::newRow("refused") << capture("logon-refused.bin") << "refused=Login failed." << "[S][red]Logon refused: Login failed.\n";
        QTest::newRow("no chat access") << capture("logon-no-chat-access.bin") << "refused=Account has no bot access."
                                        << "[S][red]Logon refused: Account has no bot access.\n";
        QTest::newRow("kick, ban") << capture("operator-kick-ban.bin")
                                   << "own=bob reply=Cid channel=Ops sent=/join Lobby roster=bob/3 dave/9! count= 2 left=1"
                                   << "[S][red]You are in no channel now: bob has been kicked by carol (too noisy). Type /join <channel>";
        QTest::newRow("flood quota") << capture("flood-quota.bin")
                                     << "own=bob reply=Cid channel=Chat sent=/join Lobby roster=bob/3 alice/3 count= 2"
                                     << "[S][red]Error: Your message quota has been exceeded!\n";
        QTest::newRow("line length quota") << capture("line-length-quota.bin")
                                           << "own=bob reply=Cid channel=Chat sent=/join Lobby roster=bob/3 count= 1"
                                           << "[S][grey]alice left the channel.\n";
        QTest::newRow("announcement") << capture("announcement.bin")
                                      << "own=alice reply=Cid channel=Chat sent=/join Lobby roster=alice/3 carol/3 count= 2"
                                      << "[S][orange]Announcement from carol: server maintenance soon\n";
        QTest::newRow("odd lines") << QByteArray("1005\r\n1005 TALK\r\n1005\"\r\n1001 USER\r\n1003 L\r\n1009 USER\r\n1007 CHANNEL\r\n1019 \"\r\n"
                                                 "1023 EMOTE\r\n1009 xxxxxxxxxxxxxxxxUSER\r\n1005 TALK Bob 0010 \"a\rb\nc\"\r\n"
                                                 "1005 TALK \0\xff 0010 \"\0\xff\"\r\n\x01\x02\x03\x04\xfe\xff\x00\x7f\r\n2010 NAME x\x1b\r\n", 191)
                                   << "own=x\u241B channel=1007 CHANNE count= 0"
                                   << "[S][green]Bob[yellow]:10: [white]a\u240Db\u240Ac\n";
    }
    void slicesNeverChangeTheResult()
    {
        QFETCH(QByteArray, bytes);
        rig->arrive(bytes);
        QTEST(rig->state(), "expected");
        QFETCH(QString, shown);
        QVERIFY2(rig->all().contains(shown), qPrintable(shown));
        for (const Run &r : rig->host.upper.runs + rig->host.lower.runs)
            for (QChar c : r.text.chopped(r.text.endsWith(QLatin1String("\r\n")) ? 2 : 0))
                QVERIFY2(c.unicode() >= 0x20 || c == QLatin1Char('\t'), "a control character reached a pane");
        const QString whole = rig->all();
        QList<qsizetype> everyByte;
        for (qsizetype cut = 1; cut <= bytes.size(); everyByte << cut++) {
            init();
            rig->arrive(bytes, {cut});
            QCOMPARE(rig->all(), whole);
        }
        init();
        rig->arrive(bytes, everyByte);
        QCOMPARE(rig->all(), whole);
    }

    void overlongLinesAreDroppedHoweverCut()
    {
        const qsizetype M = ChatParser::MaxTail;
        const QByteArray bytes = "1018 INFO \"" + QByteArray(M - 12, 'y') + "\"\r\n" + QByteArray(M + 1, 'x') + "\r\n1018 INFO \"after\"\r\n";
        const QString lower = "[S][yellow]" + QString(M - 12, 'y')
                              + "\n[S][red]Error: the server sent a line longer than 65536 bytes; it was dropped.\n[S][yellow]after\n";
        for (const QList<qsizetype> &cuts : QList<QList<qsizetype>>{{5}, {M}, {M + 1}, {M + 2}, {2 * M + 2}, {2 * M + 3}, {2 * M + 4},
                                                                    {2 * M + 5}, {M + 5, M + 30000, M + 60000, 2 * M + 3}}) {
            init();
            rig->arrive(bytes, cuts);
            QCOMPARE(rig->render(rig->host.lower.runs), lower);
        }
    }
};

QTEST_GUILESS_MAIN(ParserTest)
#include "tst_parser.moc"
