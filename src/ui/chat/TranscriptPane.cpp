#include "TranscriptPane.h"

#include "chat/RepaintPacer.h"

#include "chat/Colors.h"
#include "chat/LinkFinder.h"
#include "chat/TimeStamp.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// In a flood the pane is painted at most this often: about as often as a
// screen shows a new picture.
constexpr int PaintIntervalMs = 16;

// A transcript keeps its text in a few arrays that double as they grow. The
// C library raises its threshold for giving big blocks their own pages after
// the first such block is freed; from then on a doubling may copy the
// whole transcript in one go, which freezes the window for tens of
// milliseconds in a long session. A fixed threshold keeps the biggest blocks
// (a pane kept without a scrollback limit) in their own pages, where growing
// them moves no bytes.
// A bounded pane's text stays below it: the document compacts its text after
// the oldest lines left, every few thousand lines in a flood, into a new
// array the size of the whole text. In pages of its own that array is fresh
// memory each time, and touching it for the first time cost 10 to 13 ms in
// one go; from the heap, with freed memory kept there rather than handed
// back to the system at once, it costs about 1 ms.
void keepBigBlocksInOwnPages()
{
#ifdef __GLIBC__
    static const bool done = mallopt(M_MMAP_THRESHOLD, 8 * 1024 * 1024) != 0
                             && mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024) != 0;
    Q_UNUSED(done);
#endif
}

} // namespace

TranscriptPane::TranscriptPane(const QString &menuName, const QString &clearName, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_menu(new QMenu(this))
    , m_newLines(new QPushButton(this))
    , m_pacer(new RepaintPacer(this, PaintIntervalMs))
{
    keepBigBlocksInOwnPages();
    setReadOnly(true);
    setUndoRedoEnabled(false);   // a transcript is never undone; an undo stack would double its memory
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    viewport()->setMouseTracking(true);   // the pointing hand over addresses

    m_menu->setObjectName(menuName);
    QAction *clear = m_menu->addAction(tr("&Clear"));
    clear->setObjectName(clearName);
    connect(clear, &QAction::triggered, this, &TranscriptPane::clearPane);

    m_end = QTextCursor(document());
    // Addresses have the colour of their run; no target is stored with them,
    // so that a flood of different addresses adds no formats to the document.
    m_linkFormat.setAnchor(true);
    m_linkFormat.setFontUnderline(true);

    // Over the bottom of the view while lines came out of sight; not in the
    // Tab chain, since End does the same from the pane.
    m_newLines->setObjectName(QStringLiteral("newLines"));
    m_newLines->setFocusPolicy(Qt::NoFocus);
    m_newLines->setCursor(Qt::PointingHandCursor);
    m_newLines->setAccessibleName(tr("New lines below"));
    m_newLines->setToolTip(tr("Show the newest lines (End)"));
    m_newLines->hide();
    connect(m_newLines, &QPushButton::clicked, this, &TranscriptPane::followEnd);

    // The view follows the end until the user scrolls away from it, and
    // again once he scrolls back to it.
    QScrollBar *bar = verticalScrollBar();
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar] {
        m_follow = bar->sliderPosition() >= bar->maximum();
        showMarker();
    });
    connect(bar, &QAbstractSlider::valueChanged, this, [this, bar](int value) {
        if (value >= bar->maximum()) {
            m_follow = true;
            showMarker();
        }
    });
    // Lines that grow (a font-size change, a narrower pane) move the end
    // down; a following view goes with it.
    connect(bar, &QAbstractSlider::rangeChanged, this, [this] {
        if (m_follow)
            scrollToEndLater();
    });
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
        // Moving the caret also scrolls to it; a reader scrolled up stays.
        const bool follow = m_follow;
        const int unseen = m_unseen;
        const int top = verticalScrollBar()->value();
        caret.movePosition(QTextCursor::End);
        setTextCursor(caret);
        if (!follow) {
            scrollToLine(top);
            m_follow = false;
            m_unseen = unseen;
        }
        if (m_batchDepth > 0)
            m_end.beginEditBlock();
    }
    if (txt.isEmpty())
        return;
    auto format = m_formats.constFind(color);
    if (format == m_formats.cend()) {
        QTextCharFormat made;
        made.setForeground(QColor::fromRgb(color));
        format = m_formats.insert(color, made);
    }
    m_format = *format;
    // The caret stands at the end now. Moving a cursor lays out its line
    // first, and the end cursor is nearly always there already, since each
    // insert leaves it there.
    if (m_end.position() != caret.position())
        m_end.movePosition(QTextCursor::End);
    const int blocks = document()->blockCount();
    insertRun(txt);
    if (!m_follow && document()->blockCount() > blocks) {
        m_unseen += document()->blockCount() - blocks;
        showMarker();
    }
    if (m_markOpen && document()->blockCount() > blocks) {
        // New lines took the marked line's format with them.
        QTextCursor after(document()->findBlockByNumber(blocks));
        after.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        after.setBlockFormat(QTextBlockFormat());
        m_markOpen = false;
    }
    scrollToEndLater();
    m_pacer->changed();
    if (m_batchDepth == 0)
        trimScrollback();
}

