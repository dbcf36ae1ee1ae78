// The send queue against the server's flood rule, on a clock the test moves
// by hand, and the splitter that keeps long lines within what the server takes.

#include "codec/QuillonEngine.h"
#include "codec/Wire.h"
#include "outgoing/MessageSplitter.h"
#include "outgoing/SendQueue.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using Times = QList<qint64>;

// The server's rule with its default settings, as recorded in
// flood-quota.bin (and kept by the local gateway): ceil(bytes / 40) per
// line, forgotten from the fifth whole second on; a line is refused when the
// total after it reaches 5 and the connection closes at 10.
struct ServerRule {
    QList<QPair<qint64, int>> counted;      // arrival second, cost
    int total = 0;
    int receive(qint64 ms, const QString &line)
    {
        while (!counted.isEmpty() && ms / 1000 >= counted.first().first + 5)
            total -= counted.takeFirst().second;
        counted.append({ms / 1000, qMax(1, int(Wire::lineSize(line, Wire::Encoding::utf8()) + 39) / 40)});
        return total += counted.last().second;
    }
};

struct Rig {
    qint64 now = 0;
    SendQueue queue{[this] { return now; }};
    QStringList sent;
    Times sentAt;
    Rig() { QObject::connect(&queue, &SendQueue::send, [this](const QString &l) { sent << l; sentAt << now; }); }
    qsizetype pollAt(qint64 t) { now = t; queue.poll(); return sent.size(); }
    // Each character a line of its own.
    void enqueue(const QString &lines) { for (QChar line : lines) queue.enqueue(line); }

    // Enqueues lines[i] at at[i]; between them the clock jumps to each moment
    // the queue's timer is armed for.
    void run(const Times &at, const QStringList &lines)
    {
        for (qsizetype next = 0, guard = 0; guard < 1000 && (next < lines.size() || queue.waiting()); ++guard) {
            QCOMPARE(queue.timer().isActive(), queue.waiting() > 0);
            const qint64 due = queue.waiting() ? queue.nextSendAt() : std::numeric_limits<qint64>::max();
            if (next < lines.size() && at[next] <= due) {
                now = at[next];
                queue.enqueue(lines[next++]);
                continue;
            }
            QCOMPARE(queue.timer().interval(), due - now);
            const qsizetype before = sent.size();
            QVERIFY(pollAt(due) > before);
        }
    }
};

static QString x(int n) { return QString(n, QLatin1Char('x')); }
static QString emoji(int n) { return QString::fromUtf8("\xF0\x9F\x98\x80").repeated(n); }
// n words of eight letters, one blank apart.
static QString words(int n) { return QStringList(n, QStringLiteral("abcdefgh")).join(QLatin1Char(' ')); }

