#pragma once
// The friends list as the server last gave it: one row per friend with the
// status and location in the server's words, and whether the friend has
// added the user too (the server's "*"). A list model, so that a view shows
// it and tests drive it without widgets.

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <optional>

class FriendsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    struct Friend {
        QString name;
        bool mutual = false;   // "*": the friend has added the user too
        QString status;        // "in channel", "offline", "in game", "online"
        QString location;      // the quoted place after the status: "Chat"; may be empty
        QString client;        // after "using": "Chat"; may be empty
        bool operator==(const Friend &) const = default;
    };

    // Where the list stands; the view says so above the list.
    enum class State { NotRead, Reading, Read, Unreadable };

    static inline const QString ReadingText = QStringLiteral("Reading the friends list...");
    static inline const QString EmptyText = QStringLiteral("Your friends list is empty.");
    static inline const QString UnreadableText =
        QStringLiteral("The friends list could not be read from the server.");
    static inline const QString NotReadText = QStringLiteral("Log on to see your friends.");

    enum Role { NameRole = Qt::UserRole + 1, MutualRole, StatusRole, LocationRole, ClientRole };

    explicit FriendsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: "*alice - in channel "Chat"" (the server's own mark and words).
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // One line of the server's list, the INFO text:
    //   1: *alice, in channel "Chat",,  using Chat
    //   2:  carol, offline,  using Chat
    // none for any other text.
    static std::optional<Friend> parseLine(const QString &infoText);

    void setFriends(const QList<Friend> &friends);
    const QList<Friend> &friends() const { return m_friends; }
    // Row of a friend, names compared without regard to case; -1 for none.
    int find(const QString &name) const;
    // A friend came or went: the status until the list is read again.
    void setStatus(const QString &name, const QString &status);

    State state() const { return m_state; }
    void setState(State state);
    // What the view shows above the list: empty when the list speaks for itself.
    QString stateText() const;

signals:
    void stateChanged(FriendsModel::State state);

private:
    QList<Friend> m_friends;
    State m_state = State::NotRead;
};
