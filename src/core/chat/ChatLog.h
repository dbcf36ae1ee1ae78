#pragma once
// The chat log file: a header with the date and time, the users in the
// channel and the whole text of the upper pane, as CR LF lines in the
// chosen text encoding (a character a code page lacks is saved as "?"). The file is written beside its old version and takes
// its place only when every byte is down, so a failure part-way never
// leaves a broken or emptied log behind. Only where the folder refuses new
// files is an existing, writable log rewritten in place. The file is
// readable and writable by its owner only (mode 0600).

#include "codec/Wire.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace ChatLog {

inline const QString Extension = QStringLiteral(".log");

// name with ".log" appended unless it ends in exactly ".log" (case counts).
QString withLogExtension(const QString &name);

// "Log saved on " + the system's short date + " at " + its time of day.
QString savedOnLine(const QDateTime &when);

// The whole file: header, the date line, one line per user, "Chat text:",
// then chatText (whose own CR LF line ends stay) and one CR LF.
QByteArray build(const QStringList &users, const QString &chatText, const QString &savedOn,
                 const Wire::Encoding &encoding);

// Writes bytes to path, replacing the file only when all of it was written
// (in place when no new file can be made beside it). On failure errorText
// says why.
bool write(const QString &path, const QByteArray &bytes, QString *errorText = nullptr);

} // namespace ChatLog
