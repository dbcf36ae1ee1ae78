#pragma once
// Somebody logged on to the gateway: a client on a socket or a simulated
// user of the demo crowd. The hub routes protocol lines to it and keeps its
// name, product, channel flags and the names it has squelched.

#include <QSet>
#include <QString>

namespace gateway {

namespace UserFlags {
constexpr int Admin = 0x01;
constexpr int Operator = 0x02;
constexpr int Plain = 0x10;      // what chat-protocol users carry
constexpr int Squelched = 0x20;  // only ever shown to the user who squelched
} // namespace UserFlags

class Participant
{
public:
    // Bounds the squelch list so that a client cannot grow it without end.
    static constexpr int MaxSquelched = 256;

    virtual ~Participant() = default;

    // One event line without its line end.
    virtual void deliver(const QString &line) = 0;
    virtual bool isSimulated() const { return false; }

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString product() const { return m_product; }
    void setProduct(const QString &product) { m_product = product; }

    // Flags in the current channel, without the viewer-dependent squelch bit.
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }

    // Key of the current channel (lower case), empty while in none.
    QString channelKey() const { return m_channelKey; }
    void setChannelKey(const QString &key) { m_channelKey = key; }

    bool squelches(const QString &name) const { return m_squelched.contains(name.toLower()); }
    bool squelch(const QString &name)
    {
        if (m_squelched.size() >= MaxSquelched && !squelches(name))
            return false;
        m_squelched.insert(name.toLower());
        return true;
    }
    void unsquelch(const QString &name) { m_squelched.remove(name.toLower()); }

private:
    QString m_name;
    QString m_product = QStringLiteral("[CHAT]");
    int m_flags = UserFlags::Plain;
    QString m_channelKey;
    QSet<QString> m_squelched;
};

} // namespace gateway
