#pragma once
// A main window under test: both settings stores and the data folder (the
// daily log's) in a fresh temporary folder, the local gateway as the only
// server, auto-reconnect and the daily log off, and every prompt answered
// by the test instead of a modal box. The log stays off unless a test turns
// it on. No window test turns on QStandardPaths' test mode: it would put the
// data folder under the home folder, where a day's log one run wrote would
// show in the next run's window as the day's earlier talk.

#include "settings/Registry.h"
#include "settings/UserFile.h"
#include "shell/ShellPrompts.h"

#include <QTemporaryDir>
#include <QTest>

class ShellProfile
{
public:
    ShellProfile()
    {
        Registry::setFoldersForTesting(m_dir.filePath(QStringLiteral("machine")), m_dir.filePath(QStringLiteral("user")));
        Registry::WriteRegString(Registry::Hive::LocalMachine,
                                 QStringLiteral("Software\\Battle.net\\Configuration"),
                                 QStringLiteral("Server List"), QStringLiteral("127.0.0.1"));
        put(QStringLiteral("Server"), QStringLiteral("127.0.0.1"));
        put(QStringLiteral("AutoReconnect"), QStringLiteral("0"));
        put(QStringLiteral("ContinuousLog"), QStringLiteral("0"));
        // Each profile points it at its own folder (it is not put back).
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
    }
    ~ShellProfile() { Registry::setFoldersForTesting(QString(), QString()); }

    static void put(const QString &name, const QString &text)
    {
        Registry::WriteRegString(Registry::Hive::LocalMachine, UserFile::SubKey, name, text);
    }
    static QString stored(const QString &name)
    {
        return Registry::ReadRegString(Registry::Hive::LocalMachine, UserFile::SubKey, name);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Prompts that answer from these fields and record what was asked.
    ShellPrompts prompts()
    {
        ShellPrompts p;
        p.confirmExit = [this](QWidget *) { return ++exitQuestions, answerYes; };
        p.askLogFileName = [this](QWidget *) { return ++fileDialogs, chosenName; };
        p.inform = [this](QWidget *, const QString &text) { boxes << text; };
        p.now = [] { return QDateTime(QDate(2024, 3, 5), QTime(15, 4, 5)); };
        p.dragWindow = [this](QWidget *window) { drags << window; };
        p.openUrl = [](const QUrl &) { return true; };
        return p;
    }

    bool answerYes = false;
    int exitQuestions = 0;
    QString chosenName;
    int fileDialogs = 0;
    QStringList boxes;
    QList<QWidget *> drags;

private:
    QTemporaryDir m_dir;
};
