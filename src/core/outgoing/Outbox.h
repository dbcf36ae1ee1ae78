#pragma once
// Everything said to the server after the logon, in order. What the user
// says is cut to what the server takes (MessageSplitter); every line waits
// in the send queue with its own echo and leaves when the flood rule allows:
// it is written, and then, for chat, shown as the user's own line, so the
// transcript keeps the order in which the others see the lines. Before the
// server accepts the logon, and after the connection ends, nothing is taken.

#include "SendQueue.h"
#include "codec/Wire.h"

#include <QObject>
#include <QString>

#include <functional>

class TranscriptSink;

class Outbox : public QObject
{
    Q_OBJECT
public:
    using Echo = SendQueue::Echo;
    // Writes one line to the server now and sets sent to the text of the
    // bytes that left; false when the connection refused it (the writer
    // deals with the broken connection), and nothing is echoed.
    using Writer = std::function<bool(const QString &line, QString *sent)>;
    // The chosen text encoding, asked for at each line: pieces and the send
    // queue's cost count its bytes.
    using EncodingSource = std::function<Wire::Encoding()>;

    Outbox(TranscriptSink &upper, Writer write, EncodingSource encoding, QObject *parent = nullptr);

    // The server accepted the logon as ownName: lines are taken from now on,
    // and its flood count starts from nothing.
    void open(const QString &ownName);
    // The connection ended: nothing is taken, and the lines still waiting
    // are dropped with a red line that says how many.
    void close();
    bool isOpen() const { return m_open; }

    // Queues one line as it stands. False, and nothing queued, while closed.
    bool queueLine(const QString &line, Echo echo = Echo::None);
    // Queues what the user says: talk, whispers and emotes too long for the
    // server go as several lines; talk is echoed as the user's own line.
    bool say(const QString &line);

    int waitingLines() const { return m_queue.waiting(); }
    SendQueue &sendQueue() { return m_queue; }

public slots:
    // Drops the lines still waiting and says how many (Escape).
    void cancelWaiting();

signals:
    // How many lines wait for the server's flood rule.
    void waitingChanged(int lines);

private:
    void leave(const QString &line, Echo echo);
    void reportUnsent(int lines, const QString &why);

    TranscriptSink &m_upper;
    Writer m_write;
    EncodingSource m_encoding;
    SendQueue m_queue;
    QString m_ownName;
    bool m_open = false;
};
