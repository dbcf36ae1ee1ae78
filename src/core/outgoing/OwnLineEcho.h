#pragma once
// The user's own chat line as the upper pane shows it: the time stamp in
// red, the own name and ": " in blue-green, the text and a line break in
// white. Typed chat and a chat-text idle message look the same.

#include <QString>

class TranscriptSink;

namespace OwnLineEcho {

void show(TranscriptSink &upper, const QString &ownName, const QString &text);

} // namespace OwnLineEcho
