#include "DialogStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

namespace DialogStyle {

QPalette palette()
{
    const QColor black(0x00, 0x00, 0x00);
    const QColor grey(0x80, 0x80, 0x80);
    const QColor light(0xC0, 0xC0, 0xC0);
    const QColor line(0x40, 0x40, 0x40);
    const QColor teal(0x00, 0x80, 0x80);
    QPalette p;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        p.setColor(group, QPalette::Window, black);
        p.setColor(group, QPalette::WindowText, off ? line : grey);
        p.setColor(group, QPalette::Base, black);
        p.setColor(group, QPalette::AlternateBase, QColor(0x10, 0x10, 0x10));
        p.setColor(group, QPalette::Text, off ? line : light);
        p.setColor(group, QPalette::PlaceholderText, line);
        p.setColor(group, QPalette::Button, off ? line : teal);
        p.setColor(group, QPalette::ButtonText, black);
        p.setColor(group, QPalette::BrightText, QColor(0xFF, 0x40, 0x40));
        p.setColor(group, QPalette::Highlight, teal);
        p.setColor(group, QPalette::HighlightedText, black);
        p.setColor(group, QPalette::ToolTipBase, black);
        p.setColor(group, QPalette::ToolTipText, light);
        p.setColor(group, QPalette::Link, QColor(0x00, 0xC0, 0xC0));
        p.setColor(group, QPalette::LinkVisited, teal);
        // The edges Fusion draws around frames and boxes: visible on black.
        p.setColor(group, QPalette::Light, QColor(0x60, 0x60, 0x60));
        p.setColor(group, QPalette::Midlight, QColor(0x50, 0x50, 0x50));
        p.setColor(group, QPalette::Mid, line);
        p.setColor(group, QPalette::Dark, QColor(0x30, 0x30, 0x30));
        p.setColor(group, QPalette::Shadow, QColor(0x20, 0x20, 0x20));
    }
    return p;
}

