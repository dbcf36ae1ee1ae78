#include "LimitWindow.h"

#include "chat/TranscriptPane.h"
#include "shell/MainLook.h"
#include "shell/MainWindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *bareCopyOf(const TranscriptPane &pane, QWidget *parent)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(pane.objectName());   // the style sheet's rules find it
    edit->setReadOnly(true);
    edit->setUndoRedoEnabled(false);
    edit->setFont(pane.font());
    edit->setFixedSize(pane.size());
    return edit;
}

} // namespace

LimitWindow::LimitWindow(MainWindow &model)
    : m_upper(bareCopyOf(*model.txtChat(), this))
    , m_lower(bareCopyOf(*model.txtChat2(), this))
{
    setFont(MainLook::defaultFont());
    setPalette(MainLook::palette());
    setStyleSheet(MainLook::styleSheet());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_upper);
    layout->addWidget(m_lower);
    resize(model.size());
}