// The run as plain text, its addresses underlined as anchors.
void TranscriptPane::insertRun(const QString &txt)
{
    const QList<LinkFinder::Span> links = LinkFinder::find(txt);
    if (links.isEmpty()) {
        m_end.insertText(txt, m_format);
        return;
    }
    m_linkFormat.setForeground(m_format.foreground());
    m_end.beginEditBlock();
    qsizetype at = 0;
    for (const LinkFinder::Span &link : links) {
        if (link.start > at)
            m_end.insertText(txt.mid(at, link.start - at), m_format);
        m_end.insertText(txt.mid(link.start, link.length), m_linkFormat);
        at = link.start + link.length;
    }
    if (at < txt.size())
        m_end.insertText(txt.mid(at), m_format);
    m_end.endEditBlock();
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
    if (--m_batchDepth == 0) {
        m_end.endEditBlock();
        trimScrollback();
    }
}

void TranscriptPane::clearPane()
{
    // The document is rebuilt empty; an open batch goes on in the new one.
    if (m_batchDepth > 0)
        m_end.endEditBlock();
    clear();
    m_end = QTextCursor(document());
    m_follow = true;
    m_markOpen = false;
    showMarker();
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
    const bool follow = m_follow;
    setFont(f);
    document()->setDefaultFont(f);
    if (follow) {
        m_follow = true;
        scrollToEndLater();
    }
}

int TranscriptPane::fontPointSize() const
{
    return font().pointSize();
}

void TranscriptPane::setScrollbackLimit(int lines)
{
    m_limit = lines;
    if (m_batchDepth == 0)
        trimScrollback();
}

// The oldest lines leave in one edit once the limit is exceeded by a tenth,
// so that a flood pays for the trimming only every so many lines. A reader
// scrolled up keeps the lines he reads in view.
void TranscriptPane::trimScrollback()
{
    QTextDocument *doc = document();
    const int lines = doc->blockCount() - 1;   // the last block is the line being written
    if (m_limit <= 0 || lines <= m_limit + m_limit / 10)
        return;
    const QTextBlock firstKept = doc->findBlockByNumber(lines - m_limit);
    const QTextBlockFormat keptFormat = firstKept.blockFormat();
    const int removedLines = firstKept.firstLineNumber();
    const int top = verticalScrollBar()->value();
    const bool follow = m_follow;
    const int unseen = m_unseen;
    QTextCursor cut(doc);
    cut.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    // The first block kept the removed first line's format (a mark).
    if (cut.blockFormat() != keptFormat)
        cut.setBlockFormat(keptFormat);
    scrollToLine(follow ? verticalScrollBar()->maximum() : qMax(0, top - removedLines));
    m_follow = follow;
    m_unseen = follow ? 0 : unseen;
    showMarker();
}

void TranscriptPane::markLastLine(Rgb background)
{
    QTextBlock line = document()->lastBlock();
    m_markOpen = line.length() > 1 || !line.previous().isValid();
    if (!m_markOpen)
        line = line.previous();
    QTextBlockFormat format;
    format.setBackground(QColor::fromRgb(background));
    QTextCursor(line).mergeBlockFormat(format);
}

