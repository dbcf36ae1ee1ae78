#include "codec/QuillonEngine.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"
#include "chat/TimeStamp.h"
#include "RecordingSink.h"

#include <QTest>

using namespace Quillon_Engine;

namespace {

constexpr Rgb kRed = 0xFF0000;
constexpr Rgb kGreen = 0x00C864;

QList<Run> translated(const QString &text)
{
    return {{TimeStamp::now(), kRed}, {"Translation (HEX): " + text + "\r\n", kGreen}};
}

QList<Run> refused()
{
    return translated(QStringLiteral("Bad hex character found, not translating"));
}

QList<Run> translate(const QString &x)
{
    return {{TimeStamp::now(), kRed}, {HexTranslate(x) + "\r\n", kGreen}};
}

// What a decoded control character looks like in the transcript.
QString shown(QChar c)
{
    const char16_t u = c.unicode();
    if (u == 0x7F)
        return QString(QChar(0x2421));
    if (u < 0x20 && u != u'\t')
        return QString(QChar(0x2400 + u));
    return QString(c);
}

} // namespace

class HexTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TimeStamp::setClockForTesting([] { return QTime(13, 5, 9); }); }
    void cleanupTestCase() { TimeStamp::setClockForTesting({}); }

    void isHexChar_data()
    {
        QTest::addColumn<QString>("s");
        QTest::addColumn<bool>("hex");
        for (const char *ok : {"0", "9", "a", "f", "A", "F"})
            QTest::newRow(ok) << QString::fromLatin1(ok) << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("g") << QStringLiteral("g") << false;
        QTest::newRow("two digits") << QStringLiteral("ab") << false;
        QTest::newRow("blank") << QStringLiteral(" ") << false;
        QTest::newRow("full-width 1") << QStringLiteral("\uFF11") << false;
    }
    void isHexChar()
    {
        QFETCH(QString, s);
        QFETCH(bool, hex);
        QCOMPARE(IsHexChar(s), hex);
    }

    void encode()
    {
        QCOMPARE(HexEncode(QStringLiteral("hi")), QStringLiteral("£6869"));
        QCOMPARE(HexEncode(QStringLiteral("\t")), QStringLiteral("£09"));
        QCOMPARE(HexEncode(QStringLiteral("£€é")), QStringLiteral("£A380E9"));
        QCOMPARE(HexEncode(QStringLiteral("a\u0100")), QStringLiteral("£613F"));
        QCOMPARE(HexEncode(QString()), QStringLiteral("£"));
    }

    // Every code but the refused two survives encoding and translation, alone
    // and inside a line, where a short code would misalign the later pairs.
    void roundTrip()
    {
        QString line, expected;
        for (int code = 1; code < 256; ++code) {
            if (code == 0x0A || code == 0x0E)
                continue;
            const QChar c = Wire::decodeByte(code);
            const QString hex = HexEncode(QString(c));
            QCOMPARE(hex.size(), 3);
            QVERIFY2(translate(hex.mid(1)) == translated(shown(c)), qPrintable(hex));
            line += c;
            expected += shown(c);
        }
        QCOMPARE(translate(HexEncode(line).mid(1)), translated(expected));
    }

    void translations_data()
    {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("text");
        QTest::newRow("hi") << "6869" << "hi";
        QTest::newRow("lower case") << "6a6b" << "jk";
        QTest::newRow("mixed case") << "6A6b" << "jk";
        QTest::newRow("0E across pairs") << "70E9" << QStringLiteral("pé");
        QTest::newRow("0A across pairs") << "A0AE" << QStringLiteral("\u00A0®");
        QTest::newRow("tab kept") << "610962" << "a\tb";
        QTest::newRow("NUL cuts short") << "68006969" << "h";
        QTest::newRow("NUL first") << "0068" << "";
        QTest::newRow("CR on the same line") << "680D5B6D"
                                             << QStringLiteral("h\u240D[m");
        QTest::newRow("escape and delete") << "1B5B326A7F"
                                           << QStringLiteral("\u241B[2j\u2421");
    }
    void translations()
    {
        QFETCH(QString, x);
        QFETCH(QString, text);
        QCOMPARE(translate(x), translated(text));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("x");
        QTest::newRow("odd length") << "686";
        QTest::newRow("single digit") << "6";
        QTest::newRow("not hex") << "68zz";
        QTest::newRow("blank") << "68 9";
        QTest::newRow("line feed") << "680A69";
        QTest::newRow("line feed lower") << "0a";
        QTest::newRow("shift out") << "0E";
        QTest::newRow("line feed behind NUL") << "68000A";
    }
    void refusals()
    {
        QFETCH(QString, x);
        QCOMPARE(translate(x), refused());
    }

    // Up to 32,767 hex digits are translated; a longer text is refused.
    void longLine()
    {
        const QString longest(32766 / 2, QLatin1Char('x'));
        QCOMPARE(translate(HexEncode(longest).mid(1)), translated(longest));
        QCOMPARE(translate(HexEncode(longest).mid(1) + "7"), refused());
        QCOMPARE(translate(HexEncode(longest + "x").mid(1)), refused());
    }

    void defang()
    {
        QString s = QStringLiteral("a\r\nb\tc\x1F\x7F") + QChar(0) + QChar(0x85) + QStringLiteral("é");
        SafeText::defang(s);
        QCOMPARE(s, QStringLiteral("a\u240D\u240Ab\tc\u241F\u2421\u2400") + QChar(0x85)
                        + QStringLiteral("é"));

        const QString clean = QString::fromLatin1("nothing to do"); // heap data, so sharing is visible
        QString copy = clean;
        SafeText::defang(copy);
        QVERIFY(copy.isSharedWith(clean));
    }
};

int runHexTests(int argc, char **argv)
{
    HexTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_hex.moc"
