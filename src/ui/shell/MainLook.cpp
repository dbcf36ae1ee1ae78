#include "MainLook.h"

#include "settings/DialogStyle.h"

#include <QFrame>
#include <QLabel>

namespace MainLook {

QFont tahoma(qreal points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QFont defaultFont()
{
    return tahoma(8.25);
}

QFont label2Font()
{
    QFont font;
    font.setFamilies({QStringLiteral("News Gothic MT"), QStringLiteral("News Gothic"),
                      QStringLiteral("Franklin Gothic Book"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(20.25);
    return font;
}

QPalette palette()
{
    // The controls' palette; the panes select in dark grey with white text.
    QPalette p = DialogStyle::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, Text);
        p.setColor(group, QPalette::AlternateBase, Background);
        p.setColor(group, QPalette::Highlight, Line);
        p.setColor(group, QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
    }
    return p;
}

QString styleSheet()
{
    // Every control's look first (the menus, message boxes and tool tips
    // opened over the window take it from here), then the window's own.
    return DialogStyle::controlsSheet() + QStringLiteral(
        // The six buttons: flat teal, a dotted edge shows keyboard focus.
        "QPushButton#cmdConnect, QPushButton#cmdSend, QPushButton#cmdOptions,"
        "QPushButton#cmdAbout, QPushButton#cmdSaveLog, QPushButton#cmdExit {"
        "  background: #008080; color: #000000; border: 1px solid #004040;"
        "  padding: 3px 10px; min-height: 16px; }"
        "QPushButton#cmdConnect:focus, QPushButton#cmdSend:focus, QPushButton#cmdOptions:focus,"
        "QPushButton#cmdAbout:focus, QPushButton#cmdSaveLog:focus, QPushButton#cmdExit:focus {"
        "  border: 1px dotted #C0C0C0; }"
        "QPushButton#cmdConnect:pressed, QPushButton#cmdSend:pressed, QPushButton#cmdOptions:pressed,"
        "QPushButton#cmdAbout:pressed, QPushButton#cmdSaveLog:pressed, QPushButton#cmdExit:pressed {"
        "  background: #006868; }"
        // Panes, roster and input line: black, framed in the lines' grey.
        "QPlainTextEdit#txtChat, QPlainTextEdit#txtChat2, QListView#lstUser {"
        "  background: #000000; border: 1px solid #404040;"
        "  selection-background-color: #404040; selection-color: #FFFFFF; }"
        "QPlainTextEdit#txtChat:focus, QPlainTextEdit#txtChat2:focus, QListView#lstUser:focus {"
        "  border: 1px solid #606060; }"
        "QComboBox#txtSend { background: #000000; color: #C0C0C0; border: 1px solid #404040;"
        "  padding: 2px 4px; selection-background-color: #404040; }"
        "QComboBox#txtSend:focus { border: 1px solid #008080; }"
        "QComboBox#txtSend QAbstractItemView { background: #000000; color: #C0C0C0;"
        "  selection-background-color: #404040; border: 1px solid #404040; }"
        // The find bar under the upper pane: a field like the input line, teal buttons.
        "#findBar QLabel { color: #808080; }"
        "#findBar QLineEdit { background: #000000; color: #C0C0C0; border: 1px solid #404040;"
        "  padding: 1px 3px; selection-background-color: #404040; }"
        "#findBar QLineEdit:focus { border: 1px solid #008080; }"
        "#findBar QToolButton { background: #008080; color: #000000; border: 1px solid #004040;"
        "  padding: 1px 8px; }"
        "#findBar QToolButton:pressed { background: #006868; }"
        // The count of lines held back, beside the input line.
        "QLabel#lblWaiting { color: #C0C0C0; background: #000000; padding: 0 4px; }"
        // The count of lines that came while the reader was scrolled up.
        "QPushButton#newLines { background: #008080; color: #000000; border: 1px solid #00C0C0;"
        "  border-radius: 3px; padding: 2px 10px; }"
        "QPushButton#newLines:focus { border: 1px dotted #C0C0C0; }"
        // Slim dark scroll bars.
        "#txtChat QScrollBar:vertical, #txtChat2 QScrollBar:vertical, #lstUser QScrollBar:vertical {"
        "  background: #000000; width: 10px; margin: 0; }"
        "#txtChat QScrollBar::handle:vertical, #txtChat2 QScrollBar::handle:vertical,"
        "#lstUser QScrollBar::handle:vertical { background: #303030; min-height: 24px; border-radius: 4px; }"
        "#txtChat QScrollBar::handle:vertical:hover, #txtChat2 QScrollBar::handle:vertical:hover,"
        "#lstUser QScrollBar::handle:vertical:hover { background: #505050; }"
        "#txtChat QScrollBar::add-line, #txtChat QScrollBar::sub-line,"
        "#txtChat2 QScrollBar::add-line, #txtChat2 QScrollBar::sub-line,"
        "#lstUser QScrollBar::add-line, #lstUser QScrollBar::sub-line { height: 0; width: 0; }"
        "#txtChat QScrollBar::add-page, #txtChat QScrollBar::sub-page,"
        "#txtChat2 QScrollBar::add-page, #txtChat2 QScrollBar::sub-page,"
        "#lstUser QScrollBar::add-page, #lstUser QScrollBar::sub-page { background: none; }");
}

QLabel *textLabel(const QString &text, const QString &name, const QColor &color, const QFont &font,
                  QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    return label;
}

QFrame *decorativeLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, Line);
    line->setPalette(p);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

} // namespace MainLook
