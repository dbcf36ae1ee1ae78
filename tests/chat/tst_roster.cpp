// The roster's icons and colours from the product and rank rules, driven by
// received lines: JOIN adds a user with the flags (its notice shows the
// product's description), 1009 gives a user added with 0000 the same flags.

#include "RecordingHost.h"
#include "codec/Wire.h"

#include <QTest>

#include <memory>

class RosterTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ParserRig> rig;
private slots:
    void initTestCase() { TimeStamp::setClockForTesting([] { return QTime(12, 34, 56); }); }
    void init() { rig = std::make_unique<ParserRig>(); }

    void iconsAndColors_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("icon");   // "!" for the rank colour
        QTest::addColumn<QString>("text");
        const char *flags[] = {"0000", "0001", "0002", "0004", "0008", "0010", "0012", "0018", "0020", "0030", "0032", "0040"};
        const char *icons[] = {"6", "9!", "10!", "11", "9!", "6", "10!", "11", "11", "11", "11", "9!"};
        for (int i = 0; i < 12; ++i)
            QTest::addRow("[STAR] %s", flags[i]) << "[STAR]" << flags[i] << icons[i] << "using Starcraft.";
        QTest::newRow("[SEXP]") << "[SEXP]" << "0000" << "1" << "using Starcraft: Brood War.";
        QTest::newRow("[W2BN]") << "[W2BN]" << "0010" << "8" << "using Warcraft II.";
        QTest::newRow("[D2DV]") << "[D2DV]" << "0000" << "2" << "using Diablo II.";
        QTest::newRow("[DRTL]") << "[DRTL]" << "0000" << "4" << "using Diablo.";
        QTest::newRow("[DSHR]") << "[DSHR]" << "0000" << "5" << "using Diablo Shareware.";
        QTest::newRow("[SSHR]") << "[SSHR]" << "0000" << "7" << "using Starcraft Shareware.";
        QTest::newRow("[CHAT] op") << "[CHAT]" << "0012" << "10!" << "using a Chat bot.";
        QTest::newRow("unknown") << "[XXXX]" << "0000" << "0" << "";
        QTest::newRow("unknown, op") << "[XXXX]" << "0002" << "10!" << "";
        QTest::newRow("lower case") << "[star]" << "0000" << "0" << "";
    }
    void iconsAndColors()
    {
        QFETCH(QString, product);
        QFETCH(QString, flags);
        QFETCH(QString, icon);
        QFETCH(QString, text);
        rig->arrive(Wire::encode(QStringLiteral("1002 JOIN Bob %1 %2\r\n1001 USER Ann 0000 %2\r\n1009 USER Ann %1\r\n").arg(flags, product)));
        QCOMPARE(rig->state(), QStringLiteral("roster=Bob/%1 Ann/%1 count= 2").arg(icon));
        QCOMPARE(rig->render(rig->host.lower.runs), "[S][grey]Bob joined the channel " + text + "\n");
    }

    // No line reaches this: a line always has a last six characters.
    void entryWithoutProduct()
    {
        rig->roster.addUser("Adm", QString(), 12);
        QCOMPARE(rig->state(), QStringLiteral("roster=Adm/9 count= 1"));
        QCOMPARE(Parsing::ProductText(QString()), QStringLiteral("as an Admin."));
    }
};

QTEST_GUILESS_MAIN(RosterTest)
#include "tst_roster.moc"
