// The roster: the icon rules row by row, the product texts, and the list
// operations with their quirks (duplicates, trimming, the count caption).

#include "chat/RosterModel.h"

#include <QSignalSpy>
#include <QTest>

using Parsing::ProductIcon;
using Parsing::ProductText;

class RosterTest : public QObject
{
    Q_OBJECT
private slots:
    void iconTableForStarcraft_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("star");
        QTest::addColumn<int>("unknown");
        const int flags[] = {0, 1, 2, 4, 8, 10, 12, 18, 20, 30, 32, 40};
        const int icons[] = {6, 9, 10, 11, 9, 6, 10, 11, 11, 11, 11, 9};
        for (int i = 0; i < 12; ++i) {
            const int unknown = icons[i] == 6 ? 0 : icons[i];
            QTest::addRow("%04d", flags[i]) << flags[i] << icons[i] << unknown;
        }
    }
    void iconTableForStarcraft()
    {
        QFETCH(int, flags);
        QFETCH(int, star);
        QFETCH(int, unknown);
        QCOMPARE(int(ProductIcon(QStringLiteral("[STAR]"), qint16(flags))), star);
        QCOMPARE(int(ProductIcon(QStringLiteral("[XXXX]"), qint16(flags))), unknown);
    }

    void productTable_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("text");
        QTest::newRow("SEXP") << "[SEXP]" << 1 << "using Starcraft: Brood War.";
        QTest::newRow("D2DV") << "[D2DV]" << 2 << "using Diablo II.";
        QTest::newRow("CHAT") << "[CHAT]" << 3 << "using a Chat bot.";
        QTest::newRow("DRTL") << "[DRTL]" << 4 << "using Diablo.";
        QTest::newRow("DSHR") << "[DSHR]" << 5 << "using Diablo Shareware.";
        QTest::newRow("STAR") << "[STAR]" << 6 << "using Starcraft.";
        QTest::newRow("SSHR") << "[SSHR]" << 7 << "using Starcraft Shareware.";
        QTest::newRow("W2BN") << "[W2BN]" << 8 << "using Warcraft II.";
        QTest::newRow("empty") << "" << 0 << "as an Admin.";
        QTest::newRow("lower case") << "[star]" << 0 << "";
        QTest::newRow("no brackets") << "STAR" << 0 << "";
    }
    void productTable()
    {
        QFETCH(QString, code);
        QFETCH(int, icon);
        QFETCH(QString, text);
        QCOMPARE(int(ProductIcon(code, 0)), icon);
        QCOMPARE(ProductText(code), text);
    }

    void addingUsers()
    {
        RosterModel r;
        QSignalSpy count(&r, &RosterModel::countLabelChanged);
        r.addUser("Bob", "[STAR]", 10);
        QCOMPARE(r.entry(1).icon, 6);
        QCOMPARE(r.entry(1).color, RosterModel::DefaultColor);
        QCOMPARE(r.entry(1).product, QStringLiteral("[STAR]"));
        QCOMPARE(r.countLabel(), QStringLiteral(" 1"));
        QCOMPARE(count.size(), 1);

        r.addUser("Op", "[CHAT]", 12);
        QCOMPARE(r.entry(2).icon, 10);
        QCOMPARE(r.entry(2).color, RosterModel::RankColor);

        r.addUser("Adm", "", 0);
        QCOMPARE(r.entry(3).icon, 9);
        QCOMPARE(r.entry(3).color, RosterModel::DefaultColor);
        QCOMPARE(r.entry(3).product, QString());

        r.addUser("Bob", "[STAR]", 10);   // no duplicate check
        QCOMPARE(r.count(), 4);
        QCOMPARE(r.FindUser(" Bob "), 4);   // the last match, name trimmed
        QCOMPARE(r.FindUser("Nobody"), -1);
        QCOMPARE(r.data(r.index(1), Qt::DisplayRole).toString(), QStringLiteral("Op"));
        QCOMPARE(r.data(r.index(1), RosterModel::ColorRole).toUInt(), 0xFFFFFFu);
    }

    void removingUsers()
    {
        RosterModel r;
        for (const char *n : {"Ann", "Bob", "Cid"})
            r.addUser(n, "[STAR]", 10);
        r.removeUser("Bob");
        QCOMPARE(r.names(), (QStringList{"Ann", "Cid"}));
        QCOMPARE(r.entry(2).product, QStringLiteral("[STAR]"));
        r.removeUser("Nobody");
        QCOMPARE(r.count(), 2);

        // Of two adjacent equal names one removal takes the first only.
        RosterModel twins;
        twins.addUser("Bob", "[STAR]", 10);
        twins.addUser("Bob", "[CHAT]", 10);
        twins.addUser("Cid", "[STAR]", 10);
        twins.removeUser("Bob");
        QCOMPARE(twins.names(), (QStringList{"Bob", "Cid"}));
        QCOMPARE(twins.entry(1).product, QStringLiteral("[CHAT]"));
        QCOMPARE(twins.countLabel(), QStringLiteral(" 3"));   // removal alone does not refresh
        twins.refreshCount();
        QCOMPARE(twins.countLabel(), QStringLiteral(" 2"));
    }

    void updatingFlags()
    {
        RosterModel r;
        r.addUser("Bob", "[STAR]", 10);
        r.updateFlags("Bob", 2);
        QCOMPARE(r.entry(1).icon, 10);
        QCOMPARE(r.entry(1).color, RosterModel::RankColor);
        r.updateFlags("Bob", 10);
        QCOMPARE(r.entry(1).icon, 6);
        QCOMPARE(r.entry(1).color, RosterModel::DefaultColor);
        r.updateFlags("Bob", 32);
        QCOMPARE(r.entry(1).icon, 11);
        r.updateFlags("Nobody", 1);
        QCOMPARE(r.entry(1).icon, 11);
    }

    void clearingKeepsTheCaption()
    {
        RosterModel r;
        r.addUser("Bob", "[STAR]", 10);
        r.clear();
        QCOMPARE(r.count(), 0);
        QCOMPARE(r.countLabel(), QStringLiteral(" 1"));
    }
};

QTEST_MAIN(RosterTest)
#include "tst_roster.moc"
