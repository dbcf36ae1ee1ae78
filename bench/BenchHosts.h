#pragma once
// Parser hosts for the benchmarks: one that throws every run away, one that
// keeps the runs (to replay them straight into a text widget), and one that
// writes into real panes.

#include "chat/ChatParser.h"
#include "chat/TranscriptSink.h"

#include <QList>

// Answers every host question the way a logged-on client would.
class QuietHost : public ParserHost
{
public:
    void loggedOn(const QString &) override {}
    void setReplyName(const QString &) override {}
    void setChannel(const QString &) override {}
    bool sendParserLine(const QString &) override { return true; }
    bool joinLeave() override { return true; }
    QString homeChan() override { return QStringLiteral("Clan Ashgrove"); }
};

class DiscardingHost : public QuietHost
{
public:
    void AddText(const QString &txt, Rgb) override { chars += txt.size(); }
    void AddText2(const QString &txt, Rgb) override { chars += txt.size(); }
    qsizetype chars = 0;   // keeps the compiler from dropping the work
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
    void AddText(const QString &txt, Rgb color) override { upper.append({txt, color}); }
    void AddText2(const QString &txt, Rgb color) override { lower.append({txt, color}); }
    QList<Run> upper;
    QList<Run> lower;
};

class PaneHost : public QuietHost
{
public:
    PaneHost(TranscriptSink &up, TranscriptSink &low)
        : m_upper(up)
        , m_lower(low)
    {
    }
    void AddText(const QString &txt, Rgb color) override { m_upper.AddText(txt, color); }
    void AddText2(const QString &txt, Rgb color) override { m_lower.AddText(txt, color); }

private:
    TranscriptSink &m_upper;
    TranscriptSink &m_lower;
};