class TestSendQueue : public QObject
{
    Q_OBJECT
private slots:
    // Lines typed at the given times leave at the expected ones (unchecked
    // when none are given); lines that fit the budget never meet a refusal
    // from the server, whenever its second turns and even when some are held
    // up on the way.
    void budget_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<Times>("at");
        QTest::addColumn<Times>("expected");
        QStringList mixed;
        Times quick;        // 20 ms apart, as in the recorded flood
        for (int i = 0; i < 12; ++i) {
            mixed << x(QList<int>{5, 45, 90, 130, 160, 12}[i % 6]);
            quick << 20 * i;
        }
        QTest::newRow("four short lines leave at once") << QStringList(4, "hi") << Times{0, 0, 0, 0} << Times{0, 0, 0, 0};
        QTest::newRow("the fifth waits for the oldest") << QStringList(5, "hi") << Times{0, 10, 20, 30, 40} << Times{0, 10, 20, 30, 7000};
        QTest::newRow("41 bytes cost two") << QStringList{x(41), x(41), "hi"} << Times{0, 0, 0} << Times{0, 0, 7000};
        QTest::newRow("160 bytes fill the window") << QStringList{x(160), "hi", "hi"} << Times{0, 0, 0} << Times{0, 7000, 7000};
        QTest::newRow("a short line never overtakes") << QStringList{"a", "b", "c", x(80), "d"} << Times{0, 0, 0, 0, 0} << Times{0, 0, 0, 7000, 7000};
        QTest::newRow("oversized waits for an empty window") << QStringList{"hi", x(161), "hi"} << Times{0, 1000, 1000} << Times{0, 7000, 14000};
        QTest::newRow("oversized alone leaves at once") << QStringList{x(300)} << Times{0} << Times{0};
        QTest::newRow("spaced lines never wait") << QStringList(6, "hi") << Times{0, 2000, 4000, 6000, 8000, 9000} << Times{0, 2000, 4000, 6000, 8000, 9000};
        QTest::newRow("UTF-8 bytes, not characters") << QStringList{emoji(10), emoji(11), emoji(10), "hi"} << Times{0, 0, 0, 0} << Times{0, 0, 0, 7000};
        QTest::newRow("twelve quick mixed lines") << mixed << quick << Times{};
    }

    void budget()
    {
        QFETCH(QStringList, lines);
        QFETCH(Times, at);
        QFETCH(Times, expected);
        Rig r;
        r.run(at, lines);
        QCOMPARE(r.sent, lines);
        if (!expected.isEmpty())
            QCOMPARE(r.sentAt, expected);
        // Every fourth line is held up; TCP keeps the order, so it holds up
        // the ones behind it. An oversized line is refused whatever we do.
        for (const auto &[phaseMs, heldUpMs] : {std::pair<qint64, qint64>{0, 0}, {500, 0}, {999, 0}, {0, 2000}, {999, 2000}}) {
            ServerRule server;
            for (qint64 i = 0, arrival = 0; i < r.sent.size(); ++i) {
                arrival = qMax(arrival, r.sentAt[i] + (i % 4 == 0 ? heldUpMs : 0));
                const int total = server.receive(arrival + phaseMs, r.sent[i]);
                QVERIFY(total <= SendQueue::Budget || r.sent[i].size() > MessageSplitter::MaxBytes);
            }
        }
    }

    // cancel() drops what waits, clear() also forgets what was sent, and a
    // send() handler may clear (the socket refused the line): nothing more leaves.
    void cancelClearAndRestart()
    {
        Rig r;
        QSignalSpy changes(&r.queue, &SendQueue::waitingChanged);
        r.enqueue("abcdefg");
        QCOMPARE(changes.last().at(0).toInt(), 3);
        QCOMPARE(r.queue.cancel(), 3);
        QCOMPARE(changes.last().at(0).toInt(), 0);
        r.enqueue("h");                 // what was sent still counts after a cancel
        QCOMPARE(r.queue.clear(), 1);   // and no longer after a clear
        r.enqueue("12345");
        QCOMPARE(r.queue.waiting(), 1);
        r.queue.restart();              // a new connection: "5" leaves at once
        QCOMPARE(r.queue.waiting(), 0);
        int dropped = -1;
        QObject::connect(&r.queue, &SendQueue::send, [&](const QString &line) {
            if (line == "0")
                dropped = r.queue.clear();
        });
        r.enqueue("67890x");
        r.pollAt(SendQueue::WindowMs);
        QCOMPARE(r.sent.join(""), "abcd1234567890");
        QCOMPARE(dropped, 1);
        QVERIFY(!r.queue.timer().isActive());
    }

    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("prefix");        // every piece starts with it
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("joiner");        // what the cuts dropped
        QTest::newRow("talk of 450") << words(50) + "!" << "" << 3 << " ";
        QTest::newRow("whisper of 300") << "/w bob " + words(33) << "/w bob " << 2 << " ";
        QTest::newRow("whisper in capitals") << "/MSG bob " + words(33) << "/MSG bob " << 3 << " ";
        QTest::newRow("blanks after the target") << "/whisper  bob  " + words(20) << "/whisper  bob  " << 2 << " ";
        QTest::newRow("/me") << "/me " + words(20) << "/me " << 2 << " ";
        QTest::newRow("/emote") << "/EMOTE " + words(20) << "/EMOTE " << 2 << " ";
        QTest::newRow("no talk piece starts a command") << words(17) + " /squelch bob " + words(5) << "" << 2 << " ";
        QTest::newRow("a word longer than 160") << x(400) << "" << 3 << "";
        QTest::newRow("wire bytes, not characters") << emoji(200) << "" << 2 << "";
        QTest::newRow("no cut inside a surrogate pair") << emoji(160) + "/x" << "" << 2 << "";
        QTest::newRow("hex in whole pairs") << Quillon_Engine::HexEncode(QString(200, 'a')) << QString(QChar(0xA3)) << 3 << "";
        QTest::newRow("other command untouched") << "/ban bob " + words(30) << "" << 1 << "";
        QTest::newRow("exactly 160") << x(160) << "" << 1 << "";
        QTest::newRow("whisper of exactly 160") << "/w bob " + x(153) << "" << 1 << "";
        QTest::newRow("a target that leaves one byte") << "/w " + x(155) + " ab" << "/w " + x(155) + " " << 2 << "";
    }

    void split()
    {
        QFETCH(QString, line);
        QFETCH(QString, prefix);
        QFETCH(int, count);
        QFETCH(QString, joiner);
        // The counts are for Windows-1252; UTF-8 cuts the same lines by its own bytes.
        for (const Wire::Encoding &encoding : {Wire::Encoding::windows1252(), Wire::Encoding::utf8()}) {
        const QStringList pieces = MessageSplitter::split(line, encoding);
        QVERIFY(encoding.isUtf8() || pieces.size() == count);
        QString rejoined;
        for (const QString &piece : pieces) {
            QVERIFY(piece.startsWith(prefix) && piece.size() > prefix.size());
            QVERIFY(pieces.size() == 1 || Wire::lineSize(piece, encoding) <= MessageSplitter::MaxBytes);
            QVERIFY(!piece.front().isLowSurrogate() && !piece.back().isHighSurrogate());
            QVERIFY(line.startsWith('/') || !piece.startsWith('/'));
            QVERIFY(!prefix.startsWith(QChar(0xA3)) || piece.size() % 2 == 1);     // whole hex pairs
            rejoined += (rejoined.isEmpty() ? QString() : joiner) + piece.mid(prefix.size());
        }
        QCOMPARE(prefix + rejoined, line);
        }
    }
};

QTEST_GUILESS_MAIN(TestSendQueue)
#include "tst_sendqueue.moc"
