// Screen readers: every control a user can reach in the main window and in
// its dialogs (Login, Options, About) has an accessible name, and the panes
// and the roster can be read through the accessibility interface.

#include "ShellProfile.h"
#include "chat/TranscriptPane.h"
#include "shell/MainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

namespace {

// The controls of one window that have no name: anything that takes the
// focus, and every button, field and list. The parts inside a field, a spin
// box or a combo box belong to it; menus and pop-ups are windows of their own.
QStringList unnamed(QWidget *window)
{
    QStringList missing;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QWidget *parent = w->parentWidget();
        if (w->window() != window || qobject_cast<QLineEdit *>(parent) || qobject_cast<QAbstractSpinBox *>(parent)
            || qobject_cast<QComboBox *>(parent))
            continue;
        const bool control = w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(w)
                             || qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractItemView *>(w)
                             || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        if (control && (!face || face->text(QAccessible::Name).trimmed().isEmpty()))
            missing << QString::fromLatin1(w->metaObject()->className()) + '#' + w->objectName();
    }
    return missing;
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("main window") << QString();
        QTest::newRow("login") << "cmdConnect";
        QTest::newRow("options") << "cmdOptions";
        QTest::newRow("about") << "cmdAbout";
    }
    void everyControlHasAName()
    {
        QFETCH(QString, button);
        ShellProfile profile;
        MainWindow w(profile.prompts());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList missing{"no dialog"};
        if (button.isEmpty()) {
            missing = unnamed(&w);
        } else {
            QTimer::singleShot(0, [&] {
                if (QWidget *dialog = QApplication::activeModalWidget()) {
                    missing = unnamed(dialog);
                    dialog->close();
                }
            });
            w.findChild<QPushButton *>(button)->click();
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }

    void panesAndRosterCanBeRead()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        w.txtChat()->AddText("[1]  Ann: hello\r\n", 0xFFFFFF);
        w.session().roster().addUser("Ann", "[CHAT]", 0);
        QAccessibleTextInterface *pane = QAccessible::queryAccessibleInterface(w.txtChat())->textInterface();
        QVERIFY(pane && pane->text(0, pane->characterCount()).contains("Ann: hello"));
        QAccessibleInterface *roster = QAccessible::queryAccessibleInterface(w.findChild<QListView *>("lstUser"));
        QStringList names;
        for (int i = 0; i < roster->childCount(); ++i)
            names << roster->child(i)->text(QAccessible::Name);
        QVERIFY2(names.contains("Ann"), qPrintable(names.join(", ")));
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
