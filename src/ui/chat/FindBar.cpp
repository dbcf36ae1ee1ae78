#include "FindBar.h"

#include "TranscriptPane.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QToolButton>

#include <functional>

namespace {

// Matches marked at most in the view; a view holds far fewer lines.
constexpr int MaxMarkedMatches = 200;

QTextEdit::ExtraSelection marked(const QTextCursor &cursor, const QColor &background, const QColor &text = {})
{
    QTextEdit::ExtraSelection selection;
    selection.cursor = cursor;
    selection.format.setBackground(background);
    if (text.isValid())
        selection.format.setForeground(text);
    return selection;
}

} // namespace

FindBar::FindBar(TranscriptPane *pane, QWidget *parent)
    : QWidget(parent)
    , m_pane(pane)
    , m_field(new QLineEdit(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    m_field->setObjectName(QStringLiteral("txtFind"));
    m_field->setClearButtonEnabled(true);
    auto *previous = new QToolButton(this);
    previous->setText(tr("Previous"));
    previous->setToolTip(tr("Previous match (Shift+F3)"));
    auto *next = new QToolButton(this);
    next->setText(tr("Next"));
    next->setToolTip(tr("Next match (F3)"));
    auto *close = new QToolButton(this);
    close->setText(tr("Close"));
    close->setToolTip(tr("Close the find bar (Escape)"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Find:"), this));
    layout->addWidget(m_field, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_status);
    layout->addWidget(close);
    hide();

    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(close, &QToolButton::clicked, this, &FindBar::closeBar);
    // Typing refines the match in place, or finds the first one after it.
    connect(m_field, &QLineEdit::textEdited, this, [this] { find(From::MatchStart); });
    bindPane();
}

void FindBar::bindPane()
{
    for (const QPointer<QObject> &hook : std::exchange(m_paneHooks, {}))
        delete hook.data();
    auto *scrolled = new QObject(this);
    m_paneHooks.append(scrolled);
    connect(m_pane->verticalScrollBar(), &QScrollBar::valueChanged, scrolled, [this] {
        if (isVisible())
            showMatches();
    });

    // On the pane, so that they work while the bar is hidden.
    const auto shortcut = [this](const QKeySequence &keys, std::function<void()> action) {
        auto *s = new QShortcut(keys, m_pane);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, std::move(action));
        m_paneHooks.append(s);
    };
    shortcut(QKeySequence::Find, [this] { openBar(); });
    shortcut(QKeySequence(Qt::Key_F3), [this] {
        openBar();
        findNext();
    });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] {
        openBar();
        findPrevious();
    });
}

void FindBar::setPane(TranscriptPane *pane)
{
    if (!pane || pane == m_pane)
        return;
    if (m_pane)
        m_pane->setExtraSelections({});
    m_match = QTextCursor();
    m_status->clear();
    m_pane = pane;
    bindPane();
    if (isVisible())
        showMatches();
}

void FindBar::openBar()
{
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    showMatches();
}

void FindBar::closeBar()
{
    hide();
    m_match = QTextCursor();
    m_status->clear();
    m_pane->setExtraSelections({});
    emit closed();
}

bool FindBar::findNext()
{
    return find(From::AfterMatch);
}

bool FindBar::findPrevious()
{
    return find(From::BeforeMatch);
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Escape:
        closeBar();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
        shift ? findPrevious() : findNext();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

// Searches from the current match, or from the view when there is none,
// and round the end of the transcript when nothing follows.
bool FindBar::find(From from)
{
    const QString term = m_field->text();
    QTextDocument *doc = m_pane->document();
    const bool backward = from == From::BeforeMatch;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor start = m_match;
    if (!m_match.hasSelection()) {
        const QRect view = m_pane->viewport()->rect();
        start = m_pane->cursorForPosition(backward ? view.bottomRight() : view.topLeft());
    } else if (from == From::MatchStart) {
        start.setPosition(m_match.selectionStart());
    }
    m_match = doc->find(term, start, flags);
    if (m_match.isNull() && !term.isEmpty()) {
        QTextCursor end(doc);
        if (backward)
            end.movePosition(QTextCursor::End);
        m_match = doc->find(term, end, flags);
    }
    m_status->setText(m_match.isNull() && !term.isEmpty() ? tr("No match") : QString());
    if (!m_match.isNull()) {
        // Only a match out of view moves the view.
        const QRect view = m_pane->viewport()->rect();
        const int first = m_pane->cursorForPosition(view.topLeft()).position();
        const int last = m_pane->cursorForPosition(view.bottomRight()).position();
        if (m_match.selectionStart() < first || m_match.selectionEnd() > last)
            m_pane->showPosition(m_match.selectionStart());
    }
    showMatches();
    return !m_match.isNull();
}

// The current match and the others in view, as extra selections.
void FindBar::showMatches()
{
    QList<QTextEdit::ExtraSelection> marks;
    const QString term = m_field->text();
    if (!term.isEmpty()) {
        const QRect view = m_pane->viewport()->rect();
        const QTextBlock last = m_pane->cursorForPosition(view.bottomRight()).block();
        for (QTextBlock block = m_pane->cursorForPosition(view.topLeft()).block();
             block.isValid() && marks.size() < MaxMarkedMatches; block = block.next()) {
            const QString text = block.text();
            for (qsizetype at = text.indexOf(term, 0, Qt::CaseInsensitive); at >= 0 && marks.size() < MaxMarkedMatches;
                 at = text.indexOf(term, at + term.size(), Qt::CaseInsensitive)) {
                QTextCursor c(block);
                c.setPosition(block.position() + int(at));
                c.setPosition(block.position() + int(at + term.size()), QTextCursor::KeepAnchor);
                marks.append(marked(c, QColor(0x5A, 0x4A, 0x00)));
            }
            if (block == last)
                break;
        }
    }
    if (m_match.hasSelection())
        marks.append(marked(m_match, QColor(0xFF, 0xD2, 0x00), Qt::black));
    m_pane->setExtraSelections(marks);
}
