// The settings store: defaults per missing value, long texts, the per-user
// fallback, the in-memory last resort and the file's access mode.

#include "TempStores.h"

#include "settings/ChatSettings.h"
#include "settings/Registry.h"
#include "settings/UserFile.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

using Hive = Registry::Hive;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    static ChatSettings custom()
    {
        ChatSettings c;
        c.UserName = QStringLiteral("Ren");
        c.PassWord = QStringLiteral("s3cret");
        c.Server = QStringLiteral("europe.battle.net");
        c.HomeChan = QStringLiteral("Clan Ash");
        c.AntiIdle = QStringLiteral("0");
        c.JoinLeave = QStringLiteral("1");
        c.AutoReconnect = QStringLiteral("0");
        c.IdleMessage = QStringLiteral("brb");
        return c;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstRunWritesTheDefaults()
    {
        TempStores stores;
        UserFile file;
        QCOMPARE(file.LoadSettings(), ChatSettings::defaults());
        QCOMPARE(file.store(), UserFile::Store::MachineWide);
        for (int i = 0; i < ChatSettings::Count; ++i)
            QCOMPARE(stores.stored(ChatSettings::valueName(i)), ChatSettings::defaults().value(i));
        QCOMPARE(ChatSettings::defaults().Server, QStringLiteral("useast.battle.net"));
        QVERIFY(!QFileInfo::exists(stores.userFile()));
    }

    void completeRecordIsNotRewritten()
    {
        TempStores stores;
        QDir().mkpath(QFileInfo(stores.machineFile()).path());
        QFile f(stores.machineFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; written by hand\n[General]\nUserName=Ren\nPassWord=pw\nServer=x\nHomeChan=Op Ren\n"
                "AntiIdle=0\nJoinLeave=1\nAutoReconnect=1\nIdleMessage=hi\n");
        f.close();
        const QByteArray before = stores.bytes(stores.machineFile());

        const ChatSettings loaded = UserFile().LoadSettings();
        QCOMPARE(loaded.UserName, QStringLiteral("Ren"));
        QCOMPARE(loaded.HomeChan, QStringLiteral("Op Ren"));
        QCOMPARE(stores.bytes(stores.machineFile()), before);   // the comment would be gone
    }

    void emptyOrMissingValueGetsOnlyItsDefault_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("missing");
        for (int i = 0; i < ChatSettings::Count; ++i) {
            QTest::addRow("%s empty", qPrintable(ChatSettings::valueName(i))) << i << false;
            QTest::addRow("%s missing", qPrintable(ChatSettings::valueName(i))) << i << true;
        }
    }
    void emptyOrMissingValueGetsOnlyItsDefault()
    {
        QFETCH(int, index);
        QFETCH(bool, missing);
        TempStores stores;
        const ChatSettings c = custom();
        for (int i = 0; i < ChatSettings::Count; ++i) {
            if (i != index)
                stores.put(ChatSettings::valueName(i), c.value(i));
            else if (!missing)
                stores.put(ChatSettings::valueName(i), QString());
        }
        ChatSettings expected = c;
        expected.value(index) = ChatSettings::defaults().value(index);

        QCOMPARE(UserFile().LoadSettings(), expected);
        for (int i = 0; i < ChatSettings::Count; ++i)
            QCOMPARE(stores.stored(ChatSettings::valueName(i)), expected.value(i));
    }

    void longAndAwkwardTextsSurvive()
    {
        TempStores stores;
        ChatSettings c = custom();
        c.IdleMessage = QString(1000, QLatin1Char('x'));
        c.IdleMessage.replace(100, 12, QStringLiteral("; a,b = \"q\" "));
        c.HomeChan = QStringLiteral("@Clan;£ \\ /");
        c.PassWord = QString(300, QLatin1Char('p'));
        UserFile().SaveSettings(c);
        QCOMPARE(UserFile().LoadSettings(), c);   // a later run reads them back
    }

    void unwritableMachineStoreFallsBackToTheUserStore()
    {
        TempStores stores;
        stores.blockMachine();
        QStringList reports;
        UserFile file([&](const QString &t) { reports << t; });
        QCOMPARE(file.LoadSettings(), ChatSettings::defaults());
        QCOMPARE(file.store(), UserFile::Store::PerUser);
        QCOMPARE(stores.stored(QStringLiteral("UserName"), Hive::CurrentUser),
                 QStringLiteral("Anonymous"));
        file.SaveSettings(custom());
        QCOMPARE(UserFile().LoadSettings(), custom());   // next run finds the user's values
        QVERIFY(reports.isEmpty());
    }

    void noWritableStoreKeepsTheSessionInMemoryAndReportsOnce()
    {
        TempStores stores;
        stores.blockMachine();
        stores.blockUser();
        QStringList reports;
        UserFile file([&](const QString &t) { reports << t; });
        QCOMPARE(file.LoadSettings(), ChatSettings::defaults());
        QCOMPARE(file.store(), UserFile::Store::Memory);
        file.SaveSettings(custom());
        QCOMPARE(file.LoadSettings(), custom());
        ChatSettings emptied = custom();
        emptied.IdleMessage.clear();
        file.SaveSettings(emptied);
        QCOMPARE(file.LoadSettings().IdleMessage, ChatSettings::defaults().IdleMessage);
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.first().startsWith(QStringLiteral("Settings cannot be saved: ")));
    }

    void createdFileIsPrivate()
    {
#ifdef Q_OS_WIN
        QSKIP("Registry values have no file mode");
#endif
        TempStores stores;
        UserFile().LoadSettings();
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        QFile machine(stores.machineFile());
        QCOMPARE(machine.permissions() & others, QFileDevice::Permissions());
        UserFile().SaveSettings(custom());   // rewriting keeps the mode
        QCOMPARE(machine.permissions() & others, QFileDevice::Permissions());

        TempStores fallback;
        fallback.blockMachine();
        UserFile().LoadSettings();
        QCOMPARE(QFile(fallback.userFile()).permissions() & others, QFileDevice::Permissions());
    }

    void registryEdges()
    {
        TempStores stores;
        const QString key = QStringLiteral("Software\\Ashgrove\\Quillon");
        QCOMPARE(Registry::ReadRegString(Hive::LocalMachine, key, QStringLiteral("Nothing")), QString());
        QVERIFY(Registry::WriteRegString(Hive::LocalMachine, key, QStringLiteral("Flag"), QStringLiteral("1")));
        QCOMPARE(Registry::ReadRegString(Hive::LocalMachine, key, QStringLiteral("flag")), QString());
        // Each hive stands alone: the user's hive does not see machine values.
        QCOMPARE(Registry::ReadRegString(Hive::CurrentUser, key, QStringLiteral("Flag")), QString());
        stores.blockMachine();
        QVERIFY(!Registry::WriteRegString(Hive::LocalMachine, key, QStringLiteral("Flag"), QStringLiteral("1")));
        QCOMPARE(Registry::ReadRegString(Hive::LocalMachine, key, QStringLiteral("Flag")), QString());
    }

    void realLocationsFollowTheSystemAndUserScopes()
    {
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
        QSKIP("Native settings are not files here");
#endif
        TempStores stores;
        Registry::setFoldersForTesting(QString(), QString());   // QSettings::setPath still points into stores
        const QString bnet = QStringLiteral("Software\\Battle.net\\Configuration");
        QVERIFY(Registry::WriteRegString(Hive::LocalMachine, bnet, QStringLiteral("Server List"),
                                         QStringLiteral("a;b")));
        QVERIFY(Registry::WriteRegString(Hive::CurrentUser, UserFile::SubKey, QStringLiteral("UserName"),
                                         QStringLiteral("Ren")));
        const QString machineConf = qEnvironmentVariable("XDG_CONFIG_DIRS") + QStringLiteral("/Battle.net/Configuration.conf");
        QVERIFY(TempStores::bytes(machineConf).contains("Server%20List="));
        QVERIFY(TempStores::bytes(stores.userFile()).contains("UserName=Ren"));
        QCOMPARE(Registry::ReadRegString(Hive::LocalMachine, bnet, QStringLiteral("Server List")),
                 QStringLiteral("a;b"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
