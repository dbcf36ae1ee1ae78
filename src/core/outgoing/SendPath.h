#pragma once
// `Send`: turns the input line into outgoing lines. Chat is echoed as the
// user's own line when it leaves the send queue; a "/" line is a server
// command and goes out unchanged, except "/hex " and "/reply ", which the
// client rewrites itself. Long talk, whispers and emotes go as several lines.
// Every line that is sent is kept in the input line's history. Nothing goes
// out before the logon is accepted, and talk does not go out in no channel.

#include <QObject>

class ChatSession;
class InputBuffer;
class TranscriptSink;

class SendPath : public QObject
{
    Q_OBJECT
public:
    // The session for its state and its outbox; upper for the refusals.
    SendPath(ChatSession &session, TranscriptSink &upper, InputBuffer &input, QObject *parent = nullptr);

    static inline const QString HexCommand = QStringLiteral("/hex ");
    static inline const QString ReplyCommand = QStringLiteral("/reply ");
    static inline const QString NobodyToReplyTo = QStringLiteral("Error: Nobody to reply to!");
    static inline const QString LogonInProgress =
        QStringLiteral("The logon is still in progress: nothing was sent.");
    static inline const QString NoChannel =
        QStringLiteral("You are in no channel: nothing was sent. Type /join <channel> to join one.");
    // %1: the encoding's caption, %2: the characters it lacks.
    static inline const QString CannotEncode =
        QStringLiteral("%1 has no %2: nothing was sent. Choose Unicode (UTF-8) as the text encoding in Options to send them.");

public slots:
    // Enter in the input line and "&Normal" of the send menu.
    void Send();
    // "&Hex" of the send menu and "/hex ": the edit text becomes its hex
    // form and is sent as chat.
    void hexSend();

signals:
    // A whisper is about to go out (typed as /w, /whisper, /m, /msg or
    // /reply): its conversation opens; its line comes with the server's echo.
    void whisperTyped(const QString &user);

private:
    // History, then the outbox, then an empty edit text.
    void dispatch(const QString &line);
    // One red line in the upper pane; the edit text keeps what was typed.
    void refuse(const QString &why);
    void announceWhisper(const QString &line);
    // Refuses text, and says so, when the chosen encoding lacks some of its
    // characters: they would leave as "?".
    bool refuseUnencodable(const QString &text);

    ChatSession &m_session;
    TranscriptSink &m_upper;
    InputBuffer &m_input;
};
