#include "InputLine.h"

#include <QKeyEvent>
#include <QLineEdit>

InputLine::InputLine(QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("txtSend"));
    setEditable(true);
    // Enter must not file the line by itself, and typing must send what was
    // typed, not an inline completion taken from the history.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(true);

    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_cursor >= count())
            m_draft.clear();
        m_cursor = index;
    });
}

void InputLine::appendHistory(const QString &line)
{
    const QString typed = editText();
    addItem(line);
    // Adding to an empty list selects the entry and copies it into the edit
    // text; the list only records, so undo that.
    setCurrentIndex(-1);
    setEditText(typed);
    m_cursor = count();
    m_draft.clear();
}

QStringList InputLine::history() const
{
    QStringList lines;
    lines.reserve(count());
    for (int i = 0; i < count(); ++i)
        lines.append(itemText(i));
    return lines;
}

void InputLine::clearHistory()
{
    clear();
    clearEditText();
    m_cursor = 0;
    m_draft.clear();
}

void InputLine::showEntry(int index)
{
    setCurrentIndex(index);
    // Re-selecting the current index does not refresh an edited text.
    setEditText(itemText(index));
}

void InputLine::recallOlder()
{
    if (count() == 0)
        return;
    if (m_cursor >= count()) {
        m_draft = editText();
        m_cursor = count();
    }
    if (m_cursor > 0)
        --m_cursor;
    showEntry(m_cursor);
}

void InputLine::recallNewer()
{
    if (m_cursor >= count())
        return;
    ++m_cursor;
    if (m_cursor < count()) {
        showEntry(m_cursor);
        return;
    }
    setCurrentIndex(-1);
    setEditText(m_draft);
}

bool InputLine::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier && m_names && !editText().isEmpty()) {
            const auto done = m_completion.complete(editText(), lineEdit()->cursorPosition(), m_names());
            if (done) {
                lineEdit()->setText(done->text);
                lineEdit()->setCursorPosition(int(done->cursor));
            }
            key->accept();
            return true;
        }
    }
    return QComboBox::event(event);
}

void InputLine::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit sendRequested();
        return;
    case Qt::Key_E:
        if (mods == Qt::ControlModifier) {
            event->accept();
            clearHistory();
            return;
        }
        break;
    case Qt::Key_Up:
        if (mods == Qt::NoModifier) {
            event->accept();
            recallOlder();
            return;
        }
        break;
    case Qt::Key_Down:
        if (mods == Qt::NoModifier) {
            event->accept();
            recallNewer();
            return;
        }
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(event);
}
