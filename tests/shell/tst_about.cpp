// frmAbout: the link's colours under the pointer, and the page handed to the
// browser without waiting.

#define QTEST_QPA_MOUSE_HANDLING   // real pointer routing: enter events and the widget under the pointer

#include "shell/AboutDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void linkFollowsThePointerAndOpensThePage()
    {
        QList<QUrl> opened;
        AboutDialog about([&](const QUrl &url) { opened << url; return true; });
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        HomeLink *link = about.lnkHome();
        QCOMPARE(link->textColor(), QColor(0x00, 0x00, 0xFF));
        QTest::mouseMove(link);
        QTRY_COMPARE(link->textColor(), QColor(0xFF, 0x00, 0x00));
        // Another element of the dialog is not its background: still red.
        QTest::mouseMove(about.findChild<QLabel *>(QStringLiteral("lblRole")));
        QCOMPARE(link->textColor(), QColor(0xFF, 0x00, 0x00));
        const QPoint bare(2, 2);
        QVERIFY(!about.childAt(bare));
        QTest::mouseMove(&about, bare);
        QTRY_COMPARE(link->textColor(), QColor(0x00, 0x00, 0xFF));

        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(AboutDialog::HomePage)});
        QVERIFY(about.isVisible());   // the browser is not waited for
        link->setFocus();
        QTest::keyClick(link, Qt::Key_Return);
        QCOMPARE(opened.size(), 2);
        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdOk")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
