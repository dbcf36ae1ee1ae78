#pragma once
// The dialogs' dark look, matching the main window: black background, grey
// text, teal buttons.

class QWidget;

namespace DialogStyle {
void apply(QWidget *dialog);
}
