// 100,000 lines through a loopback socket into the client's own main window,
// with a 1 ms timer watching how long the event loop is kept from it; then
// the same coloured runs appended straight into bare text widgets of the
// same size and font, the most the toolkit can do.

#include "BenchHosts.h"
#include "Benchmarks.h"
#include "ClientWindow.h"
#include "EventWait.h"
#include "LimitWindow.h"
#include "LoopbackServer.h"
#include "Report.h"
#include "Traffic.h"

#include "chat/ChatSession.h"
#include "chat/RosterModel.h"
#include "chat/TranscriptPane.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace {

constexpr qsizetype TotalLines = 100000;
constexpr int Users = 150;
constexpr qsizetype Slice = 64 * 1024;
// The last line of the traffic; once it shows, everything before it does.
const QString LastText = QStringLiteral("that was the last line of the bench");

// The longest gap between ticks of a 1 ms timer: how long the event loop
// was kept busy at a stretch.
class BlockProbe
{
public:
    BlockProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = qMax(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The gap still open at the end counts as well.
    double stopMs()
    {
        m_timer.stop();
        m_longest = qMax(m_longest, m_clock.nsecsElapsed() - m_last);
        return m_longest / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

struct Recording {
    RecordingHost host;
    QList<qsizetype> upperEnds;   // runs of the upper pane after each slice
    QList<qsizetype> lowerEnds;
    QList<qsizetype> lineEnds;    // complete protocol lines after each slice
};

// The runs the parser produces for the traffic, slice by slice.
void record(const QByteArray &bytes, Recording &rec)
{
    RosterModel roster;
    ChatParser parser(rec.host, roster, rec.host.upperSink, rec.host.lowerSink);
    qsizetype lines = 0;
    char last = 0;
    for (const QByteArray &slice : Traffic::slices(bytes, Slice)) {
        parser.ParseData(slice);
        lines += slice.count("\r\n") + (last == '\r' && slice.startsWith('\n') ? 1 : 0);
        last = slice.back();
        rec.upperEnds.append(rec.host.upper.size());
        rec.lowerEnds.append(rec.host.lower.size());
        rec.lineEnds.append(lines);
    }
}

// The client over loopback; lines per second from the first byte written
// to the last line in the upper pane. Without its roster the window shows
// what the rest costs: the roster view is laid out and painted anew in
// every turn in which users come or go.
double clientLinesPerSecond(const QByteArray &bytes, double &longestBlockMs, bool withRoster = true,
                            qsizetype lines = TotalLines)
{
    const auto window = ClientWindow::show();
    LoopbackServer server(bytes);
    if (!window || !server.listening())
        return 0;
    if (!withRoster)
        window->findChild<QListView *>(QStringLiteral("lstUser"))->setModel(nullptr);
    window->session().setPortForTesting(server.port());
    window->session().Login();

    BlockProbe probe;
    EventWait::until([&] { return server.writing(); }, 10000);
    probe.start();
    const bool done = EventWait::until([&] { return ClientWindow::lastUpperLineEndsWith(*window, LastText); },
                                       120000);
    // The last lines count once they are painted: in a flood a pane holds
    // its painting back for a few milliseconds at a time (see RepaintPacer).
    EventWait::until([&] { return window->txtChat()->updatesEnabled() && window->txtChat2()->updatesEnabled(); },
                     1000);
    QApplication::processEvents();
    const auto end = std::chrono::steady_clock::now();
    longestBlockMs = probe.stopMs();
    if (!done) {
        Report::note(QStringLiteral("end to end: the last line never arrived"));
        return 0;
    }
    const double seconds = std::chrono::duration<double>(end - server.writeStart()).count();
    return lines / seconds;
}

// The same runs appended with a QTextCursor to bare widgets of the same
// size and font, the event loop getting a turn after each slice's runs as
// it does in the client. Batched, each slice's runs are one edit block, the
// fastest way the toolkit offers; unbatched, every run is its own edit.
double toolkitLinesPerSecond(const Recording &rec, bool batched, qsizetype slices)
{
    // The panes' sizes are known once the main window has been laid out.
    const auto model = ClientWindow::show();
    if (!model)
        return 0;
    LimitWindow window(*model);
    model->hide();
    window.show();
    QApplication::processEvents();
    QPlainTextEdit *upper = window.upper();
    QPlainTextEdit *lower = window.lower();

    QTextCursor upperEnd(upper->document());
    QTextCursor lowerEnd(lower->document());
    QTextCharFormat format;
    auto append = [&format](QTextCursor &c, const Run &r) {
        format.setForeground(QColor::fromRgb(r.color));
        c.insertText(r.text, format);
    };

    QElapsedTimer t;
    t.start();
    qsizetype u = 0;
    qsizetype l = 0;
    for (qsizetype s = 0; s < slices; ++s) {
        if (batched) {
            upperEnd.beginEditBlock();
            lowerEnd.beginEditBlock();
        }
        for (; u < rec.upperEnds.at(s); ++u)
            append(upperEnd, rec.host.upper.at(u));
        for (; l < rec.lowerEnds.at(s); ++l)
            append(lowerEnd, rec.host.lower.at(l));
        if (batched) {
            upperEnd.endEditBlock();
            lowerEnd.endEditBlock();
        }
        upper->verticalScrollBar()->setValue(upper->verticalScrollBar()->maximum());
        lower->verticalScrollBar()->setValue(lower->verticalScrollBar()->maximum());
        QApplication::processEvents();
    }
    return rec.lineEnds.at(slices - 1) / (t.nsecsElapsed() / 1e9);
}

Traffic::Stream endToEndTraffic(qsizetype lines = TotalLines)
{
    Traffic::Stream traffic = Traffic::channelLife(lines - 4 - Users, Users);
    traffic.bytes += "1005 TALK Bencher 0010 \"" + LastText.toLatin1() + "\"\r\n";
    return traffic;
}

} // namespace

void Bench::client()
{
    // Enough lines for the panes to trim their scrollback a few times.
    constexpr qsizetype Lines = 100000;
    const Traffic::Stream traffic = endToEndTraffic(Lines);
    double longestBlockMs = 0;
    const double client = clientLinesPerSecond(traffic.bytes, longestBlockMs, true, Lines);
    Report::figure(QStringLiteral("end to end client"), client, QStringLiteral("lines/s"), 0);
    Report::figure(QStringLiteral("responsiveness longest block"), longestBlockMs, QStringLiteral("ms"));
}

void Bench::endToEnd()
{
    const Traffic::Stream traffic = endToEndTraffic();
    Recording rec;
    record(traffic.bytes, rec);
    const qsizetype slices = rec.lineEnds.size();

    // A first pass loads the fonts, fills the glyph caches and grows the
    // heap, so that neither side pays for them; then the best of two runs
    // each, taken in turns, since the machine may be shared.
    toolkitLinesPerSecond(rec, true, slices / 5);
    double client = 0;
    double limit = 0;
    double longestBlockMs = 0;
    for (int run = 0; run < 2; ++run) {
        double blockMs = 0;
        client = qMax(client, clientLinesPerSecond(traffic.bytes, blockMs));
        longestBlockMs = qMax(longestBlockMs, blockMs);
        limit = qMax(limit, toolkitLinesPerSecond(rec, true, slices));
    }
    double unused = 0;
    const double withoutRoster = clientLinesPerSecond(traffic.bytes, unused, false);
    // One edit per run, on the first fifth only: it is slow.
    const double perRun = toolkitLinesPerSecond(rec, false, slices / 5);

    Report::figure(QStringLiteral("end to end client"), client, QStringLiteral("lines/s"), 0);
    Report::figure(QStringLiteral("end to end toolkit limit"), limit, QStringLiteral("lines/s"), 0);
    if (client > 0)
        Report::figure(QStringLiteral("end to end limit/client ratio"), limit / client, QStringLiteral("x"), 2);
    Report::figure(QStringLiteral("end to end client without roster view"), withoutRoster, QStringLiteral("lines/s"), 0);
    Report::figure(QStringLiteral("end to end toolkit one edit per run"), perRun, QStringLiteral("lines/s"), 0);
    Report::figure(QStringLiteral("responsiveness longest block"), longestBlockMs, QStringLiteral("ms"));
}
