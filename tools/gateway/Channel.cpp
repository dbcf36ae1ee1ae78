#include "Channel.h"

namespace gateway {

bool Channel::ban(const QString &name)
{
    if (m_banned.size() >= MaxBans && !isBanned(name))
        return false;
    m_banned.insert(name.toLower());
    return true;
}

} // namespace gateway
