#pragma once
// The roster menu's commands for the user clicked last (`selName`). They go
// straight to the wire: no connection test, no echo, no history entry, and
// a refused line is dropped without a word; the server's answers show the
// outcome.

#include <QObject>

class ChatSession;
class InputBuffer;

class RosterCommands : public QObject
{
    Q_OBJECT
public:
    RosterCommands(ChatSession &session, InputBuffer &input, QObject *parent = nullptr);

public slots:
    void whois();
    void squelch();
    void unsquelch();
    // "/w name " + the edit text; the edit text is cleared once it went out.
    void whisper();
    void ban();
    void kick();
    // Appends the name to the edit text; sends nothing.
    void copyName();

private:
    bool sendFor(const QString &prefix);

    ChatSession &m_session;
    InputBuffer &m_input;
};
