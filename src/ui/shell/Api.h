#pragma once
// Window moving for the borderless main window.

class QWidget;

namespace API {

// Lets go of any mouse capture and hands the window to the window system's
// own move, as if its title bar had been grabbed, until the left button is
// released. Where the platform refuses a system move the window follows the
// pointer by hand instead.
void DragWindow(QWidget *window);

} // namespace API
