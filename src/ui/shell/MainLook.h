#pragma once
// The main window's fixed look: black background, grey text, small Tahoma,
// teal buttons and dark grey lines. Where Tahoma or News Gothic MT are
// missing a close sans-serif stands in.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

class QFrame;
class QLabel;
class QWidget;

namespace MainLook {

inline const QColor Background = QColor(0x00, 0x00, 0x00);
inline const QColor Text = QColor(0x80, 0x80, 0x80);
inline const QColor Label1Text = QColor(0x00, 0x40, 0x40);
inline const QColor Line = QColor(0x40, 0x40, 0x40);
inline const QColor Button = QColor(0x00, 0x80, 0x80);

// Tahoma 8.25 pt.
QFont defaultFont();
// Tahoma in another size.
QFont tahoma(qreal points);
// "News Gothic MT" 20.25 pt.
QFont label2Font();

QPalette palette();
// Rules for the main window's own elements, addressed by their names, so
// that dialogs opened over the window keep their own look.
QString styleSheet();

// A label of plain text (never markup) in a colour and font of its own.
QLabel *textLabel(const QString &text, const QString &name, const QColor &color, const QFont &font,
                  QWidget *parent);

// A #404040 line; the pointer passes through it to the background.
QFrame *decorativeLine(QWidget *parent);

} // namespace MainLook
