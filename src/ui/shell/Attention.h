#pragma once
// Lines that address the user while the window is not active: they are
// counted until the window is activated again, the count stands in front of
// the title, and each one may become a desktop notification, whose text is
// built here. Plain, so tests need no window.

#include <QString>

class Attention
{
public:
    // Received text in a notification is cut after this many characters.
    static constexpr int MaxTextLength = 200;
    static constexpr int MaxNameLength = 40;

    struct Notice
    {
        QString title;   // who
        QString body;    // what
    };

    // An alert arrived while the window was not active.
    void addUnseen() { ++m_unseen; }
    // The window was activated.
    void clear() { m_unseen = 0; }
    int unseen() const { return m_unseen; }

    // The window title: base, with "(N) " in front while N alerts are unseen.
    QString title(const QString &base) const;

    // The notification for a line from `from`. Notification servers may take
    // a subset of HTML in the text, so both parts lose their control
    // characters, are cut short and then escaped: received text never
    // becomes markup.
    static Notice notice(const QString &from, const QString &text);

private:
    int m_unseen = 0;
};
