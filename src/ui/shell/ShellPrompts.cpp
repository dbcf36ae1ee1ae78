#include "ShellPrompts.h"

#include "Api.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

bool askExit(QWidget *parent)
{
    QMessageBox box(QMessageBox::NoIcon, ShellPrompts::BoxTitle, ShellPrompts::ExitQuestion,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString askFileName(QWidget *parent)
{
    // No filter and no default suffix: the ".log" rule applies afterwards.
    return QFileDialog::getSaveFileName(parent, ShellPrompts::SaveLogTitle, ShellPrompts::logStartFolder());
}

void showInformation(QWidget *parent, const QString &text)
{
    // The texts carry CR LF pairs; the box wants bare line feeds.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::Information, ShellPrompts::BoxTitle, shown, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

QString ShellPrompts::logStartFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

ShellPrompts ShellPrompts::standard()
{
    ShellPrompts p;
    p.confirmExit = askExit;
    p.askLogFileName = askFileName;
    p.inform = showInformation;
    p.now = [] { return QDateTime::currentDateTime(); };
    p.dragWindow = API::DragWindow;
    p.openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return p;
}

ShellPrompts ShellPrompts::completed() const
{
    const ShellPrompts fallback = standard();
    ShellPrompts p = *this;
    if (!p.confirmExit)
        p.confirmExit = fallback.confirmExit;
    if (!p.askLogFileName)
        p.askLogFileName = fallback.askLogFileName;
    if (!p.inform)
        p.inform = fallback.inform;
    if (!p.now)
        p.now = fallback.now;
    if (!p.dragWindow)
        p.dragWindow = fallback.dragWindow;
    if (!p.openUrl)
        p.openUrl = fallback.openUrl;
    return p;
}
