#include "OutgoingMenus.h"

#include "outgoing/RosterCommands.h"
#include "outgoing/SendPath.h"

#include <QAction>
#include <QMenu>

namespace {

template<typename Target>
void addItem(QMenu *menu, const char *objectName, const QString &caption, Target *target,
             void (Target::*slot)())
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    QObject::connect(action, &QAction::triggered, target, slot);
}

} // namespace

namespace OutgoingMenus {

QMenu *createSndMenu(SendPath &path, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("sndMenu"));
    addItem(menu, "mHex", QStringLiteral("&Hex"), &path, &SendPath::hexSend);
    addItem(menu, "mNorm", QStringLiteral("&Normal"), &path, &SendPath::Send);
    return menu;
}

QMenu *createLstMenu(RosterCommands &commands, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("lstMenu"));
    addItem(menu, "mWhois", QStringLiteral("&Whois"), &commands, &RosterCommands::whois);
    addItem(menu, "mSquelch", QStringLiteral("&Squelch"), &commands, &RosterCommands::squelch);
    addItem(menu, "mUnsquelch", QStringLiteral("&Unsquelch"), &commands, &RosterCommands::unsquelch);
    addItem(menu, "mWhisper", QStringLiteral("W&hisper"), &commands, &RosterCommands::whisper);
    addItem(menu, "mBan", QStringLiteral("&Ban"), &commands, &RosterCommands::ban);
    addItem(menu, "mKick", QStringLiteral("&Kick"), &commands, &RosterCommands::kick);
    addItem(menu, "mCpyName", QStringLiteral("&Copy Name"), &commands, &RosterCommands::copyName);
    return menu;
}

} // namespace OutgoingMenus
