#pragma once
// The roster menu's commands for the selected user (`selName`). They go
// through the outbox: no echo, no history entry, and a line refused
// before the logon is dropped without a word; the server's answers show the
// outcome. With nobody selected a red line says so and nothing is sent.

#include <QObject>

class ChatSession;
class InputBuffer;
class TranscriptSink;

class RosterCommands : public QObject
{
    Q_OBJECT
public:
    static inline const QString NoTarget =
        QStringLiteral("No user is selected: click a name in the channel list first.");

    // The session for the target and its outbox; upper for the no-target line.
    RosterCommands(ChatSession &session, TranscriptSink &upper, InputBuffer &input, QObject *parent = nullptr);

public slots:
    void whois();
    void squelch();
    void unsquelch();
    // Opens the conversation with the selected user; with text in the edit
    // line, "/w name " + that text goes too, and the edit text is cleared
    // once it went out. An empty whisper is not sent.
    void whisper();
    void ban();
    void kick();
    // Appends the name to the edit text; sends nothing.
    void copyName();

signals:
    // The conversation with name should open and show.
    void conversationRequested(const QString &name);

private:
    bool sendFor(const QString &prefix);
    bool hasTarget();

    ChatSession &m_session;
    TranscriptSink &m_upper;
    InputBuffer &m_input;
};
