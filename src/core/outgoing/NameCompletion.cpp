#include "NameCompletion.h"

std::optional<NameCompletion::Result> NameCompletion::complete(const QString &text, qsizetype cursor,
                                                               const QStringList &names)
{
    const bool again = !m_matches.isEmpty() && text == m_last.text && cursor == m_last.cursor;
    if (again) {
        m_index = (m_index + 1) % m_matches.size();
    } else {
        m_matches.clear();
        cursor = qBound(qsizetype(0), cursor, text.size());
        qsizetype start = cursor;
        while (start > 0 && !text.at(start - 1).isSpace())
            --start;
        const QStringView word = QStringView(text).mid(start, cursor - start);
        if (word.isEmpty())
            return std::nullopt;
        for (const QString &name : names) {
            if (name.startsWith(word, Qt::CaseInsensitive))
                m_matches.append(name);
        }
        if (m_matches.isEmpty())
            return std::nullopt;
        m_index = 0;
        m_before = text.left(start);
        m_after = text.mid(cursor);
    }
    QString name = m_matches.at(m_index);
    if (m_before.isEmpty())
        name += QLatin1String(", ");
    m_last.text = m_before + name + m_after;
    m_last.cursor = m_before.size() + name.size();
    return m_last;
}
