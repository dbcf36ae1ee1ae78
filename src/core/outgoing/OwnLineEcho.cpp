#include "OwnLineEcho.h"

#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/TimeStamp.h"
#include "chat/TranscriptSink.h"

namespace OwnLineEcho {

void show(ChatSession &session, const QString &text)
{
    TranscriptSink &upper = session.upper();
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(session.ownName() + QStringLiteral(": "), Colors::LogonBlue);
    upper.AddText(text + QStringLiteral("\r\n"), Colors::White);
}

} // namespace OwnLineEcho
