// The text codecs: the Western code page both ways, the hex convention and
// its refusals, and control characters made harmless.

#include "codec/QuillonEngine.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

#include <QTest>

using namespace Quillon_Engine;

static QString translation(const QString &text) { return QStringLiteral("Translation (HEX): ") + text; }

static const QString Refused = translation(QStringLiteral("Bad hex character found, not translating"));

class TestCodec : public QObject
{
    Q_OBJECT
private slots:
    void wireAndHexEncoding()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        QCOMPARE(Wire::decode(all).size(), 256);
        QCOMPARE(Wire::encode(Wire::decode(all)), all);   // every byte round-trips
        // A character beyond the page is one "?", a pair or a lone surrogate alike.
        QCOMPARE(Wire::encode(QStringLiteral("a\u4E2Db\U0001F600c") + QChar(0xD83D)), QByteArray("a?b?c?"));
        for (const QString digit : {"0", "9", "a", "f", "A", "F"})
            QVERIFY(IsHexChar(digit));
        for (const QString other : {"", "g", "ab", " ", "\uFF11"})
            QVERIFY2(!IsHexChar(other), qPrintable(other));
        QCOMPARE(HexEncode(QStringLiteral("\t£€é")) + HexEncode(QStringLiteral("a\u0100")) + HexEncode(QString()),
                 QStringLiteral("£09A380E9£613F£"));
    }

    void translations()
    {
        const std::pair<QString, QString> cases[] = {
            {"6869", "hi"}, {"6a6B", "jk"}, {"70E9", "pé"}, {"A0AE", "\u00A0®"},   // 0E and 0A across pairs
            {"4c4Dcd8081", "LMÍ€\u0081"}, {"9F0d", "Ÿ\u240D"},                     // the code page's 0x80 to 0x9F
            {"610962", "a\tb"}, {"68006969", "h"}, {"0068", ""},                   // a NUL cuts short
            {"680D5B6D", "h\u240D[m"}, {"1B5B326A7F", "\u241B[2j\u2421"}};         // controls shown
        for (const auto &[x, text] : cases)
            QCOMPARE(HexTranslate(x), translation(text));
        for (const char *bad : {"686", "6", "68zz", "68 9", "680A69", "0a", "0E", "68000A"})
            QVERIFY2(HexTranslate(QLatin1String(bad)) == Refused, bad);
        // Up to 32,767 hex digits are translated; a longer text is refused.
        const QString longest(32766 / 2, QLatin1Char('x'));
        const QString hex = HexEncode(longest).mid(1);
        QCOMPARE(HexTranslate(hex), translation(longest));
        QCOMPARE(HexTranslate(hex + "78"), Refused);
    }

    void defangShowsControls()
    {
        QString s = QStringLiteral("a\r\nb\tc\x1F\x7F") + QChar(0) + QChar(0x85) + QStringLiteral("é");
        SafeText::defang(s);
        QCOMPARE(s, QStringLiteral("a\u240D\u240Ab\tc\u241F\u2421\u2400") + QChar(0x85) + QStringLiteral("é"));
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
