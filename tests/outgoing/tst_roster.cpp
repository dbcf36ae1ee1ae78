// The roster menu's commands for the last clicked user, against a scripted
// gateway.

#include "LoggedOnSession.h"
#include "outgoing/InputLine.h"
#include "outgoing/OutgoingMenus.h"
#include "outgoing/RosterCommands.h"

#include <QAction>
#include <QMenu>

class TestRoster : public QObject
{
    Q_OBJECT
private slots:
    void menuItemsSendTheirLines();
    void whisperTakesTheInputLine();
    void copyNameAppendsToTheInputLine();
    void refusedSendsAreSilent();
};

namespace {
QStringList describe(QMenu *menu)
{
    QStringList items;
    for (QAction *a : menu->actions())
        items << a->objectName() + '=' + a->text();
    return items;
}
} // namespace

void TestRoster::menuItemsSendTheirLines()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    RosterCommands commands(s.session, input);
    QWidget owner;
    QMenu *menu = OutgoingMenus::createLstMenu(commands, &owner);
    QCOMPARE(menu->objectName(), QStringLiteral("lstMenu"));
    QCOMPARE(describe(menu), (QStringList{"mWhois=&Whois", "mSquelch=&Squelch", "mUnsquelch=&Unsquelch",
                                          "mWhisper=W&hisper", "mBan=&Ban", "mKick=&Kick",
                                          "mCpyName=&Copy Name"}));

    // Before any entry was clicked the prefix goes out alone.
    menu->findChild<QAction *>(QStringLiteral("mBan"))->trigger();
    QCOMPARE(s.wireUpToMarker(), QByteArray("/ban \r"));

    s.session.setSelName(QStringLiteral("bob"));
    input.setEditText(QStringLiteral("draft"));
    const QList<QPair<QString, QByteArray>> expected{
        {"mWhois", "/whois bob\r"}, {"mSquelch", "/squelch bob\r"}, {"mUnsquelch", "/unsquelch bob\r"},
        {"mBan", "/ban bob\r"},     {"mKick", "/kick bob\r"}};
    for (const auto &[item, bytes] : expected) {
        menu->findChild<QAction *>(item)->trigger();
        QCOMPARE(s.wireUpToMarker(), bytes);
    }
    // Never echoed, never filed, the input line untouched.
    QVERIFY(s.upper.runs.isEmpty());
    QCOMPARE(input.count(), 0);
    QCOMPARE(input.editText(), QStringLiteral("draft"));
}

void TestRoster::whisperTakesTheInputLine()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    RosterCommands commands(s.session, input);
    s.session.setSelName(QStringLiteral("bob"));

    input.setEditText(QStringLiteral("hi"));
    commands.whisper();
    QCOMPARE(s.wireUpToMarker(), QByteArray("/w bob hi\r"));
    QCOMPARE(input.editText(), QString());
    commands.whisper();
    QCOMPARE(s.wireUpToMarker(), QByteArray("/w bob \r"));
    QCOMPARE(input.count(), 0);
    QVERIFY(s.upper.runs.isEmpty());
}

void TestRoster::copyNameAppendsToTheInputLine()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    InputLine input;
    RosterCommands commands(s.session, input);
    s.session.setSelName(QStringLiteral("bob"));

    input.setEditText(QStringLiteral("hello "));
    commands.copyName();
    QCOMPARE(input.editText(), QStringLiteral("hello bob"));
    commands.copyName();
    QCOMPARE(input.editText(), QStringLiteral("hello bobbob"));
    QCOMPARE(s.wireUpToMarker(), QByteArray());
}

void TestRoster::refusedSendsAreSilent()
{
    LoggedOnSession s;
    InputLine input;
    RosterCommands commands(s.session, input);
    s.session.setSelName(QStringLiteral("bob"));
    input.setEditText(QStringLiteral("hi"));

    commands.whois();
    commands.squelch();
    commands.unsquelch();
    commands.ban();
    commands.kick();
    commands.whisper();
    QCOMPARE(input.editText(), QStringLiteral("hi"));   // kept for a later try
    QVERIFY(s.upper.runs.isEmpty());                      // no message, no "Disconnected."
    QVERIFY(!s.session.isActive());
}

QTEST_MAIN(TestRoster)
#include "tst_roster.moc"
