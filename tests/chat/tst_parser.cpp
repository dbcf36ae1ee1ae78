// The event parser: every handler's runs (text, colour, pane), the line
// splitting across chunks, and the recorded server bytes.

#include "RecordingHost.h"
#include "chat/ChatParser.h"
#include "chat/Colors.h"
#include "chat/RosterModel.h"
#include "chat/TimeStamp.h"
#include "codec/Wire.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Colors;

namespace {

QByteArray capture(const char *name)
{
    QFile f(QStringLiteral(QUILLON_CAPTURES "/%1").arg(QLatin1String(name)));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("capture %s missing", name);
    return f.readAll();
}

QByteArray wire(const QString &text)
{
    return Wire::encode(text);
}

} // namespace

class ParserTest : public QObject
{
    Q_OBJECT

    RecordingHost *host = nullptr;
    RosterModel *roster = nullptr;
    ChatParser *parser = nullptr;
    QString S;   // the pinned time stamp

    void feed(const QString &lines) { parser->ParseData(wire(lines)); }

private slots:
    void initTestCase()
    {
        TimeStamp::setClockForTesting([] { return QTime(12, 34, 56); });
        S = TimeStamp::now();
    }
    void init()
    {
        host = new RecordingHost;
        roster = new RosterModel;
        parser = new ChatParser(*host, *roster);
    }
    void cleanup()
    {
        delete parser;
        delete roster;
        delete host;
    }

    void timeStampForm()
    {
        QVERIFY2(QRegularExpression(QStringLiteral("^\\[\\d{1,2}:\\d{2}:\\d{2}( ?[AaPp]\\.?[Mm]\\.?)?\\]  $")).match(S).hasMatch(),
                 qPrintable(S));
    }

