#include "Accounts.h"

#include "WireBytes.h"

#include <QFile>

namespace gateway {

bool Accounts::load(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = QStringLiteral("cannot read the accounts file %1: %2").arg(path, file.errorString());
        return false;
    }
    return parse(file.readAll(), path, errorMessage);
}

bool Accounts::parse(const QByteArray &text, const QString &origin, QString *errorMessage)
{
    QHash<QString, QString> passwords;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const qsizetype colon = line.indexOf(':');
        const QString name = trimmedBlanks(fromWire(line.left(colon)));
        if (colon < 0 || name.isEmpty()) {
            if (errorMessage)
                *errorMessage = QStringLiteral("%1 line %2: expected name:password").arg(origin).arg(i + 1);
            return false;
        }
        passwords.insert(name.toLower(), fromWire(line.mid(colon + 1)));
    }
    m_passwords = passwords;
    return true;
}

bool Accounts::check(const QString &name, const QString &password) const
{
    const auto it = m_passwords.constFind(name.toLower());
    return it != m_passwords.constEnd() && *it == password;
}

} // namespace gateway
