#include "AboutDialog.h"

#include "MainLook.h"
#include "ShellPrompts.h"
#include "chat/Resources.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor Silver(0xC0, 0xC0, 0xC0);

} // namespace

HomeLink::HomeLink(const QString &address, QWidget *parent)
    : QLabel(address, parent)
{
    setObjectName(QStringLiteral("lnkHome"));
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);   // Tab reaches it; Enter or Space opens it
    setMouseTracking(true);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, RestColor);
    setPalette(p);
}

void HomeLink::setHot(bool hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, hot ? HotColor : RestColor);
    setPalette(p);
}

QColor HomeLink::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void HomeLink::enterEvent(QEnterEvent *event)
{
    setHot(true);
    QLabel::enterEvent(event);
}

void HomeLink::mouseMoveEvent(QMouseEvent *event)
{
    setHot(true);
    event->accept();
}

void HomeLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit activated();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void HomeLink::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit activated();
        return;
    }
    QLabel::keyPressEvent(event);
}

AboutDialog::AboutDialog(std::function<bool(const QUrl &)> openUrl, QWidget *parent)
    : QDialog(parent)
    , m_openUrl(std::move(openUrl))
    , m_lnkHome(new HomeLink(HomePage, this))
    , m_cmdOk(new QPushButton(QStringLiteral("&Ok"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quillon 2.2"));
    setModal(true);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setPalette(MainLook::palette());
    setFont(MainLook::defaultFont());
    initQuillonResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));

    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(QIcon(QStringLiteral(":/icons/quillon.svg")).pixmap(QSize(48, 48), devicePixelRatioF()));

    QFont heading = MainLook::tahoma(9.75);
    heading.setBold(true);
    QLabel *lblCredits = MainLook::textLabel(QStringLiteral("Quillon Credits:"), QStringLiteral("lblCredits"), Silver,
                                   heading, this);
    QLabel *lblRole = MainLook::textLabel(QStringLiteral("Bot Coding"), QStringLiteral("lblRole"), MainLook::Text,
                                MainLook::defaultFont(), this);
    QLabel *lblAuthor = MainLook::textLabel(Credit, QStringLiteral("lblAuthor"), Silver, MainLook::defaultFont(), this);

    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setDefault(true);
    m_cmdOk->setStyleSheet(QStringLiteral(
        "QPushButton { background: #008080; color: #000000; border: 1px solid #004040; padding: 3px 18px; }"
        "QPushButton:focus { border: 1px dotted #C0C0C0; }"
        "QPushButton:pressed { background: #006868; }"));

    auto *credits = new QVBoxLayout;
    credits->setSpacing(4);
    credits->addWidget(lblCredits);
    credits->addSpacing(6);
    credits->addWidget(lblRole);
    credits->addWidget(lblAuthor);
    credits->addSpacing(10);
    credits->addWidget(m_lnkHome);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(logo, 0, Qt::AlignTop);
    top->addLayout(credits, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOk);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    setTabOrder(m_cmdOk, m_lnkHome);
    m_cmdOk->setFocus();
    connect(m_lnkHome, &HomeLink::activated, this, &AboutDialog::openHomePage);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void AboutDialog::openHomePage()
{
    // The desktop starts the browser on its own; nothing here waits for it.
    if (m_openUrl && m_openUrl(QUrl(HomePage)))
        return;
    QMessageBox box(QMessageBox::Information, ShellPrompts::BoxTitle,
                    QStringLiteral("No web browser could be started for %1").arg(HomePage), QMessageBox::Ok,
                    this);
    box.exec();
}

void AboutDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (!childAt(event->position().toPoint()))
        m_lnkHome->setHot(false);
    QDialog::mouseMoveEvent(event);
}
