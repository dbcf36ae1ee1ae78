#pragma once
// The one look of every control in Quillon, matching the main window: black
// background, grey text, teal buttons and dark grey lines. Each control shows
// its state in these colours: a check box's empty square is outlined, a
// ticked one is teal with a black tick; a radio button likewise; menus, tool
// tips, message boxes, spin boxes, combo boxes and scroll bars are dark with
// a teal selection. Controls are addressed by their kind only, so that the
// main window's named rules (see MainLook) come on top.

#include <QPalette>
#include <QString>

class QWidget;

namespace DialogStyle {

// Black window, grey text, teal buttons and selection; also the tool tips'.
QPalette palette();
// The rules for every kind of control.
QString controlsSheet();

// Gives a dialog (or any top-level window) the palette and the rules.
void apply(QWidget *dialog);
// The whole application: the Fusion style under the palette and the rules,
// so that windows without a parent (message boxes, file dialogs, tool tips)
// look the same.
void applyToApplication();

} // namespace DialogStyle
