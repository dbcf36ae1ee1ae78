// The settings store: defaults per missing value, the user name and password
// as a pair, flag and number texts, the server list, the per-user fallback,
// the in-memory last resort and the files' access mode.

#include "TempStores.h"

#include "settings/ChatSettings.h"
#include "settings/ServerList.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// A stored text other than the default and valid for its kind, for each setting.
static ChatSettings custom()
{
    ChatSettings c = ChatSettings::defaults();
    for (int i = 0; i < ChatSettings::Count; ++i) {
        const Settings::Key key = Settings::Key::at(i);
        const QString other[] = {QStringLiteral("Ren ") + c.value(i), ChatSettings::flagText(c.value(i) == "0"),
                                 QString::number(key.row().min), QString::fromUtf8(Settings::offeredChoices(key).value(1).stored.data()),
                                 QStringLiteral("a.x;b.x:6113")};
        c.value(i) = other[int(key.row().kind)];
    }
    return c;
}
static const ChatSettings Custom = custom();

static bool isPrivate(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;   // registry values have no file mode
#else
    return QFile::exists(path) && !(QFile(path).permissions() & QFileDevice::Permissions(0x0066));
#endif
}

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each missing or empty value gets its own default and only that one,
    // except that an empty user name takes the password with it. No value
    // at all (-1) gives every default; a complete record (Count) is not
    // written again, which would drop a comment.
    void missingValuesGetTheirDefaults_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("missing");
        QTest::newRow("first run") << -1 << true;
        QTest::newRow("complete") << ChatSettings::Count << true;
        for (int i = 0; i < ChatSettings::Count; ++i) {
            QTest::addRow("%s empty", qPrintable(ChatSettings::valueName(i))) << i << false;
            QTest::addRow("%s missing", qPrintable(ChatSettings::valueName(i))) << i << true;
        }
    }
    void missingValuesGetTheirDefaults()
    {
        QFETCH(int, index);
        QFETCH(bool, missing);
        TempStores stores;
        ChatSettings expected;
        for (int i = 0; i < ChatSettings::Count; ++i) {
            const bool dropped = index < 0 || i == index || (index == 0 && i == 1);   // no name, no password
            expected.value(i) = dropped ? ChatSettings::defaults().value(i) : Custom.value(i);
            if (index >= 0 && (i != index || !missing))
                stores.put(ChatSettings::valueName(i), i == index ? QString() : Custom.value(i));
        }
        QFile comment(stores.machineFile());
        QVERIFY(index < 0 || (comment.open(QIODevice::Append) && comment.write("; by hand\n")));
        comment.close();

        UserFile file;
        QCOMPARE(file.LoadSettings(), expected);
        QCOMPARE(file.store(), UserFile::Store::MachineWide);
        for (int i = 0; i < ChatSettings::Count; ++i)
            QCOMPARE(stores.stored(ChatSettings::valueName(i)), expected.value(i));
        QVERIFY(index != ChatSettings::Count || stores.bytes(stores.machineFile()).endsWith("; by hand\n"));
        QVERIFY(isPrivate(stores.machineFile()) && !QFile::exists(stores.userFile()));
    }

    // Flags and line counts as whole numbers; Battle.net's server list split
    // at every ";" (the built-in one when empty), and the last entry equal to
    // the saved server selected, or the first.
    void storedTexts()
    {
        const struct { const char *text; bool on; int lines; } numbers[] = {
            {"01", true, 1000}, {" 1", true, 1000}, {"0", false, 1000}, {"2", true, 1000},
            {"yes", false, 20000}, {" 50000 ", true, 50000}, {"99999999999", true, 1000000}};
        for (const auto &c : numbers) {
            QVERIFY2(ChatSettings::flagOn(QLatin1String(c.text)) == c.on, c.text);
            QCOMPARE(Settings::number("ScrollbackLines", QLatin1String(c.text)), c.lines);
        }
        QCOMPARE(ChatSettings::defaults()["Server"], ServerList::defaultServer());
        const struct { const char *stored, *read; } encodings[] = {
            {"windows-1251", "windows-1251"}, {"windows-1252", "windows-1252"}, {"koi8-r", "UTF-8"}, {" UTF-8", "UTF-8"}, {"", "UTF-8"}};
        for (const auto &c : encodings)
            QCOMPARE(Settings::encoding("TextEncoding", QLatin1String(c.stored)), QLatin1String(c.read));
        const struct { const char *stored; QStringList entries; int selected; } lists[] = {
            {"a.x;b.x;10.0.0.1", {"a.x", "b.x", "10.0.0.1"}, -1}, {"a.x;Ren.x;", {"a.x", "Ren.x", ""}, 1},
            {"only.x", {"only.x"}, -1}, {"Ren.x;a.x;Ren.x", {"Ren.x", "a.x", "Ren.x"}, 2},
            {"Ren.x;a.x", {"Ren.x", "a.x"}, 0}, {"a.x;ren.x", {"a.x", "ren.x"}, -1}, {"", ServerList::builtIn(), -1}};
        // Outside the test folders each hive is the toolkit's store of its
        // scope, and the per-user one does not fall back on the machine's.
        {
            QTemporaryDir scopes;
            QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, scopes.filePath(QStringLiteral("machine")));
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scopes.filePath(QStringLiteral("user")));
            Registry::setFoldersForTesting(QString(), QString());
            const QString key = QStringLiteral("Software\\Ashgrove\\Quillon");
            QVERIFY(Registry::WriteRegString(Registry::Hive::LocalMachine, key, QStringLiteral("Probe"), QStringLiteral("m")));
            QCOMPARE(Registry::ReadRegString(Registry::Hive::LocalMachine, key, QStringLiteral("Probe")), QStringLiteral("m"));
            QVERIFY(Registry::ReadRegString(Registry::Hive::CurrentUser, key, QStringLiteral("Probe")).isEmpty());
        }
        for (const auto &c : lists) {
            TempStores stores;
            Registry::WriteRegString(Registry::Hive::LocalMachine, QStringLiteral("Software\\Battle.net\\Configuration"),
                                     QStringLiteral("Server List"), QLatin1String(c.stored));
            QCOMPARE(ServerList::read(), c.entries);
            QCOMPARE(ServerList::preselect(c.entries, QStringLiteral("Ren.x"), -1), c.selected);
        }
    }

    // The per-user store when the machine's cannot be written, memory for the
    // session when neither can; long and awkward texts survive either way.
    void fallbacks()
    {
        TempStores stores;
        stores.blockMachine();
        QStringList reports;
        const auto report = [&](const QString &text) { reports << text; };
        ChatSettings c = Custom;
        c["IdleMessage"] = QString(1000, QLatin1Char('x')).replace(100, 12, QStringLiteral("; a,b = \"q\" "));
        c["HomeChan"] = QStringLiteral("@Clan;£ \\ /");
        UserFile file(report);
        QCOMPARE(file.LoadSettings(), ChatSettings::defaults());
        QCOMPARE(file.store(), UserFile::Store::PerUser);
        file.SaveSettings(c);
        for (int i = 0; i < ChatSettings::Count; ++i) {   // what is kept at once, on its own
            if (Settings::Table[i].place == Settings::Place::Store)
                file.SaveValue(Settings::Key::at(i), c.value(i));
        }
        QCOMPARE(UserFile().LoadSettings(), c);   // the next run finds the user's values
        QVERIFY(reports.isEmpty() && isPrivate(stores.userFile()));

        stores.blockUser();
        UserFile memory(report);
        QCOMPARE(memory.LoadSettings(), ChatSettings::defaults());
        QCOMPARE(memory.store(), UserFile::Store::Memory);
        c["UserName"].clear();
        c["Notifications"].clear();
        memory.SaveSettings(c);
        const ChatSettings loaded = memory.LoadSettings();
        QCOMPARE(loaded["UserName"] + loaded["PassWord"] + loaded["Notifications"] + loaded["HomeChan"], "AnonymousWanderers1" + c["HomeChan"]);
        QVERIFY2(reports.size() == 1 && reports.first().startsWith(QStringLiteral("Settings cannot be saved: ")),
                 qPrintable(reports.join('\n')));
        // A per-user file that is a link to nowhere cannot be made owner-only:
        // the settings stay in memory, and that is reported.
        TempStores linked;
        linked.blockMachine();
        QVERIFY(QDir().mkpath(QFileInfo(linked.userFile()).path()));
        QVERIFY(QFile::link(linked.userFile() + QStringLiteral(".nowhere/x"), linked.userFile()));
        reports.clear();
        UserFile dangling(report);
        dangling.LoadSettings();
        QCOMPARE(dangling.store(), UserFile::Store::Memory);
        QCOMPARE(reports.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
