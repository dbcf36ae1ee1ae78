#include "ChatLog.h"
#include "TranscriptSink.h"

#include "TimeStamp.h"
#include "codec/Wire.h"

#include <QLocale>
#include <QSaveFile>

namespace ChatLog {

QString withLogExtension(const QString &name)
{
    return name.endsWith(Extension, Qt::CaseSensitive) ? name : name + Extension;
}

QString savedOnLine(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    return QStringLiteral("Log saved on ") + locale.toString(when.date(), QLocale::ShortFormat)
         + QStringLiteral(" at ") + locale.toString(when.time(), TimeStamp::timeFormat());
}

QByteArray build(const QStringList &users, const QString &chatText, const QString &savedOn,
                 const Wire::Encoding &encoding)
{
    QString text;
    text.reserve(chatText.size() + 256);
    text += QStringLiteral("Quillon v2.2") + CrLf;
    text += CrLf;
    text += savedOn + CrLf;
    text += CrLf;
    text += QStringLiteral("Users in channel:") + CrLf;
    for (const QString &user : users)
        text += user + CrLf;
    text += CrLf;
    text += QStringLiteral("Chat text:") + CrLf;
    text += chatText + CrLf;
    return Wire::encodeText(text, encoding).bytes;
}

bool write(const QString &path, const QByteArray &bytes, QString *errorText)
{
    QSaveFile file(path);
    // A folder that refuses new files still lets an existing, writable log
    // be rewritten in place, without the safety of the side file.
    file.setDirectWriteFallback(true);
    // The log holds whispers: readable by its owner only, also when it
    // replaces a file others could read. A file of someone else's that is
    // rewritten in place keeps its mode, which only its owner may change.
    const bool opened = file.open(QIODevice::WriteOnly);
    if (opened)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool ok = opened && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && errorText)
        *errorText = file.errorString();
    return ok;   // an uncommitted QSaveFile removes its temporary file
}

} // namespace ChatLog
