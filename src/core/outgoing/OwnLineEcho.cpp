#include "OwnLineEcho.h"

#include "chat/Colors.h"
#include "chat/TimeStamp.h"
#include "chat/TranscriptSink.h"

namespace OwnLineEcho {

void show(TranscriptSink &upper, const QString &ownName, const QString &text)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(ownName + QStringLiteral(": "), Colors::LogonBlue);
    upper.AddText(text + CrLf, Colors::White);
}

} // namespace OwnLineEcho
