#include "ReconnectBackoff.h"

#include <algorithm>

int ReconnectBackoff::next()
{
    const int wait = m_nextMs;
    m_nextMs = std::min(wait * 2, MaxMs);
    return wait;
}

void ReconnectBackoff::setFirstForTesting(int ms)
{
    m_firstMs = ms;
    reset();
}
