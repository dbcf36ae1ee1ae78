#pragma once
// What the transcript shows of each event: its coloured runs, in order, in
// the upper pane (AddText) or the lower one (AddText2).

#include <QStringView>
#include <QtGlobal>

class ParserHost;
struct ChatEvent;

namespace EventFormatter {

void format(ParserHost &host, const ChatEvent &event);

// The custom-command help printed with the home-channel join.
void homeHelp(ParserHost &host);

// The red line for the user's own LEAVE: in no channel now, with the
// server's reason sentence when one came just before it (may be empty).
void leftChannel(ParserHost &host, QStringView reason);

// The red line for a plain line that refused the logon ("Login failed.").
void logonRefused(ParserHost &host, const QString &line);

// The notice for a line longer than `bound` bytes that was dropped.
void droppedLine(ParserHost &host, qsizetype bound);

} // namespace EventFormatter
