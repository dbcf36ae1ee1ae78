// The client against a hostile gateway on 127.0.0.1: resets and closes in
// the middle of a line, 10 MB lines, NUL and 0xFF bytes, flags that are not
// numbers and a flood cut short by a close. The client keeps running, its
// event loop keeps turning, every complete line shows, in order, and what
// it holds back stays bounded.

#include "GatewaySessionTest.h"

#include <QTimer>

using namespace Qt::StringLiterals;

// Samples on a 1 ms timer what the client holds back, the parser's
// unfinished line and the socket's read buffer; each tick is a turn of the
// event loop.
struct Watcher {
    explicit Watcher(ChatSession &session)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, &session] {
            ++ticks;
            maxPending = qMax(maxPending, session.parser().pendingBytes());
            maxBuffered = qMax(maxBuffered, session.findChild<QTcpSocket *>()->bytesAvailable());
        });
        timer.start(1);
    }
    // The event loop kept turning and what the client held back stayed bounded.
    bool bounded() const { return ticks > 1 && maxPending <= ChatParser::MaxTail && maxBuffered <= 1024 * 1024; }
    QTimer timer;
    int ticks = 0;
    qsizetype maxPending = 0;
    qint64 maxBuffered = 0;
};

class HostileGatewayTest : public GatewaySessionTest
{
    Q_OBJECT
private slots:
    void resetOrCloseInTheMiddleOfALine_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("reset") << true;
        QTest::newRow("close") << false;
    }
    void resetOrCloseInTheMiddleOfALine()
    {
        QFETCH(bool, reset);
        QVERIFY(logOn());
        gateway->send("1005 TALK Ann 0010 \"complete\"\r\n1005 TALK Ann 0010 \"half of a li");
        QTRY_VERIFY(upper.plainText().contains("complete\r\n"));
        reset ? gateway->client()->abort() : gateway->dropClient();
        QTRY_COMPARE(upper.count(Disconnected), 1);
        // The next connection starts clean: the old half is not glued to
        // what the new connection brings.
        QVERIFY(logOn());
        gateway->send("ne\"\r\n1005 TALK Ann 0010 \"fresh\"\r\n");
        QTRY_VERIFY(upper.plainText().contains("fresh\r\n"));
        QVERIFY(!upper.plainText().contains("half of a li"));
    }

    void tenMegabyteLines()
    {
        QVERIFY(logOn());
        Watcher watch(*session);
        const QByteArray tenMegabytes(10 * 1024 * 1024, 'x');
        gateway->send("1018 INFO \"before\"\r\n" + tenMegabytes + "\r\n1018 INFO \"after\"\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(lower.plainText().endsWith("after\r\n"), 60000);
        const QString dropped = QStringLiteral("Error: the server sent a line longer than %1 bytes; it was dropped.\r\n")
                                    .arg(ChatParser::MaxTail);
        QCOMPARE(lower.count(dropped), 1);
        QVERIFY(lower.plainText().contains("before\r\n"));
        // Another one, and the connection ends before its line does.
        gateway->send(tenMegabytes);
        gateway->dropClient();
        QTRY_COMPARE_WITH_TIMEOUT(upper.count(Disconnected), 1, 60000);
        QCOMPARE(lower.count(dropped), 2);
        QVERIFY(!(upper.plainText() + lower.plainText()).contains("xxxx"));
        QVERIFY(watch.bounded());
        QVERIFY(logOn());   // and a well-behaved gateway still gets through
    }

    void garbageBytesAndFlags()
    {
        QVERIFY(logOn());
        gateway->send("1005 TALK A\0n 0010 \"a\0b\xff" "c\"\r\n\xff\xfe\0\r\n\0\0\0\r\n\xff\r\n"_ba);   // NULs included
        gateway->sendLines({"1001 USER Bob 00zz [STAR]", "1001 USER Ann 0012 [STAR]", "1005 TALK Bob abcd \"hi\"",
                            "1009 USER Ann ----", "1002 JOIN Cid 1e10 [SEXP]", "1023 EMOTE Cid 0x12 \"waves\"",
                            "1004 WHISPER Bob \xff\xff\xff\xff \"psst\"", "1005 TALK Ann -001 \"negative\"",
                            "1018 INFO \"end\""});
        QTRY_VERIFY(lower.plainText().endsWith("end\r\n"));
        // NUL shows as its control picture and 0xFF as the letter it is.
        const QString shown = upper.plainText();
        QVERIFY(shown.contains(u"A\u2400n") && shown.contains(u"a\u2400b\u00FFc\r\n"));
        QVERIFY(!(shown + lower.plainText()).contains(QChar(0)));
        for (const char *text : {"hi\r\n", "waves\r\n", "psst\r\n", "negative\r\n"})
            QVERIFY2(shown.contains(text), text);
        QCOMPARE(session->roster().names(), (QStringList{"Bob", "Ann", "Cid"}));
    }

    // 50,000 lines and a close at once: every line shows once, in order,
    // read in slices, and only then does the client disconnect.
    void aFloodAndACloseAtOnce()
    {
        constexpr int Lines = 50000;
        QVERIFY(logOn());
        QByteArray flood;
        for (int i = 0; i < Lines; ++i)
            flood += "1005 TALK u" + QByteArray::number(i % 97) + " 0010 \"line " + QByteArray::number(i) + "\"\r\n";
        Watcher watch(*session);
        gateway->send(flood);
        gateway->dropClient();
        QTRY_COMPARE_WITH_TIMEOUT(upper.count(Disconnected), 1, 120000);
        QCOMPARE(upper.runs.last().text, Disconnected);
        int next = 0;
        for (const Run &r : upper.runs) {
            if (r.text.startsWith("line "))
                QCOMPARE(r.text, QStringLiteral("line %1\r\n").arg(next++));
        }
        QCOMPARE(next, Lines);
        QVERIFY(watch.bounded());
    }
};

QTEST_GUILESS_MAIN(HostileGatewayTest)
#include "tst_hostile_gateway.moc"
