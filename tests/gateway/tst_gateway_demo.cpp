// Demo mode: the simulated users go round their script for good without
// piling anything up, and a real client sees them join, talk, emote,
// whisper, send a hex line, change flags and leave.

#include "ChatHub.h"
#include "DemoCrowd.h"
#include "Gateway.h"
#include "Participant.h"
#include "RawClient.h"

#include <QTest>

namespace {

// A logged-on user without a socket that remembers the kinds of lines it got.
class Watcher : public Participant
{
public:
    void deliver(const QString &line) override
    {
        ++received;
        if (line.startsWith(QLatin1String("1005 TALK ")) && line.contains(QChar(0xA3)))
            hexLines.insert(line);
        codes.insert(line.left(4));
    }
    int received = 0;
    QSet<QString> codes;
    QSet<QString> hexLines;
};

// The text a hex line stands for, or a null string when it is not one.
QString decodeHexLine(const QString &line)
{
    const qsizetype marker = line.indexOf(QChar(0xA3));
    const QString digits = line.mid(marker + 1).chopped(1);
    if (digits.isEmpty() || digits.size() % 2)
        return QString();
    QString text;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        bool ok = false;
        const int code = digits.mid(i, 2).toInt(&ok, 16);
        if (!ok || code < 0x20 || code > 0x7E)
            return QString();
        text += QChar(code);
    }
    return text;
}

} // namespace

class TestGatewayDemo : public QObject
{
    Q_OBJECT

private slots:
    void crowdGoesRoundWithoutGrowing();
    void clientSeesALivingChannel();
};

void TestGatewayDemo::crowdGoesRoundWithoutGrowing()
{
    ChatHub hub(QStringLiteral("Quillon"));
    DemoCrowd crowd(hub, 1);
    crowd.start();
    Watcher guest;
    guest.setName(QStringLiteral("guest"));
    hub.logOn(guest);

    const int rounds = 5;
    QTRY_VERIFY_WITH_TIMEOUT(crowd.stepsTaken() >= rounds * crowd.scriptLength(), 20000);
    QVERIFY(hub.userCount() <= 5);
    QCOMPARE(hub.membersOf(QStringLiteral("Quillon")).first()->name(), QStringLiteral("Mira"));
    const QSet<QString> expected = {QStringLiteral("1002"), QStringLiteral("1003"), QStringLiteral("1004"),
                                    QStringLiteral("1005"), QStringLiteral("1009"), QStringLiteral("1023")};
    QVERIFY(guest.codes.contains(expected));
    QVERIFY(!guest.hexLines.isEmpty());
    for (const QString &line : std::as_const(guest.hexLines))
        QVERIFY2(!decodeHexLine(line).isNull(), qPrintable(line));

    // A guest that moves away is left alone; the regulars stay put.
    hub.join(guest, QStringLiteral("Elsewhere"));
    const int before = guest.received;
    const int steps = crowd.stepsTaken();
    QTRY_VERIFY_WITH_TIMEOUT(crowd.stepsTaken() >= steps + 2 * crowd.scriptLength(), 20000);
    QCOMPARE(guest.received, before);
    QVERIFY(hub.find(QStringLiteral("Mira")) && hub.find(QStringLiteral("Tobin")));
    hub.logOff(guest);
}

void TestGatewayDemo::clientSeesALivingChannel()
{
    Gateway gateway(QStringLiteral("Quillon"));
    QVERIFY(gateway.listen(QHostAddress::LocalHost, 0));
    gateway.startDemo(5);

    RawClient alice;
    QVERIFY(alice.connectTo(gateway.serverPort()));
    alice.sendRaw("\x03\x04" "alice\r\npw\r\n");
    QVERIFY(alice.waitFor(QStringLiteral("1007 CHANNEL \"Quillon\"")));
    QVERIFY(alice.waitFor(QStringLiteral("1001 USER Mira 0012 [SEXP]")));
    QVERIFY(alice.waitFor(QStringLiteral("1001 USER alice 0010 [CHAT]")));
    QVERIFY(alice.waitFor(QStringLiteral("1005 TALK Mira 0012 \"Hello alice, welcome to Quillon!\"")));

    alice.send(QStringLiteral("/w Tobin hello, are you real?"));
    QVERIFY(alice.waitForPrefix(QStringLiteral("1004 WHISPER Tobin 0010 \"Thanks for the whisper, alice!")).size() > 0);

    const QSet<QString> expected = {QStringLiteral("1002"), QStringLiteral("1003"), QStringLiteral("1023"),
                                    QStringLiteral("whisper"), QStringLiteral("flags")};
    QSet<QString> seen;
    QString hex;
    (void)QTest::qWaitFor([&] {
        for (const QString &line : alice.pending()) {
            if (line.startsWith(QLatin1String("1004 WHISPER ")))
                seen.insert(QStringLiteral("whisper"));
            else if (line.startsWith(QLatin1String("1005 TALK ")) && line.contains(QChar(0xA3)))
                hex = line;
            else if (line.startsWith(QLatin1String("1009 USER ")))
                seen.insert(QStringLiteral("flags"));
            else
                seen.insert(line.left(4));
        }
        alice.clear();
        return seen.contains(expected) && !hex.isEmpty();
    }, 20000);
    QVERIFY2(seen.contains(expected), qPrintable(QStringList(seen.values()).join(' ')));
    QVERIFY2(!decodeHexLine(hex).isNull(), qPrintable(hex));
    QVERIFY(alice.framingOk());
}

QTEST_GUILESS_MAIN(TestGatewayDemo)
#include "tst_gateway_demo.moc"
