#pragma once
// Runs the event loop until a condition holds or the time is up.

#include <functional>

namespace EventWait {

// True when done() held before timeoutMs passed. done() is asked after every
// batch of events, so the caller sees the moment the condition came true.
bool until(const std::function<bool()> &done, int timeoutMs);

} // namespace EventWait
