#pragma once
// What the transcript shows of each event: its coloured runs, in order, in
// the upper pane or the lower one. The formatter writes to the two
// transcript sinks and nothing else: it sends no line and changes no state.

#include "ParserOptions.h"

#include <QStringView>
#include <QtGlobal>

class TranscriptSink;
struct ChatEvent;

class EventFormatter
{
public:
    // options stays owned by the caller and is read at each line.
    EventFormatter(TranscriptSink &upper, TranscriptSink &lower, const ParserOptions &options);

    void format(const ChatEvent &event) const;

    // The custom-command help printed with the home-channel join.
    void homeHelp() const;

    // The red line for the user's own LEAVE: in no channel now, with the
    // server's reason sentence when one came just before it (may be empty).
    void leftChannel(QStringView reason) const;

    // The red line for a plain line that refused the logon ("Login failed.").
    void logonRefused(const QString &line) const;

    // The server's information in the lower pane, as a 1018 INFO shows:
    // for a friend's notice and the lines of a friends-list reply not read.
    void information(QStringView text) const;

    // The notice for a line longer than `bound` bytes that was dropped.
    void droppedLine(qsizetype bound) const;

private:
    TranscriptSink &m_upper;
    TranscriptSink &m_lower;
    const ParserOptions &m_options;
};
