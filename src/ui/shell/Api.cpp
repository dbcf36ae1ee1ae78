#include "Api.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// Moves a window with the pointer until the left button comes up. It sees
// every mouse event of the application, so the move goes on wherever the
// implicit grab of the press sends the events.
class ManualMove : public QObject
{
public:
    explicit ManualMove(QWidget *window)
        : m_window(window)
        , m_offset(QCursor::pos() - window->frameGeometry().topLeft())
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto *move = static_cast<QMouseEvent *>(event);
            if (!m_window || !(move->buttons() & Qt::LeftButton)) {
                finish();
                return false;
            }
            m_window->move(move->globalPosition().toPoint() - m_offset);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                finish();
            return false;
        case QEvent::ApplicationDeactivate:
            finish();
            return false;
        default:
            return false;
        }
    }

private:
    void finish()
    {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> m_window;
    QPoint m_offset;
};

} // namespace

namespace API {

void DragWindow(QWidget *window)
{
    if (!window)
        return;
    window = window->window();
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QWindow *handle = window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    new ManualMove(window);
}

} // namespace API
