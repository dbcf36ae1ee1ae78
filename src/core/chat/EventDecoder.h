#pragma once
// Turns one received line into a ChatEvent: one small function per event
// code, each taking the fields by their 1-based positions the way the
// gateway lays them out.

#include "ChatEvent.h"

class EventDecoder
{
public:
    // line: blanks trimmed, control characters defanged. The event stays
    // valid until the next call.
    const ChatEvent &decode(QString line);

    // A new arrival: the working fields start empty; `CurName` is kept.
    void beginArrival();

private:
    ChatEvent m_event;
};
