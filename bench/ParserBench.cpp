// The parser and the roster on their own: panes replaced by a sink that
// discards, bytes fed in socket-sized slices that cut lines apart.

#include "BenchHosts.h"
#include "Benchmarks.h"
#include "Report.h"
#include "Traffic.h"

#include "chat/RosterModel.h"

#include <QElapsedTimer>

void Bench::parser()
{
    const Traffic::Stream traffic = Traffic::channelLife(400000);
    const QList<QByteArray> slices = Traffic::slices(traffic.bytes, 64 * 1024);
    Report::figure(QStringLiteral("traffic average line"), double(traffic.bytes.size()) / traffic.lines,
                   QStringLiteral("bytes"));

    // The best of three runs: the machine is shared, the slowest run says
    // more about the neighbours than about the parser.
    qint64 bestNs = -1;
    for (int run = 0; run < 3; ++run) {
        DiscardingHost host;
        RosterModel roster;
        ChatParser parser(host, roster, host.upperSink, host.lowerSink);
        QElapsedTimer t;
        t.start();
        for (const QByteArray &slice : slices)
            parser.ParseData(slice);
        const qint64 ns = t.nsecsElapsed();
        if (bestNs < 0 || ns < bestNs)
            bestNs = ns;
    }
    const double seconds = bestNs / 1e9;
    Report::figure(QStringLiteral("parser throughput"), traffic.bytes.size() / 1e6 / seconds, QStringLiteral("MB/s"));
    Report::figure(QStringLiteral("parser lines"), traffic.lines / seconds, QStringLiteral("lines/s"), 0);
}
