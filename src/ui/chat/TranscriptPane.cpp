#include "TranscriptPane.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A transcript keeps its text in a few arrays that double as they grow. The
// C library raises its threshold for giving big blocks their own pages after
// the first such block is freed; from then on a doubling may copy the
// whole transcript in one go, which freezes the window for tens of
// milliseconds in a long session. A fixed threshold keeps big blocks in
// their own pages, where growing them moves no bytes.
void keepBigBlocksInOwnPages()
{
#ifdef __GLIBC__
    static const bool done = mallopt(M_MMAP_THRESHOLD, 256 * 1024) != 0;
    Q_UNUSED(done);
#endif
}

} // namespace

TranscriptPane::TranscriptPane(const QString &menuName, const QString &clearName, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_menu(new QMenu(this))
{
    keepBigBlocksInOwnPages();
    setReadOnly(true);
    setUndoRedoEnabled(false);   // a transcript is never undone; an undo stack would double its memory
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setContextMenuPolicy(Qt::DefaultContextMenu);

    m_menu->setObjectName(menuName);
    QAction *clear = m_menu->addAction(tr("&Clear"));
    clear->setObjectName(clearName);
    connect(clear, &QAction::triggered, this, &TranscriptPane::clearPane);

    m_end = QTextCursor(document());
}

void TranscriptPane::AddText(const QString &txt, QRgb color)
{
    // Any selection the user made is dropped; the caret stays at the end.
    // The end cursor marks the end, so a caret on it needs no further look;
    // asking a cursor whether it is at the end walks the document's fragment
    // tree, which in a long transcript costs a good part of an append.
    QTextCursor caret = textCursor();
    const bool caretOnEnd = !caret.hasSelection() && caret.position() == m_end.position();
    if (!caretOnEnd && (caret.hasSelection() || !caret.atEnd())) {
        // Moving the caret asks the layout, which must know every append.
        if (m_batchDepth > 0)
            m_end.endEditBlock();
        caret.movePosition(QTextCursor::End);
        setTextCursor(caret);
        if (m_batchDepth > 0)
            m_end.beginEditBlock();
    }
    if (txt.isEmpty())
        return;
    m_format.setForeground(QColor::fromRgb(color));
    // The caret stands at the end now. Moving a cursor lays out its line
    // first, and the end cursor is nearly always there already, since each
    // insert leaves it there.
    if (m_end.position() != caret.position())
        m_end.movePosition(QTextCursor::End);
    m_end.insertText(txt, m_format);
    scrollToEndLater();
}

// One edit block for the whole batch: the document is laid out once when it
// ends, not after every run (a talk line is four runs).
void TranscriptPane::beginBatch()
{
    if (m_batchDepth++ == 0)
        m_end.beginEditBlock();
}

void TranscriptPane::endBatch()
{
    if (m_batchDepth == 0)
        return;
    if (--m_batchDepth == 0)
        m_end.endEditBlock();
}

void TranscriptPane::clearPane()
{
    // The document is rebuilt empty; an open batch goes on in the new one.
    if (m_batchDepth > 0)
        m_end.endEditBlock();
    clear();
    m_end = QTextCursor(document());
    if (m_batchDepth > 0)
        m_end.beginEditBlock();
}

QString TranscriptPane::plainTextCrLf() const
{
    // The raw text: the widget's plain text would turn a no-break space
    // (byte 0xA0) into a blank in the log file.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

void TranscriptPane::setFontPointSize(int points)
{
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
    document()->setDefaultFont(f);
}

int TranscriptPane::fontPointSize() const
{
    return font().pointSize();
}

void TranscriptPane::mousePressEvent(QMouseEvent *event)
{
    // Only the right button alone opens the menu.
    if (event->buttons() == Qt::RightButton) {
        m_menu->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void TranscriptPane::contextMenuEvent(QContextMenuEvent *event)
{
    // Mouse menus come from mousePressEvent; the keyboard's menu key opens it here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        m_menu->popup(event->globalPos());
    event->accept();
}

// Scrolling once per turn of the event loop keeps a flood of appends cheap.
void TranscriptPane::scrollToEndLater()
{
    if (m_scrollQueued)
        return;
    m_scrollQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollQueued = false;
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    });
}