    void talk_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QList<Run>>("runs");
        auto talkRuns = [this](const QString &name, Rgb nameColor, const QString &flags, const QString &text) {
            return QList<Run>{{S, Red}, {name, nameColor}, {QLatin1Char(':') + flags + QStringLiteral(": "), Yellow},
                              {text + QStringLiteral("\r\n"), White}};
        };
        QTest::newRow("plain user") << "1005 TALK Bob 0010 \"hi\"" << talkRuns("Bob", Green, "10", "hi");
        QTest::newRow("operator") << "1005 TALK Bob 0012 \"hi\"" << talkRuns("Bob", White, "12", "hi");
        QTest::newRow("admin") << "1005 TALK Ann 0001 \"yo\"" << talkRuns("Ann", White, "1", "yo");
        QTest::newRow("op flag 2") << "1005 TALK Ann 0002 \"yo\"" << talkRuns("Ann", White, "2", "yo");
        QTest::newRow("squelched") << "1005 TALK Ann 0020 \"yo\"" << talkRuns("Ann", Green, "20", "yo");
        QTest::newRow("empty text") << "1005 TALK Bob 0010 \"\"" << talkRuns("Bob", Green, "10", "");
        QTest::newRow("name holds its flags") << "1005 TALK x0010 0010 \"t\"" << talkRuns("x0010", Green, "10", "t");
        QTest::newRow("markup stays text") << "1005 TALK Bob 0010 \"<b>x</b>\"" << talkRuns("Bob", Green, "10", "<b>x</b>");
        QTest::newRow("quotes inside") << "1005 TALK Bob 0010 \"say \"hi\" now\"" << talkRuns("Bob", Green, "10", "say \"hi\" now");
        QTest::newRow("lone CR and LF shown on the line")
            << "1005 TALK Bob 0010 \"a\rb\nc\"" << talkRuns("Bob", Green, "10", QStringLiteral("a\u240Db\u240Ac"));
        QTest::newRow("flags not a number") << "1005 TALK Bob 001a \"hi\"" << talkRuns("Bob", Green, "0", "hi");
        QTest::newRow("padded with blanks") << "   1005 TALK Bob 0010 \"hi\"   " << talkRuns("Bob", Green, "10", "hi");
        QTest::newRow("pound sign") << QStringLiteral("1005 TALK Bob 0010 \"5 \u00A3\"") << talkRuns("Bob", Green, "10", QStringLiteral("5 \u00A3"));
    }
    void talk()
    {
        QFETCH(QString, line);
        QFETCH(QList<Run>, runs);
        feed(line + QStringLiteral("\r\n"));
        QCOMPARE(host->upper.runs, runs);
        QVERIFY(host->lower.runs.isEmpty());
    }

    void talkWithHexIsTranslatedBelow()
    {
        feed(QStringLiteral("1005 TALK Bob 0010 \"\u00A36869\"\r\n"));
        QCOMPARE(host->upper.runs.size(), 6);
        QCOMPARE(host->upper.runs.at(3), (Run{QStringLiteral("\u00A36869\r\n"), White}));
        QCOMPARE(host->upper.runs.at(4), (Run{S, Red}));
        QCOMPARE(host->upper.runs.at(5), (Run{QStringLiteral("Translation (HEX): hi\r\n"), HexGreen}));

        host->upper.clear();
        feed(QStringLiteral("1005 TALK Bob 0010 \"\u00A3\"\r\n"));
        QCOMPARE(host->upper.runs.size(), 4);   // the marker alone is not translated
    }

    void whispersAndEmotes()
    {
        feed("1004 WHISPER Ann 0010 \"psst\"\r\n");
        QCOMPARE(host->upper.runs, (QList<Run>{{S, Red}, {"Ann whispers: ", Green}, {"psst\r\n", Grey}}));
        QCOMPARE(host->replyName, QStringLiteral("Ann"));

        host->upper.clear();
        feed("1010 WHISPER Cid 0010 \"back\"\r\n");
        QCOMPARE(host->upper.runs, (QList<Run>{{S, Red}, {"You whisper to Cid: ", Green}, {"back\r\n", Grey}}));
        QCOMPARE(host->replyName, QStringLiteral("Ann"));   // our own whisper changes no reply target

        host->upper.clear();
        feed("1023 EMOTE Bob 0010 \"waves\"\r\n");
        QCOMPARE(host->upper.runs, (QList<Run>{{S, Red}, {"Bob waves\r\n", Yellow}}));

        host->upper.clear();
        feed("1023 EMOTE x0010 0010 \"waves\"\r\n");
        QCOMPARE(host->upper.runs, (QList<Run>{{S, Red}, {"x0010 waves\r\n", Yellow}}));
    }

    void joinsAndLeaves()
    {
        feed("1002 JOIN Bob 0010 [STAR]\r\n");
        QCOMPARE(host->lower.runs, (QList<Run>{{S, Red}, {"Bob joined the channel using Starcraft.\r\n", Grey}}));
        QCOMPARE(roster->names(), QStringList{"Bob"});
        QCOMPARE(roster->countLabel(), QStringLiteral(" 1"));

        host->lower.clear();
        feed("1002 JOIN Zed 0000 [XXXX]\r\n");
        QCOMPARE(host->lower.runs.at(1), (Run{"Zed joined the channel \r\n", Grey}));

        host->lower.clear();
        feed("1003 LEAVE Bob 0010\r\n");
        QCOMPARE(host->lower.runs, (QList<Run>{{S, Red}, {"Bob left the channel.\r\n", Grey}}));
        QCOMPARE(roster->names(), QStringList{"Zed"});
        QCOMPARE(roster->countLabel(), QStringLiteral(" 1"));

        host->lower.clear();
        host->joinLeaveOn = false;
        feed("1002 JOIN Ann 0010 [SEXP]\r\n1003 LEAVE Zed 0010\r\n");
        QVERIFY(host->lower.runs.isEmpty());
        QCOMPARE(roster->names(), QStringList{"Ann"});
        QCOMPARE(roster->countLabel(), QStringLiteral(" 1"));
        QVERIFY(host->upper.runs.isEmpty());
    }

    void channelUsersAndFlags()
    {
        feed("1001 USER Old 0010 [STAR]\r\n");
        feed("1007 CHANNEL \"Lobby\"\r\n");
        QCOMPARE(host->upper.runs, (QList<Run>{{S, Red}, {"You have joined channel Lobby\r\n", Cyan}}));
        QCOMPARE(host->channel, QStringLiteral("Lobby"));
        QCOMPARE(roster->count(), 0);
        QCOMPARE(roster->countLabel(), QStringLiteral(" 1"));   // until the next USER line

        feed("1001 USER Ann 0010 [CHAT]\r\n1001 USER Op 0012 [STAR]\r\n");
        QCOMPARE(roster->names(), (QStringList{"Ann", "Op"}));
        QCOMPARE(roster->entry(2).icon, 10);
        QCOMPARE(roster->entry(2).color, RosterModel::RankColor);
        QCOMPARE(roster->countLabel(), QStringLiteral(" 2"));

        feed("1009 USER Ann 0002\r\n");
        QCOMPARE(roster->entry(1).icon, 10);
        QCOMPARE(roster->entry(1).color, RosterModel::RankColor);
        feed("1009 USER Ann 0010\r\n");
        QCOMPARE(roster->entry(1).icon, 3);
        QCOMPARE(roster->entry(1).color, RosterModel::DefaultColor);
        QCOMPARE(host->upper.runs.size(), 2);   // flag changes print nothing
    }

    void logonNameInfoAndErrors()
    {
        feed("2010 NAME alice\r\n");
        QCOMPARE(host->ownName, QStringLiteral("alice"));
        QCOMPARE(host->upper.runs, (QList<Run>{{"Logged on as alice\r\n", LogonBlue}}));

        feed("1018 INFO \"News\"\r\n1019 ERROR \"No such user.\"\r\n");
        QCOMPARE(host->lower.runs, (QList<Run>{{S, Red}, {"News\r\n", Yellow}, {S, Red}, {"Error: No such user.\r\n", Red}}));
        QVERIFY(host->sent.isEmpty());
    }

    void welcomeJoinsTheHomeChannelOncePerConnection()
    {
        const QList<Run> help{{"Custom commands are as follows: \r\n", Green},
                              {"/hex <text>    (i.e. /hex hello)\r\n", Green},
                              {"/reply <text>    (used when someone whispers you)\r\n", Green}};
        feed("2010 NAME bob\r\n1018 INFO \"Welcome to Battle.net!\"\r\n");
        QCOMPARE(host->sent, QStringList{"/join Lobby"});
        QCOMPARE(host->upper.runs.mid(1), help);
        feed("1007 CHANNEL \"Chat\"\r\n1018 INFO \"Welcome to Battle.net!\"\r\n");
        QCOMPARE(host->sent.size(), 1);

        // A server without the welcome line: the first channel after the logon triggers it.
        parser->resetConnection();
        host->sent.clear();
        host->upper.clear();
        host->home.clear();
        feed("2010 NAME bob\r\n1007 CHANNEL \"Chat\"\r\n1007 CHANNEL \"Other\"\r\n");
        QCOMPARE(host->sent, QStringList{"/join "});
        QCOMPARE(host->upper.runs.mid(3, 3), help);
    }

    void plainLinesShowOnlyBeforeLogon()
    {
        feed("Login failed.\r\n\r\n9999 SOMETHING\r\n");
        QCOMPARE(host->lower.runs, (QList<Run>{{S, Red}, {"Login failed.\r\n", Yellow}}));
        host->lower.clear();
        feed("2010 NAME bob\r\nAnything else\r\n");
        QVERIFY(host->lower.runs.isEmpty());
    }

    void everyLineOfALargeChunkIsHandled()
    {
        QString chunk;
        for (int i = 0; i < 300; ++i)
            chunk += QStringLiteral("1018 INFO \"line %1\"\r\n").arg(i);
        feed(chunk);
        QCOMPARE(host->lower.runs.size(), 600);
        QCOMPARE(host->lower.runs.last().text, QStringLiteral("line 299\r\n"));
    }

    void linesSplitAcrossChunks()
    {
        const QByteArray stream = "2010 NAME bob\r\n1007 CHANNEL \"Chat\"\r\n1001 USER Ann 0010 [CHAT]\r\n"
                                  "1005 TALK Ann 0010 \"hello\"\r\n1004 WHISPER Ann 0010 \"psst\"\r\n"
                                  "1023 EMOTE Ann 0010 \"waves\"\r\n1018 INFO \"x\"\r\n";
        feedWhole(stream);
        const QList<Run> upper = host->upper.runs;
        const QList<Run> lower = host->lower.runs;
        for (qsizetype cut = 1; cut < stream.size(); ++cut) {
            cleanup();
            init();
            parser->ParseData(stream.left(cut));
            parser->ParseData(stream.mid(cut));
            QCOMPARE(host->upper.runs, upper);
            QCOMPARE(host->lower.runs, lower);
        }
        cleanup();
        init();
        for (char c : stream)
            parser->ParseData(QByteArray(1, c));
        QCOMPARE(host->upper.runs, upper);
        QCOMPARE(roster->names(), QStringList{"Ann"});
    }

    void unfinishedAndOverlongLines()
    {
        feed("1018 INFO \"no end");
        QVERIFY(host->lower.runs.isEmpty());
        feed("\"\r\n");
        QCOMPARE(host->lower.runs.at(1).text, QStringLiteral("no end\r\n"));

        // A fragment past the bound is dropped up to its CR LF, with one notice.
        host->lower.clear();
        const QByteArray huge(ChatParser::MaxTail + 10, 'x');
        parser->ParseData(huge);
        parser->ParseData(huge);
        QCOMPARE(host->lower.runs.size(), 2);
        QCOMPARE(host->lower.runs.at(1).color, Red);
        parser->ParseData("yyy\r");
        parser->ParseData("\n1018 INFO \"after\"\r\n");
        QCOMPARE(host->lower.runs.size(), 4);
        QCOMPARE(host->lower.runs.at(3).text, QStringLiteral("after\r\n"));
    }

    void malformedLinesNeverStopTheParser_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("codes only") << QByteArray("1005");
        QTest::newRow("talk without quote") << QByteArray("1005 TALK");
        QTest::newRow("quote first") << QByteArray("1005\"");
        QTest::newRow("short user") << QByteArray("1001 USER");
        QTest::newRow("short leave") << QByteArray("1003 L");
        QTest::newRow("short flags") << QByteArray("1009 USER");
        QTest::newRow("channel no quote") << QByteArray("1007 CHANNEL");
        QTest::newRow("name empty") << QByteArray("2010 NAME");
        QTest::newRow("nul and ff") << QByteArray("1005 TALK \0\xff 0010 \"\0\xff\"", 22);
        QTest::newRow("binary") << QByteArray("\x01\x02\x03\x04\xfe\xff\x00\x7f", 8);
    }
    void malformedLinesNeverStopTheParser()
    {
        QFETCH(QByteArray, line);
        parser->ParseData(line + "\r\n" + "1018 INFO \"still here\"\r\n");
        QCOMPARE(host->lower.runs.last().text, QStringLiteral("still here\r\n"));
        for (const Run &r : host->upper.runs + host->lower.runs) {
            for (QChar c : r.text.chopped(r.text.endsWith(QLatin1String("\r\n")) ? 2 : 0))
                QVERIFY2(c.unicode() >= 0x20 || c == QLatin1Char('\t'), "a control character reached a pane");
        }
    }

    void recordedLogonAccepted()
    {
        const QByteArray bytes = capture("logon-accepted.bin");
        feedWhole(bytes);
        QCOMPARE(host->ownName, QStringLiteral("alice"));
        QCOMPARE(host->channel, QStringLiteral("Chat"));
        QCOMPARE(roster->names(), QStringList{"alice"});
        QCOMPARE(roster->entry(1).icon, 3);
        QCOMPARE(host->sent, QStringList{"/join Lobby"});
        QVERIFY(host->upper.runs.contains(Run{"You have no mail.\r\n", White}));
        QVERIFY(host->lower.runs.contains(Run{"Error: Hello alice, welcome to PvPGN Realm!\r\n", Red}));
        // The banner before the logon shows; nothing after it that lacks a code.
        QVERIFY(host->lower.runs.contains(Run{"Enter your account name and password.\r\n", Yellow}));
        const QList<Run> upper = host->upper.runs;
        const QList<Run> lower = host->lower.runs;
        for (qsizetype cut = 1; cut < bytes.size(); ++cut) {
            cleanup();
            init();
            parser->ParseData(bytes.left(cut));
            parser->ParseData(bytes.mid(cut));
            QCOMPARE(host->upper.runs, upper);
            QCOMPARE(host->lower.runs, lower);
        }
    }

    void recordedRefusals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("refused") << "logon-refused.bin" << "Login failed.";
        QTest::newRow("no chat access") << "logon-no-chat-access.bin" << "Account has no bot access.";
    }
    void recordedRefusals()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        feedWhole(capture(qPrintable(file)));
        QVERIFY(host->lower.runs.contains(Run{message + QStringLiteral("\r\n"), Yellow}));
        QVERIFY(host->ownName.isEmpty());
        QVERIFY(host->sent.isEmpty());
    }

private:
    void feedWhole(const QByteArray &bytes) { parser->ParseData(bytes); }
};

QTEST_GUILESS_MAIN(ParserTest)
#include "tst_parser.moc"
