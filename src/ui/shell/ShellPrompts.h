#pragma once
// Everything the main window asks of the user or of the desktop, in one
// place: the modal boxes, the save dialog, the clock, the window move and
// the browser. The window takes them as functions so that tests answer
// without modal boxes; any function left empty gets the standard one.

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

struct ShellPrompts
{
    static inline const QString BoxTitle = QStringLiteral("Quillon 2.2");
    static inline const QString ExitQuestion = QStringLiteral("Are you sure you want to exit?");
    static inline const QString SaveLogTitle = QStringLiteral("Save Chat Log");

    // The Yes/No exit question; true for Yes.
    std::function<bool(QWidget *parent)> confirmExit;
    // The save dialog for the log file; empty on Cancel.
    std::function<QString(QWidget *parent)> askLogFileName;
    // An information box titled BoxTitle with one OK button.
    std::function<void(QWidget *parent, const QString &text)> inform;
    std::function<QDateTime()> now;
    std::function<void(QWidget *window)> dragWindow;
    // Hands the address to the desktop's browser without waiting for it.
    std::function<bool(const QUrl &url)> openUrl;

    static ShellPrompts standard();
    // This set with every empty function taken from standard().
    ShellPrompts completed() const;

    // Where the save dialog starts: "C:\" on Windows, the home folder elsewhere.
    static QString logStartFolder();
};
