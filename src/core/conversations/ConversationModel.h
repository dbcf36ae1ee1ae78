#pragma once
// The upper pane's tabs as plain data: row 0 is the channel, then one row
// per user the user whispers with. Each row keeps its title (the name as it
// was first spelt), how many lines came while it was not shown, whether one
// of them was a whisper to the user (the alert mark), and its lines as the
// coloured runs a pane gets, time stamp and CR LF included. User names
// compare without regard to case, as the server compares them.

#include "Whispers.h"
#include "chat/TranscriptSink.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct TranscriptRun {
    QString text;
    Rgb color = 0;
};
using TranscriptLine = QList<TranscriptRun>;

class ConversationModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int ChannelRow = 0;
    // A conversation keeps its last lines only, like a pane's scrollback.
    static constexpr int MaxLines = 5000;
    // A flood of whispers from new names opens no more tabs than this; their
    // lines still show in the channel pane and go to the log.
    static constexpr int MaxConversations = 100;
    static inline const QString ChannelTitle = QStringLiteral("Channel");

    enum Role {
        TitleRole = Qt::UserRole + 1,   // "Mira", or "Channel"
        UnreadRole,                     // lines that came while the row was not shown
        AlertRole,                      // one of them was a whisper to the user
        UserRole,                       // the user a typed line goes to; empty for the channel
    };
    // Who said a line: a whisper received marks the row; an own one does not.
    using Direction = Whispers::Direction;

    explicit ConversationModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole is the tab text: "Mira", "Mira (2)", "! Mira (2)" with an alert.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The row of the conversation with user, or -1.
    int find(const QString &user) const;
    // The row of the conversation with user, opened when there is none
    // (with the user's earlier lines from the log, when a source is set).
    // -1 for an empty name or when MaxConversations are open.
    int open(const QString &user);
    // Closes a conversation (Ctrl+W); the channel row stays. The log keeps
    // its lines: a conversation opened again shows them as earlier lines.
    bool close(int row);

    // A whole line (its runs up to and including CR LF) in the conversation
    // with user, which opens when needed. Returns the row, or -1.
    int record(const QString &user, Direction direction, const TranscriptLine &line);
    // The same as record(), with the runs the channel pane shows for a
    // 1004 WHISPER or a 1010 WHISPERSENT (see EventFormatter).
    int recordReceived(const QString &from, const QString &text);
    int recordSent(const QString &to, const QString &text);
    // A line in the channel pane: counts on the "Channel" tab while another
    // tab is shown.
    void recordChannelLine(bool alert);

    // The row the user sees: its unread count and mark go to 0, and lines
    // that come while it is shown do not count.
    void setShownRow(int row);
    int shownRow() const { return m_shown; }

    QString title(int row) const;
    int unread(int row) const;
    bool alert(int row) const;
    // The user a line typed in the row's tab goes to; empty for the channel.
    QString userAt(int row) const { return row > ChannelRow ? title(row) : QString(); }
    // What a line typed in the row's tab sends: talk becomes "/w user text";
    // a command, and anything typed in the channel tab, goes as it is.
    QString lineToSend(int row, const QString &typed) const;
    const QList<TranscriptLine> &lines(int row) const;
    // Every run of the row, in order, to a pane that was just made.
    void replay(int row, TranscriptSink &sink) const;

    // Where a new conversation finds the user's earlier lines (the day's log);
    // they come first, in grey.
    using EarlierLines = std::function<QStringList(const QString &user)>;
    void setEarlierLines(EarlierLines source) { m_earlier = std::move(source); }

    // The runs between these belong to one chunk from the server, as in
    // TranscriptSink: a view may lay its panes out once, at the end.
    void beginBatch()
    {
        if (m_batchDepth++ == 0)
            emit batchBegun();
    }
    void endBatch()
    {
        if (m_batchDepth > 0 && --m_batchDepth == 0)
            emit batchEnded();
    }

signals:
    void batchBegun();
    void batchEnded();
    // A run for the row's pane, as it arrives.
    void runAppended(int row, const QString &text, Rgb color);

private:
    struct Conversation {
        QString title;
        int unread = 0;
        bool alert = false;
        QList<TranscriptLine> lines;
    };
    void append(int row, const TranscriptLine &line);
    void count(int row, bool alert);
    void changed(int row);

    QList<Conversation> m_rows;
    int m_shown = ChannelRow;
    EarlierLines m_earlier;
    int m_batchDepth = 0;
};
