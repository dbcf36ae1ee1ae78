#include "FriendsList.h"

namespace {

// "Your PvPGN Realm - Friends List"
bool isHeader(const QString &text)
{
    return text.endsWith(QLatin1String(" - Friends List"));
}

// "=-=-=-...": only those two characters.
bool isSeparator(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c != QLatin1Char('=') && c != QLatin1Char('-'))
            return false;
    return true;
}

bool isEnd(const QString &text)
{
    return text == QLatin1String("End of Friends List");
}

} // namespace

FriendsList::FriendsList(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(TimeoutMs);
    connect(&m_timer, &QTimer::timeout, this, &FriendsList::fail);
}

void FriendsList::refresh()
{
    if (reading()) {
        m_again = true;
        return;
    }
    m_step = Step::Header;
    m_held.clear();
    m_read.clear();
    m_model.setState(FriendsModel::State::Reading);
    m_timer.start();
    emit commandReady(ListCommand);
}

bool FriendsList::consume(const QString &text)
{
    switch (m_step) {
    case Step::Idle:
        return false;
    case Step::Header:
        if (!isHeader(text))
            return false;   // not the reply yet
        m_step = Step::FirstSeparator;
        break;
    case Step::FirstSeparator:
        if (!isSeparator(text)) {
            fail();
            return false;
        }
        m_step = Step::Entries;
        break;
    case Step::Entries:
        if (isSeparator(text)) {
            m_step = Step::End;
        } else if (const auto f = FriendsModel::parseLine(text); f && m_read.size() < MaxFriends) {
            m_read.append(*f);
        } else {
            fail();
            return false;
        }
        break;
    case Step::End:
        if (!isEnd(text)) {
            fail();
            return false;
        }
        finish();
        return true;
    }
    m_held.append(text);
    return true;
}

void FriendsList::finish()
{
    m_timer.stop();
    m_step = Step::Idle;
    m_held.clear();
    m_model.setFriends(m_read);
    m_model.setState(FriendsModel::State::Read);
    m_read.clear();
    if (m_again) {
        m_again = false;
        refresh();
    }
}

void FriendsList::fail()
{
    m_timer.stop();
    m_step = Step::Idle;
    m_again = false;
    m_read.clear();
    m_model.setState(FriendsModel::State::Unreadable);
    if (!m_held.isEmpty())
        emit released(std::exchange(m_held, {}));
}

void FriendsList::connectionLost()
{
    const bool wasReading = reading();
    m_timer.stop();
    m_step = Step::Idle;
    m_again = false;
    m_read.clear();
    if (wasReading)
        m_model.setState(FriendsModel::State::NotRead);
    if (!m_held.isEmpty())
        emit released(std::exchange(m_held, {}));
}

void FriendsList::friendCame(const QString &name)
{
    m_model.setStatus(name, QStringLiteral("online"));
    refresh();
}

void FriendsList::friendLeft(const QString &name)
{
    m_model.setStatus(name, QStringLiteral("offline"));
    refresh();
}

// The first word: a name with a blank would send a second argument.
QString FriendsList::oneName(const QString &name)
{
    return name.trimmed().section(QLatin1Char(' '), 0, 0);
}

void FriendsList::add(const QString &name)
{
    const QString who = oneName(name);
    if (who.isEmpty())
        return;
    emit commandReady(QStringLiteral("/f a ") + who);
    refresh();
}

void FriendsList::remove(const QString &name)
{
    const QString who = oneName(name);
    if (who.isEmpty())
        return;
    emit commandReady(QStringLiteral("/f r ") + who);
    refresh();
}

void FriendsList::whois(const QString &name)
{
    const QString who = oneName(name);
    if (!who.isEmpty())
        emit commandReady(QStringLiteral("/whois ") + who);
}
