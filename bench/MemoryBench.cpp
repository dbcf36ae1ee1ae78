// Resident memory of the client after 1,000,000 talk lines parsed into the
// upper pane of its main window, slice by slice with the event loop running
// in between as in the client. The pane keeps its scrollback limit, so the
// figure after the first 100,000 lines and the one after all of them should
// be about the same.

#include "BenchHosts.h"
#include "Benchmarks.h"
#include "ClientWindow.h"
#include "Report.h"
#include "Traffic.h"

#include "chat/RosterModel.h"
#include "chat/TranscriptPane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <unistd.h>

namespace {

// Resident set size in bytes, from the second field of /proc/self/statm.
qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

} // namespace

void Bench::memory()
{
    constexpr qsizetype Lines = 1000000;
    constexpr qsizetype Batch = 100000;
    const auto window = ClientWindow::show();
    if (!window)
        return;
    TranscriptPane *upper = window->txtChat();
    TranscriptPane *lower = window->txtChat2();
    PaneHost host(*upper, *lower);
    RosterModel roster;
    ChatParser parser(host, roster, host.upperSink, host.lowerSink);

    const qint64 before = residentBytes();
    qint64 afterFirstBatch = 0;
    QElapsedTimer t;
    t.start();
    // Generated a batch at a time, so the traffic itself does not sit in memory.
    for (qsizetype done = 0; done < Lines; done += Batch) {
        const Traffic::Stream batch = Traffic::talkOnly(Batch, unsigned(done));
        for (const QByteArray &slice : Traffic::slices(batch.bytes, 64 * 1024)) {
            // One batch per slice, as the session hands its chunks over.
            upper->beginBatch();
            lower->beginBatch();
            parser.ParseData(slice);
            lower->endBatch();
            upper->endBatch();
            QApplication::processEvents();
        }
        if (done == 0)
            afterFirstBatch = residentBytes();
    }
    const double seconds = t.nsecsElapsed() / 1e9;
    const qint64 after = residentBytes();

    const int blocks = upper->document()->blockCount() - 1;   // the last block is the empty one after the final CR LF
    constexpr double MB = 1024.0 * 1024.0;
    Report::figure(QStringLiteral("memory transcript lines kept"), blocks, QStringLiteral("lines"), 0);
    Report::figure(QStringLiteral("memory scrollback limit"), upper->scrollbackLimit(), QStringLiteral("lines"), 0);
    Report::figure(QStringLiteral("memory resident after %1 lines").arg(Batch), afterFirstBatch / MB, QStringLiteral("MB"));
    Report::figure(QStringLiteral("memory resident after %1 lines").arg(Lines), after / MB, QStringLiteral("MB"));
    Report::figure(QStringLiteral("memory growth over %1 lines").arg(Lines), (after - before) / MB, QStringLiteral("MB"));
    Report::figure(QStringLiteral("memory fill rate"), Lines / seconds, QStringLiteral("lines/s"), 0);
}
