#pragma once
// What the transcript shows of each event: its coloured runs, in order, in
// the upper pane (AddText) or the lower one (AddText2).

#include <QtGlobal>

class ParserHost;
struct ChatEvent;

namespace EventFormatter {

void format(ParserHost &host, const ChatEvent &event);

// The custom-command help printed with the home-channel join.
void homeHelp(ParserHost &host);

// The notice for a line longer than `bound` bytes that was dropped.
void droppedLine(ParserHost &host, qsizetype bound);

} // namespace EventFormatter
