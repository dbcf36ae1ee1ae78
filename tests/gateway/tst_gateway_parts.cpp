// The gateway's small parts on their own: line splitting with its cap, the
// accounts file, the command line, the event line format and hex lines.

#include "Accounts.h"
#include "DemoCrowd.h"
#include "EventLines.h"
#include "Gateway.h"
#include "GatewayOptions.h"
#include "LineSplitter.h"

#include <QTemporaryDir>
#include <QTest>

using Lines = QList<QByteArray>;

class TestGatewayParts : public QObject
{
    Q_OBJECT

private slots:
    void splitterEndsLinesAtCrLfOrBoth();
    void splitterDropsOverlongFragments();
    void accountsParseAndCheck();
    void accountsReportBadLinesAndMissingFiles();
    void optionsDefaultsAndValues();
    void optionsRejectBadValues();
    void eventLinesFormat();
    void hexLinesAndNames();
};

void TestGatewayParts::splitterEndsLinesAtCrLfOrBoth()
{
    LineSplitter s;
    QCOMPARE(s.feed("a\rb\nc\r\nd"), (Lines{"a", "b", "c"}));
    // CR at the end of one piece, LF at the start of the next: one line end.
    QCOMPARE(s.feed("e\r"), (Lines{"de"}));
    QCOMPARE(s.feed("\nf\n"), (Lines{"f"}));
    // LF then CR are two line ends, the second one ending an empty line.
    QCOMPARE(s.feed("g\n\rh\r\r\n"), (Lines{"g", "", "h", ""}));
    QCOMPARE(s.feed(QByteArray("\0x\n", 3)), (Lines{QByteArray("\0x", 2)}));
    QCOMPARE(s.pendingSize(), 0);
}

void TestGatewayParts::splitterDropsOverlongFragments()
{
    LineSplitter s(8);
    QCOMPARE(s.feed("12345678\n"), (Lines{"12345678"}));  // exactly the cap fits
    QCOMPARE(s.takeDropped(), 0);
    QCOMPARE(s.feed("12345"), Lines{});
    QCOMPARE(s.feed("6789"), Lines{});
    QCOMPARE(s.takeDropped(), 1);
    QCOMPARE(s.pendingSize(), 0);
    // Everything up to the next line end belongs to the dropped line.
    QCOMPARE(s.feed(QByteArray(100000, 'x')), Lines{});
    QVERIFY(s.pendingSize() <= 8);
    QCOMPARE(s.feed("yy\r\nok\r\n"), (Lines{"ok"}));
    QCOMPARE(s.takeDropped(), 0);
}

void TestGatewayParts::accountsParseAndCheck()
{
    Accounts a;
    QString message;
    QVERIFY2(a.parse("# who may log on\r\n\r\nalice:Secret\r\n  Bob :a:b c \n", QStringLiteral("x"), &message),
             qPrintable(message));
    QCOMPARE(a.size(), 2);
    QVERIFY(a.check(QStringLiteral("ALICE"), QStringLiteral("Secret")));
    QVERIFY(!a.check(QStringLiteral("alice"), QStringLiteral("secret")));
    QVERIFY(a.check(QStringLiteral("bob"), QStringLiteral("a:b c ")));
    QVERIFY(!a.check(QStringLiteral("carol"), QString()));
}

void TestGatewayParts::accountsReportBadLinesAndMissingFiles()
{
    Accounts a;
    QString message;
    QVERIFY(!a.parse("alice:x\nno colon here\n", QStringLiteral("acc.txt"), &message));
    QCOMPARE(message, QStringLiteral("acc.txt line 2: expected name:password"));
    QVERIFY(!a.parse(":nameless\n", QStringLiteral("acc.txt"), &message));

    QTemporaryDir dir;
    QVERIFY(!a.load(dir.filePath(QStringLiteral("missing")), &message));
    QVERIFY(message.contains(QLatin1String("missing")));
}

