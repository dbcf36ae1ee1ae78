#pragma once
// The Friends tab beside the channel roster: the friends list with its
// status, a line that says when the list could not be read, a context menu
// (Whisper, Whois, Remove) and a field with "Add" for a new friend. The
// commands go to the core's FriendsList; Whisper (and a double click) asks
// the window to open the conversation.

#include <QWidget>

class FriendsList;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QTabWidget;

class FriendsView : public QWidget
{
    Q_OBJECT
public:
    explicit FriendsView(FriendsList &friends, QWidget *parent = nullptr);

    QListView *list() const { return m_list; }
    QMenu *contextMenu() const { return m_menu; }
    // The friend under the selection, or empty.
    QString selectedName() const;

    // The two tabs over the roster: "Channel" (the roster view) and "Friends".
    static QTabWidget *rosterTabs(QWidget *roster, FriendsView *friends, QWidget *parent = nullptr);

signals:
    // Whisper from the menu, or a double click: open the conversation.
    void whisperRequested(const QString &name);

private:
    void updateState();
    void addTyped();

    FriendsList &m_friends;
    QListView *m_list;
    QLabel *m_state;
    QLineEdit *m_addName;
    QMenu *m_menu;
};