QString controlsSheet()
{
    return QStringLiteral(
        "QDialog, QMessageBox { background: #000000; color: #808080; }"
        "QLabel { color: #808080; background: transparent; }"
        // Check boxes and radio buttons: an outlined square or circle, teal
        // with a tick or a dot when on, dim when disabled, a teal edge with focus.
        "QCheckBox, QRadioButton { color: #808080; background: transparent; spacing: 6px; }"
        "QCheckBox:disabled, QRadioButton:disabled { color: #404040; }"
        "QCheckBox::indicator, QRadioButton::indicator { width: 12px; height: 12px;"
        "  background: #000000; border: 1px solid #808080; }"
        "QRadioButton::indicator { border-radius: 7px; }"
        "QCheckBox::indicator:focus, QRadioButton::indicator:focus { border: 1px solid #00C0C0; }"
        "QCheckBox::indicator:hover, QRadioButton::indicator:hover { border: 1px solid #C0C0C0; }"
        "QCheckBox::indicator:checked { background: #008080; image: url(:/look/check.svg); }"
        "QCheckBox::indicator:indeterminate { background: #004040; }"
        "QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5,"
        "  fx:0.5, fy:0.5, stop:0 #008080, stop:0.55 #008080, stop:0.65 #000000); }"
        "QCheckBox::indicator:disabled, QRadioButton::indicator:disabled { border: 1px solid #404040; }"
        "QCheckBox::indicator:checked:disabled { background: #202020; image: url(:/look/check-disabled.svg); }"
        // Fields, spin boxes and combo boxes: black, a grey edge, teal with focus.
        "QLineEdit, QComboBox, QAbstractSpinBox, QPlainTextEdit, QTextEdit, QAbstractItemView {"
        "  background: #000000; color: #C0C0C0; border: 1px solid #404040;"
        "  selection-background-color: #008080; selection-color: #000000; }"
        "QLineEdit, QComboBox, QAbstractSpinBox { padding: 1px 3px; }"
        "QLineEdit:focus, QComboBox:focus, QAbstractSpinBox:focus { border: 1px solid #008080; }"
        "QLineEdit:disabled, QComboBox:disabled, QAbstractSpinBox:disabled { color: #404040; }"
        "QLineEdit { lineedit-password-character: 42; }"   // passwords show "*"
        "QComboBox::drop-down { subcontrol-origin: padding; subcontrol-position: top right; width: 14px;"
        "  background: #008080; border-left: 1px solid #004040; }"
        "QComboBox::down-arrow { image: url(:/look/down.svg); width: 8px; height: 5px; }"
        "QComboBox QAbstractItemView { background: #000000; color: #C0C0C0; border: 1px solid #404040;"
        "  selection-background-color: #008080; selection-color: #000000; }"
        "QAbstractSpinBox::up-button, QAbstractSpinBox::down-button { subcontrol-origin: border;"
        "  width: 14px; background: #008080; border-left: 1px solid #004040; }"
        "QAbstractSpinBox::up-button { subcontrol-position: top right; }"
        "QAbstractSpinBox::down-button { subcontrol-position: bottom right; }"
        "QAbstractSpinBox::up-button:pressed, QAbstractSpinBox::down-button:pressed { background: #006868; }"
        "QAbstractSpinBox::up-arrow { image: url(:/look/up.svg); width: 8px; height: 5px; }"
        "QAbstractSpinBox::down-arrow { image: url(:/look/down.svg); width: 8px; height: 5px; }"
        "QAbstractSpinBox::up-arrow:disabled, QAbstractSpinBox::up-arrow:off,"
        "QAbstractSpinBox::down-arrow:disabled, QAbstractSpinBox::down-arrow:off { image: none; }"
        // Buttons: flat teal, a dotted light edge shows keyboard focus.
        "QPushButton, QToolButton { background: #008080; color: #000000; border: 1px solid #004040;"
        "  padding: 3px 12px; }"
        "QPushButton:focus, QToolButton:focus { border: 1px dotted #C0C0C0; }"
        "QPushButton:pressed, QToolButton:pressed { background: #006868; }"
        "QPushButton:disabled, QToolButton:disabled { background: #203030; color: #404040; }"
        "QPushButton:default { border: 1px solid #00C0C0; }"
        // Menus and tool tips: black, a teal row under the pointer or the keys.
        "QMenu { background: #000000; color: #C0C0C0; border: 1px solid #404040; padding: 2px; }"
        "QMenu::item { padding: 3px 20px 3px 12px; background: transparent; }"
        "QMenu::item:selected { background: #008080; color: #000000; }"
        "QMenu::item:disabled { color: #404040; }"
        "QMenu::separator { height: 1px; background: #404040; margin: 3px 6px; }"
        "QToolTip { background: #000000; color: #C0C0C0; border: 1px solid #008080; padding: 2px; }"
        // Slim dark scroll bars with a grey handle.
        "QScrollBar:vertical { background: #000000; width: 10px; margin: 0; border: none; }"
        "QScrollBar:horizontal { background: #000000; height: 10px; margin: 0; border: none; }"
        "QScrollBar::handle:vertical { background: #505050; min-height: 24px; border-radius: 4px; }"
        "QScrollBar::handle:horizontal { background: #505050; min-width: 24px; border-radius: 4px; }"
        "QScrollBar::handle:hover { background: #707070; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; border: none; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }"
        "QSlider::groove:horizontal { height: 4px; background: #404040; }"
        "QSlider::groove:vertical { width: 4px; background: #404040; }"
        "QSlider::handle { background: #008080; border: 1px solid #00C0C0; width: 10px; height: 10px;"
        "  margin: -4px; border-radius: 5px; }"
        "QSlider::handle:focus { border: 1px dotted #C0C0C0; }"
        "QTabWidget::pane { border: 1px solid #404040; }"
        "QTabBar::tab { background: #000000; color: #808080; border: 1px solid #404040; padding: 3px 10px; }"
        "QTabBar::tab:selected { color: #C0C0C0; border-bottom-color: #008080; }"
        "QGroupBox { color: #808080; border: 1px solid #404040; margin-top: 8px; padding-top: 4px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 3px; }");
}

void apply(QWidget *dialog)
{
    dialog->setPalette(palette());
    dialog->setStyleSheet(controlsSheet());
}

void applyToApplication()
{
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setPalette(palette());
    qApp->setStyleSheet(controlsSheet());
}

} // namespace DialogStyle
