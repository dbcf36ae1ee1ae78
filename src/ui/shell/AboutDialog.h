#pragma once
// frmAbout: the credits and the link to the product page. The link turns
// red under the pointer and blue again when the pointer crosses the
// dialog's background; a click hands the address to the browser.

#include <QDialog>
#include <QLabel>
#include <QUrl>

#include <functional>

class QPushButton;

// lnkHome
class HomeLink : public QLabel
{
    Q_OBJECT
public:
    static inline const QColor RestColor = QColor(0x00, 0x00, 0xFF);
    static inline const QColor HotColor = QColor(0xFF, 0x00, 0x00);

    HomeLink(const QString &address, QWidget *parent = nullptr);

    void setHot(bool hot);
    bool isHot() const { return m_hot; }
    QColor textColor() const;

signals:
    void activated();

protected:
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_hot = false;
};

class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    static inline const QString HomePage = QStringLiteral("https://quillon.ashgrove.invalid/");
    static inline const QString Credit = QStringLiteral("Ashgrove");

    // openUrl hands the address to the browser; false when nothing took it.
    explicit AboutDialog(std::function<bool(const QUrl &)> openUrl, QWidget *parent = nullptr);

    HomeLink *lnkHome() const { return m_lnkHome; }

    // The link's click: opens the page and does not wait for the browser.
    void openHomePage();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    std::function<bool(const QUrl &)> m_openUrl;
    HomeLink *m_lnkHome;
    QPushButton *m_cmdOk;
};