void TranscriptPane::showPosition(int position)
{
    const QTextBlock block = document()->findBlock(position);
    int line = block.firstLineNumber();
    if (const QTextLayout *layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine inBlock = layout->lineForTextPosition(position - block.position());
        if (inBlock.isValid())
            line += inBlock.lineNumber();
    }
    m_follow = false;
    scrollToLine(qMax(0, line - verticalScrollBar()->pageStep() / 2));
}

// The view takes the line from the scroll bar even when the bar's value
// stays the same, as it does when lines above the view were removed.
void TranscriptPane::scrollToLine(int line)
{
    verticalScrollBar()->setValue(line);
    QPlainTextEdit::scrollContentsBy(0, 0);
}

QUrl TranscriptPane::linkAt(const QPoint &pos) const
{
    const QTextCursor hit = cursorForPosition(pos);
    const QTextBlock block = hit.block();
    // The hit stands between two characters; the one under the point is
    // the one after it unless the point lies left of it.
    int offset = hit.position() - block.position();
    if (offset > 0 && pos.x() < cursorRect(hit).left())
        --offset;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = fragment.position() - block.position();
        if (offset >= start && offset < start + fragment.length())
            return fragment.charFormat().isAnchor() ? LinkFinder::target(fragment.text()) : QUrl();
    }
    return {};
}

void TranscriptPane::mousePressEvent(QMouseEvent *event)
{
    // Only the right button alone opens the menu.
    if (event->buttons() == Qt::RightButton) {
        m_menu->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    m_pressedLink = event->button() == Qt::LeftButton ? linkAt(event->position().toPoint()) : QUrl();
    QPlainTextEdit::mousePressEvent(event);
}

void TranscriptPane::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    // A click, not the end of a selection, on the address it started on.
    const QUrl link = std::exchange(m_pressedLink, QUrl());
    if (event->button() == Qt::LeftButton && !link.isEmpty() && !textCursor().hasSelection()
        && linkAt(event->position().toPoint()) == link)
        openLink(link);
}

void TranscriptPane::openLink(const QUrl &link)
{
    if (QDesktopServices::openUrl(link))
        return;
    AddText(TimeStamp::now() + tr("No web browser could be started for %1").arg(link.toString()) + CrLf,
            Colors::Red);
}

void TranscriptPane::mouseMoveEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseMoveEvent(event);
    const Qt::CursorShape shape = linkAt(event->position().toPoint()).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor;
    if (viewport()->cursor().shape() != shape)
        viewport()->setCursor(shape);
}

void TranscriptPane::contextMenuEvent(QContextMenuEvent *event)
{
    // Mouse menus come from mousePressEvent; the keyboard's menu key opens it here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        popUpMenuFromKeyboard();
    event->accept();
}

// At the caret when it is in view, otherwise at the view's top left.
void TranscriptPane::popUpMenuFromKeyboard()
{
    const QRect caret = cursorRect();
    const QPoint at = viewport()->rect().contains(caret.bottomLeft()) ? caret.bottomLeft() : QPoint(4, 4);
    m_menu->popup(viewport()->mapToGlobal(at));
}

void TranscriptPane::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
        popUpMenuFromKeyboard();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_End && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
        followEnd();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TranscriptPane::followEnd()
{
    m_follow = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    showMarker();
    scrollToEndLater();   // once more after the layout caught up
}

// The marker shows the count while the reader is away from the end.
void TranscriptPane::showMarker()
{
    if (m_follow || m_unseen == 0) {
        m_unseen = m_follow ? 0 : m_unseen;
        m_newLines->hide();
        return;
    }
    m_newLines->setText(m_unseen == 1 ? tr("1 new line") : tr("%1 new lines").arg(m_unseen));
    m_newLines->adjustSize();
    const QRect view = viewport()->geometry();
    m_newLines->move(view.center().x() - m_newLines->width() / 2, view.bottom() - m_newLines->height() - 6);
    m_newLines->raise();
    m_newLines->show();
}

void TranscriptPane::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    if (m_follow)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    showMarker();
}

// Scrolling once per turn of the event loop keeps a flood of appends cheap.
void TranscriptPane::scrollToEndLater()
{
    if (m_scrollQueued)
        return;
    m_scrollQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollQueued = false;
        if (m_follow)
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    });
}
