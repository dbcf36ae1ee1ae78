#pragma once
// `Send`: turns the input line into an outgoing line. Chat is echoed as the
// user's own line; a "/" line is a server command and goes out unchanged,
// except "/hex " and "/reply ", which the client rewrites itself. Every line
// that goes out is kept in the input line's history.

#include <QObject>

class ChatSession;
class InputBuffer;

class SendPath : public QObject
{
    Q_OBJECT
public:
    SendPath(ChatSession &session, InputBuffer &input, QObject *parent = nullptr);

    static inline const QString HexCommand = QStringLiteral("/hex ");
    static inline const QString ReplyCommand = QStringLiteral("/reply ");
    static inline const QString NobodyToReplyTo = QStringLiteral("Error: Nobody to reply to!");

public slots:
    // Enter in the input line and "&Normal" of the send menu.
    void Send();
    // "&Hex" of the send menu and "/hex ": the edit text becomes its hex
    // form and is sent as chat.
    void hexSend();

private:
    // History, then the wire, then an empty edit text. A refused line ends
    // the connection; the edit text then keeps the line.
    void dispatch(const QString &line);

    ChatSession &m_session;
    InputBuffer &m_input;
};
