#pragma once
// The accounts that may log on when the gateway is given an accounts file:
// one "name:password" a line; blank lines and lines starting with "#" are
// skipped. Names compare without regard to case, passwords exactly.

#include <QHash>
#include <QString>

namespace gateway {

class Accounts
{
public:
    // Reads the file; false with a message naming the file and line on failure.
    bool load(const QString &path, QString *errorMessage);
    // Reads accounts from text, as in a file.
    bool parse(const QByteArray &text, const QString &origin, QString *errorMessage);

    bool isEmpty() const { return m_passwords.isEmpty(); }
    int size() const { return int(m_passwords.size()); }
    bool check(const QString &name, const QString &password) const;
    bool contains(const QString &name) const { return m_passwords.contains(name.toLower()); }

private:
    QHash<QString, QString> m_passwords;  // key: name in lower case
};

} // namespace gateway
