#pragma once
// The pop-up menus of the outgoing side. The main window pops `sndMenu` at
// the pointer when `cmdSend` is clicked and `lstMenu` when the right mouse
// button is used on the roster.

class QMenu;
class QWidget;
class RosterCommands;
class SendPath;

namespace OutgoingMenus {

// "&Hex" (mHex) above "&Normal" (mNorm).
QMenu *createSndMenu(SendPath &path, QWidget *parent);

// "&Whois", "&Squelch", "&Unsquelch", "W&hisper", "&Ban", "&Kick",
// "&Copy Name" (mWhois ... mCpyName).
QMenu *createLstMenu(RosterCommands &commands, QWidget *parent);

} // namespace OutgoingMenus
