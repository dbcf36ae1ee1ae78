#pragma once
// Tab completion of user names in the input line. The word before the
// cursor is completed from the roster's names: those that start with it in
// any case, in roster order. Tab again, with nothing typed in between,
// puts the next of those names in its place, round and round. A name that
// opens the line is followed by ", ".

#include <QString>
#include <QStringList>

#include <optional>

class NameCompletion
{
public:
    struct Result {
        QString text;
        qsizetype cursor = 0;
    };

    // Tab pressed in text with the cursor at cursor. Nothing when no name
    // fits (or the word before the cursor is empty).
    std::optional<Result> complete(const QString &text, qsizetype cursor, const QStringList &names);

private:
    QStringList m_matches;   // of the completion being cycled
    qsizetype m_index = 0;
    QString m_before;        // the text before the word being completed
    QString m_after;         // the text after the cursor
    Result m_last;           // what the last Tab left in the line
};
