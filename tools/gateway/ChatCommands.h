#pragma once
// Turns one line a logged-on user sent into a hub operation: plain text is
// channel talk, a line that begins with "/" is a command.

#include <QString>

namespace gateway {

class ChatHub;
class Participant;

namespace ChatCommands {

void run(ChatHub &hub, Participant &p, const QString &line);

} // namespace ChatCommands

} // namespace gateway