void TestGatewayParts::optionsDefaultsAndValues()
{
    GatewayOptions defaults;
    QString message;
    QVERIFY(defaults.parse({QStringLiteral("quillon-gateway")}, &message));
    QCOMPARE(defaults.address, QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(defaults.port, quint16(6112));
    QCOMPARE(defaults.channel, QStringLiteral("Quillon"));
    QVERIFY(!defaults.demo);
    QVERIFY(defaults.accountsFile.isEmpty());

    GatewayOptions o;
    QVERIFY2(o.parse({QStringLiteral("quillon-gateway"), QStringLiteral("--address"), QStringLiteral("0.0.0.0"),
                      QStringLiteral("-p"), QStringLiteral("0"), QStringLiteral("--accounts"), QStringLiteral("a.txt"),
                      QStringLiteral("--demo"), QStringLiteral("--demo-pace"), QStringLiteral("250"),
                      QStringLiteral("--channel"), QStringLiteral("Bounty Hunters")},
                     &message),
             qPrintable(message));
    QCOMPARE(o.address, QHostAddress(QStringLiteral("0.0.0.0")));
    QCOMPARE(o.port, quint16(0));
    QCOMPARE(o.accountsFile, QStringLiteral("a.txt"));
    QVERIFY(o.demo);
    QCOMPARE(o.demoPaceMs, 250);
    QCOMPARE(o.channel, QStringLiteral("Bounty Hunters"));

    GatewayOptions help;
    QVERIFY(help.parse({QStringLiteral("quillon-gateway"), QStringLiteral("--help")}, &message));
    QVERIFY(help.exitNow);
    QVERIFY(help.exitText.contains(QLatin1String("--accounts")));
}

void TestGatewayParts::optionsRejectBadValues()
{
    const QList<QStringList> bad = {
        {QStringLiteral("--port"), QStringLiteral("65536")},
        {QStringLiteral("--port"), QStringLiteral("http")},
        {QStringLiteral("--address"), QStringLiteral("not-an-address")},
        {QStringLiteral("--demo-pace"), QStringLiteral("0")},
        {QStringLiteral("--channel"), QStringLiteral("  ")},
        {QStringLiteral("--no-such-option")},
        {QStringLiteral("stray")},
    };
    for (const QStringList &args : bad) {
        GatewayOptions o;
        QString message;
        QVERIFY2(!o.parse(QStringList{QStringLiteral("quillon-gateway")} + args, &message), qPrintable(args.join(' ')));
        QVERIFY(!message.isEmpty());
    }
}

void TestGatewayParts::eventLinesFormat()
{
    QCOMPARE(EventLines::flagsText(0x12), QStringLiteral("0012"));
    QCOMPARE(EventLines::flagsText(0x30), QStringLiteral("0030"));
    QCOMPARE(EventLines::user(QStringLiteral("Bob"), 0x10, QStringLiteral("[STAR]")), QStringLiteral("1001 USER Bob 0010 [STAR]"));
    QCOMPARE(EventLines::join(QStringLiteral("Bob"), 0x02, QStringLiteral("[CHAT]")), QStringLiteral("1002 JOIN Bob 0002 [CHAT]"));
    QCOMPARE(EventLines::leave(QStringLiteral("Bob"), 0x10), QStringLiteral("1003 LEAVE Bob 0010"));
    QCOMPARE(EventLines::whisperFrom(QStringLiteral("Bob"), 0x10, QStringLiteral("hi")), QStringLiteral("1004 WHISPER Bob 0010 \"hi\""));
    QCOMPARE(EventLines::talk(QStringLiteral("Bob"), 0x01, QString()), QStringLiteral("1005 TALK Bob 0001 \"\""));
    QCOMPARE(EventLines::channel(QStringLiteral("The Void")), QStringLiteral("1007 CHANNEL \"The Void\""));
    QCOMPARE(EventLines::flagsChanged(QStringLiteral("Bob"), 0x20), QStringLiteral("1009 USER Bob 0020"));
    QCOMPARE(EventLines::whisperTo(QStringLiteral("Bob"), 0x10, QStringLiteral("yo")), QStringLiteral("1010 WHISPER Bob 0010 \"yo\""));
    QCOMPARE(EventLines::info(QStringLiteral("a \"b\"")), QStringLiteral("1018 INFO \"a \"b\"\""));
    QCOMPARE(EventLines::error(QStringLiteral("no")), QStringLiteral("1019 ERROR \"no\""));
    QCOMPARE(EventLines::emote(QStringLiteral("Bob"), 0x10, QStringLiteral("waves")), QStringLiteral("1023 EMOTE Bob 0010 \"waves\""));
}

void TestGatewayParts::hexLinesAndNames()
{
    QCOMPARE(DemoCrowd::hexLine(QStringLiteral("hi")), QStringLiteral("\u00A36869"));
    QCOMPARE(DemoCrowd::hexLine(QStringLiteral("jk")), QStringLiteral("\u00A36A6B"));
    QCOMPARE(DemoCrowd::hexLine(QString()), QStringLiteral("\u00A3"));

    QVERIFY(Gateway::isValidName(QStringLiteral("alice#2")));
    QVERIFY(Gateway::isValidName(QStringLiteral("\u00C6sir")));
    QVERIFY(!Gateway::isValidName(QString()));
    QVERIFY(!Gateway::isValidName(QStringLiteral("two words")));
    QVERIFY(!Gateway::isValidName(QStringLiteral("tab\tname")));
    QVERIFY(!Gateway::isValidName(QString(33, QLatin1Char('n'))));
}

QTEST_GUILESS_MAIN(TestGatewayParts)
#include "tst_gateway_parts.moc"
