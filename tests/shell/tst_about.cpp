// frmAbout: its texts, the link's colours under the pointer, and the page
// handed to the browser without waiting.

#define QTEST_QPA_MOUSE_HANDLING   // real pointer routing: enter events and the widget under the pointer

#include "shell/AboutDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void textsAndColours()
    {
        AboutDialog about([](const QUrl &) { return true; });
        QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quillon 2.2"));
        auto colourOf = [&](const char *name) {
            auto *label = about.findChild<QLabel *>(QLatin1String(name));
            return label ? label->palette().color(QPalette::WindowText) : QColor();
        };
        auto *heading = about.findChild<QLabel *>(QStringLiteral("lblCredits"));
        QVERIFY(heading);
        QCOMPARE(heading->text(), QStringLiteral("Quillon Credits:"));
        QVERIFY(heading->font().bold());
        QCOMPARE(heading->font().pointSizeF(), 9.75);
        QCOMPARE(colourOf("lblCredits"), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lblRole"))->text(), QStringLiteral("Bot Coding"));
        QCOMPARE(colourOf("lblRole"), QColor(0x80, 0x80, 0x80));
        QCOMPARE(colourOf("lblAuthor"), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(about.lnkHome()->text(), AboutDialog::HomePage);
        QCOMPARE(about.lnkHome()->textColor(), QColor(0x00, 0x00, 0xFF));
        auto *ok = about.findChild<QPushButton *>(QStringLiteral("cmdOk"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("&Ok"));
    }

    void linkColourFollowsThePointer()
    {
        AboutDialog about([](const QUrl &) { return true; });
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        HomeLink *link = about.lnkHome();

        QTest::mouseMove(link);
        QTRY_COMPARE(link->textColor(), QColor(0xFF, 0x00, 0x00));
        // Another element of the dialog is not its background: still red.
        QTest::mouseMove(about.findChild<QLabel *>(QStringLiteral("lblRole")));
        QCOMPARE(link->textColor(), QColor(0xFF, 0x00, 0x00));
        const QPoint bare(2, 2);
        QVERIFY(!about.childAt(bare));
        QTest::mouseMove(&about, bare);
        QTRY_COMPARE(link->textColor(), QColor(0x00, 0x00, 0xFF));
        QTest::mouseMove(link);
        QTRY_COMPARE(link->textColor(), QColor(0xFF, 0x00, 0x00));
    }

    void linkOpensThePageAndOkCloses()
    {
        QList<QUrl> opened;
        AboutDialog about([&](const QUrl &url) {
            opened << url;
            return true;
        });
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.lnkHome(), Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(AboutDialog::HomePage)});
        QTest::mouseClick(about.lnkHome(), Qt::RightButton);
        QCOMPARE(opened.size(), 1);
        QVERIFY(about.isVisible());   // the browser is not waited for

        about.lnkHome()->setFocus();
        QTest::keyClick(about.lnkHome(), Qt::Key_Return);
        QCOMPARE(opened.size(), 2);

        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdOk")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
