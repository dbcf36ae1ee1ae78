#pragma once
// Asks the server for the friends list ("/f l") and reads its reply, which
// the panes do not show. The reply, each line a 1018 INFO:
//
//   Your PvPGN Realm - Friends List          (the realm's name varies)
//   =-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=
//   1: *alice, in channel "Chat",,  using Chat
//   2:  carol, offline,  using Chat
//   =-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=
//   End of Friends List
//
// Only a reply that was asked for is read: a "/f l" the user types shows as
// the server sends it. Lines before the header are not the reply. When the
// reply breaks off with a line that does not belong to it, or has not ended
// TimeoutMs after the request, the lines held back are released (to show
// in the lower pane as usual) and the model says the list could not be read.
//
// The commands of the Friends view go out through commandReady: the lead
// connects it to the send queue (ChatSession::queueLine).

#include "FriendsModel.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class FriendsList : public QObject
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 5000;
    // More lines than a server's list holds: the reply is not what it seems.
    static constexpr int MaxFriends = 1000;
    static inline const QString ListCommand = QStringLiteral("/f l");

    explicit FriendsList(QObject *parent = nullptr);

    FriendsModel &model() { return m_model; }

    // A 1018 INFO text. True when it belongs to the reply being read: the
    // caller shows nothing for it. False: show it as usual, after any lines
    // released() gave back.
    bool consume(const QString &infoText);

    // A friend came or went (Whispers::friendNotice): the status shows at
    // once, and the list is read again for the details.
    void friendCame(const QString &name);
    void friendLeft(const QString &name);

    // The connection ended: what is held is released, nothing is awaited.
    void connectionLost();

    bool reading() const { return m_step != Step::Idle; }
    void setTimeoutForTesting(int ms) { m_timer.setInterval(ms); }

public slots:
    // Sends "/f l" and reads the reply: after the logon, on request, and
    // when a friend changes. A request while a reply is awaited asks once
    // more when it is in, so no change is missed.
    void refresh();
    // The Friends view's commands: "/f a name", "/f r name" (each followed
    // by a refresh), "/whois name".
    void add(const QString &name);
    void remove(const QString &name);
    void whois(const QString &name);

signals:
    // A line for the server, through the send queue.
    void commandReady(const QString &line);
    // INFO texts held back from a reply that was not read, in order: show
    // them in the lower pane as any INFO line.
    void released(const QStringList &infoTexts);

private:
    enum class Step { Idle, Header, FirstSeparator, Entries, End };
    void fail();
    void finish();
    static QString oneName(const QString &name);

    FriendsModel m_model;
    QTimer m_timer;
    Step m_step = Step::Idle;
    QStringList m_held;
    QList<FriendsModel::Friend> m_read;
    bool m_again = false;
};
