#include "DialogStyle.h"

#include <QWidget>

namespace DialogStyle {

void apply(QWidget *dialog)
{
    dialog->setStyleSheet(QStringLiteral(
        "QDialog { background: #000000; color: #808080; }"
        "QLabel, QCheckBox { color: #808080; background: transparent; }"
        "QLineEdit, QComboBox, QSpinBox { background: #000000; color: #808080; border: 1px solid #404040;"
        "  selection-background-color: #404040; }"
        "QComboBox QAbstractItemView { background: #000000; color: #808080; }"
        "QLineEdit { lineedit-password-character: 42; }"   // passwords show "*"
        "QPushButton { background: #008080; color: #000000; border: 1px solid #404040;"
        "  padding: 3px 12px; }"
        "QPushButton:focus { border: 1px solid #808080; }"
        "QScrollBar:vertical { background: #202020; width: 16px; }"));
}

} // namespace DialogStyle
