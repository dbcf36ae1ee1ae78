#include "Outbox.h"

#include "MessageSplitter.h"
#include "OwnLineEcho.h"
#include "chat/Colors.h"
#include "chat/TranscriptSink.h"

Outbox::Outbox(TranscriptSink &upper, Writer write, EncodingSource encoding, QObject *parent)
    : QObject(parent)
    , m_upper(upper)
    , m_write(std::move(write))
    , m_encoding(std::move(encoding))
{
    connect(&m_queue, &SendQueue::send, this, &Outbox::leave);
    connect(&m_queue, &SendQueue::waitingChanged, this, &Outbox::waitingChanged);
}

void Outbox::open(const QString &ownName)
{
    m_ownName = ownName;
    m_open = true;
    m_queue.restart();
}

void Outbox::close()
{
    m_open = false;
    reportUnsent(m_queue.clear(), QString());
}

bool Outbox::queueLine(const QString &line, Echo echo)
{
    if (!m_open)
        return false;
    m_queue.setEncoding(m_encoding());
    m_queue.enqueue(line, echo);
    return true;
}

bool Outbox::say(const QString &line)
{
    if (!m_open)
        return false;
    const Echo echo = line.startsWith(QLatin1Char('/')) ? Echo::None : Echo::Own;
    const Wire::Encoding encoding = m_encoding();
    m_queue.setEncoding(encoding);
    for (const QString &piece : MessageSplitter::split(line, encoding))
        m_queue.enqueue(piece, echo);
    return true;
}

void Outbox::cancelWaiting()
{
    reportUnsent(m_queue.cancel(), QStringLiteral("Cancelled: "));
}

// The queue lets a line go: it is written now and shown now, as the text of
// the bytes that left, not as it was typed.
void Outbox::leave(const QString &line, Echo echo)
{
    QString sent;
    if (m_write(line, &sent) && echo == Echo::Own)
        OwnLineEcho::show(m_upper, m_ownName, sent);
}

void Outbox::reportUnsent(int lines, const QString &why)
{
    if (lines <= 0)
        return;
    m_upper.AddText(why + (lines == 1 ? QStringLiteral("1 waiting line was not sent.")
                                      : QStringLiteral("%1 waiting lines were not sent.").arg(lines))
                        + CrLf,
                    Colors::Red);
}
