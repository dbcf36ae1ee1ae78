#pragma once
// Parser hosts for the benchmarks, each with its two transcript sinks: one
// that throws every run away, one that keeps the runs (to replay them
// straight into a text widget), and one that writes into real panes.

#include "chat/ChatParser.h"
#include "chat/TranscriptSink.h"

#include <QList>

// Answers the parser the way a logged-on client would.
class QuietHost : public ParserHost
{
public:
    void loggedOn(const QString &) override {}
    void setReplyName(const QString &) override {}
    void setChannel(const QString &) override {}
    bool sendJoin(const QString &) override { return true; }
};

class DiscardingHost : public QuietHost
{
public:
    struct Counter : TranscriptSink {
        void AddText(const QString &txt, Rgb) override { chars += txt.size(); }
        qsizetype chars = 0;   // keeps the compiler from dropping the work
    };
    Counter upperSink;
    Counter lowerSink;
};

struct Run {
    QString text;
    Rgb color;
};

// The runs of each pane, with the number of runs each input slice produced,
// so a replay can give the event loop a turn at the same places.
class RecordingHost : public QuietHost
{
public:
    struct Recorder : TranscriptSink {
        explicit Recorder(QList<Run> &into) : runs(into) {}
        void AddText(const QString &txt, Rgb color) override { runs.append({txt, color}); }
        QList<Run> &runs;
    };
    QList<Run> upper;
    QList<Run> lower;
    Recorder upperSink{upper};
    Recorder lowerSink{lower};
};

class PaneHost : public QuietHost
{
public:
    PaneHost(TranscriptSink &up, TranscriptSink &low)
        : upperSink(up)
        , lowerSink(low)
    {
    }
    TranscriptSink &upperSink;
    TranscriptSink &lowerSink;
};
