// The text codecs: UTF-8 or an 8-bit code page both ways, decided per
// received line; the hex convention and its refusals; byte counts and cuts;
// control characters made harmless.

#include "chat/LineSplitter.h"
#include "codec/QuillonEngine.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

#include <QFile>
#include <QTest>

using namespace Quillon_Engine;

static QString translation(const QString &text) { return QStringLiteral("Translation (HEX): ") + text; }

static QStringList splitAndDecode(const QList<QByteArray> &reads, const Wire::Encoding &encoding)
{
    LineSplitter splitter;
    QStringList lines;
    for (const QByteArray &read : reads) {
        splitter.start(read);
        for (LineSplitter::Piece p = splitter.next(); p.kind != LineSplitter::Piece::End; p = splitter.next())
            lines << Wire::decodeLine(p.bytes, encoding);
    }
    return lines;
}

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

    void decodeLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("utf8");
        const QString w1252 = "windows-1252";
        auto row = [&](const char *name, const QByteArray &b, const QString &page, const QString &text, bool utf8) {
            QTest::newRow(name) << b << page << text << utf8;
        };
        row("empty", "", w1252, "", true);
        row("ascii", "hi \x01\x7F", w1252, "hi \x01\x7F", true);
        row("utf-8", "caf\xC3\xA9 \xD0\xBF\xD1\x80 \xE6\x97\xA5 \xF0\x9F\x98\x80", w1252, "café пр 日 😀", true);
        row("limits", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", w1252,
            QString(QChar(0x80)) + QChar(0x7FF) + QChar(0x800) + QChar(0xD7FF) + QChar(0xE000) + "\U00010000\U0010FFFF", true);
        row("bom", "\xEF\xBB\xBFx", w1252, "\uFEFFx", true);
        row("1252", "caf\xE9 \x80 \x93q\x94", w1252, "café € “q”", false);
        row("1252 0x80 to 0x9F", "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
                                 "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F", w1252,
            "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ", false);
        row("1252 undefined", "\x81\x8D\x8F\x90\x9D\x8A", w1252, "\u0081\u008D\u008F\u0090\u009D\u0160", false);
        row("hex marker", "\xA3" "6869", w1252, "£6869", false);
        row("mixed", "caf\xC3\xA9 caf\xE9", w1252, "cafÃ© café", false);
        row("overlong 2", "\xC0\xAF", w1252, "À¯", false);
        row("overlong 2 C1", "\xC1\xBF", w1252, "Á¿", false);
        row("overlong 3", "\xE0\x80\xAF", w1252, "à€¯", false);
        row("overlong 4", "\xF0\x8F\xBF\xBF", w1252, "ð\u008F¿¿", false);
        row("surrogate low", "\xED\xA0\x80", w1252, "í\u00A0€", false);
        row("surrogate high", "\xED\xBF\xBF", w1252, "í¿¿", false);
        row("above 10FFFF", "\xF4\x90\x80\x80", w1252, "ô\u0090€€", false);
        row("F5", "\xF5\x80\x80\x80", w1252, "õ€€€", false);
        row("FF", "a\xFF", w1252, "aÿ", false);
        row("truncated 2", "ab\xC3", w1252, "abÃ", false);
        row("truncated 3", "\xE2\x82", w1252, "â‚", false);
        row("truncated 4", "\xF0\x9F\x98", w1252, "ðŸ˜", false);
        row("cut short", "\xE2\x82x", w1252, "â‚x", false);
        row("stray continuation", "\x80", w1252, "€", false);
        row("five bytes", "\xF8\x88\x80\x80\x80", w1252, "øˆ€€€", false);
        row("utf-8 chosen", "caf\xE9", "UTF-8", "café", false);
        row("1251", "\xEF\xF0\xE8\xE2\xE5\xF2 \x80", "windows-1251", "привет Ђ", false);
        row("1251 reads utf-8", "\xD0\xBF", "windows-1251", "п", true);
        row("1250", "\x8A\xE8 \xA3", "windows-1250", "Šč Ł", false);
    }

    void decodeLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fallback);
        QFETCH(QString, text);
        QFETCH(bool, utf8);
        QCOMPARE(Wire::isValidUtf8(bytes), utf8);
        QCOMPARE(Wire::decodeLine(bytes, Wire::Encoding::fromName(fallback)), text);
    }

    // Where the reads end never changes a line: the capture's lines, and a
    // UTF-8 line alone, cut at every byte.
    void cutAcrossReads()
    {
        QFile file(QStringLiteral(QUILLON_CAPTURES "/utf8-and-windows-1252.bin"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const Wire::Encoding utf8 = Wire::Encoding::utf8();
        for (const QByteArray &bytes : {file.readAll(), QByteArray("1005 TALK bob 0000 \"caf\xC3\xA9 \xF0\x9F\x98\x80\"\r\n")}) {
            const QStringList whole = splitAndDecode({bytes}, utf8);
            for (qsizetype cut = 0; cut <= bytes.size(); ++cut)
                QCOMPARE(splitAndDecode({bytes.left(cut), bytes.mid(cut)}, utf8), whole);
            if (bytes.size() > 100) {
                QCOMPARE(whole.mid(whole.size() - 3), QStringList({"1005 TALK bob 0000 \"café привет 日本\"",
                                                                    "1005 TALK bob 0000 \"café € “q”\"",
                                                                    "1004 WHISPER bob 0000 \"über grüße\""}));
            }
        }
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("echo");   // the bytes read back as a received line
        auto row = [](const char *name, const QString &text, const QString &enc, const QByteArray &hex,
                      const QString &missing, const QString &echo) {
            QTest::newRow(name) << text << enc << QByteArray::fromHex(hex) << missing << echo;
        };
        row("utf-8", "é€привет", "UTF-8", "C3A9E282ACD0BFD180D0B8D0B2D0B5D182", "", "é€привет");
        row("utf-8 pair", "a😀", "UTF-8", "61F09F9880", "", "a😀");
        row("lone surrogate", QString("a") + QChar(0xD83D), "UTF-8", "613F", "", "a?");
        row("lone low surrogate", QString("a") + QChar(0xDE00) + "b", "UTF-8", "613F62", "", "a?b");
        row("utf-8 pound", "£ 5", "UTF-8", "C2A32035", "", "£ 5");
        row("hex marker alone", "£", "UTF-8", "A3", "", "£");
        row("hex line", "£6869", "UTF-8", "A336383639", "", "£6869");
        row("hex line 1251", "£6869", "windows-1251", "A336383639", "", "Ј6869");
        row("1252", "café € “q”", "windows-1252", "636166E9208020937194", "", "café € “q”");
        row("1252 refuses", "aпривет😀п😀", "windows-1252", "613F3F3F3F3F3F3F3F3F", "привет😀", "a?????????");
        row("1252 reads as utf-8", "Ã©", "windows-1252", "C3A9", "", "é");
        row("1251", "привет", "windows-1251", "EFF0E8E2E5F2", "", "привет");
        row("1251 refuses", "é€", "windows-1251", "3F88", "é", "?€");
        row("1250", "Šč Ł", "windows-1250", "8AE820A3", "", "Šč Ł");
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoding);
        QFETCH(QByteArray, bytes);
        const Wire::Encoding enc = Wire::Encoding::fromName(encoding);
        QCOMPARE(enc.name(), encoding);
        const Wire::Encoded out = Wire::encodeLine(text, enc);
        QCOMPARE(out.bytes.toHex(), bytes.toHex());
        QTEST(out.missing, "missing");
        QCOMPARE(Wire::lineSize(text, enc), bytes.size());
        QTEST(Wire::decodeLine(out.bytes, enc), "echo");
    }

    // Pieces of at most N bytes, never a character cut; one character
    // longer than N is a piece of its own.
    void cutToBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("utf-8") << "aé€😀b" << "UTF-8" << 3 << "aé|€|😀|b";
        QTest::newRow("utf-8 pairs") << "😀😀😀" << "UTF-8" << 8 << "😀😀|😀";
        QTest::newRow("too narrow") << "é😀" << "UTF-8" << 1 << "é|😀";
        QTest::newRow("8-bit") << "aé😀€b" << "windows-1252" << 2 << "aé|😀€|b";
        QTest::newRow("160") << QString(159, 'x') + "éé" << "UTF-8" << 160 << QString(159, 'x') + "|éé";
    }

    void cutToBytes()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoding);
        QFETCH(int, maxBytes);
        QStringList pieces;
        for (const QStringView piece : Wire::cutToBytes(text, maxBytes, Wire::Encoding::fromName(encoding)))
            pieces << piece.toString();
        QTEST(pieces.join('|'), "pieces");
    }

    void hexInEncodings()
    {
        const Wire::Encoding utf8 = Wire::Encoding::utf8(), cyrillic = Wire::Encoding::fromName(u"Windows-1251");
        QCOMPARE(HexEncode("hi", utf8) + HexEncode("é€", utf8) + HexEncode("пé", cyrillic), "£6869£C3A9E282AC£EF3F");
        QCOMPARE(HexTranslate("C3A9E282AC", utf8) + HexTranslate("E980") + HexTranslate("EFF0C3", cyrillic),
                 translation("é€") + "Translation (HEX): é€" + translation("прГ"));
        QCOMPARE(HexTranslate("C3A900FF"), translation("é"));
        QVERIFY(IsHexMarker(QChar(0xA3), cyrillic) && IsHexMarker(QChar(0x408), cyrillic) && !IsHexMarker(QChar(0x408)));
        QCOMPARE(Wire::Encoding::fromName(u"koi8-r"), utf8);
        QCOMPARE(Wire::Encoding::offered().first().caption, "Unicode (UTF-8)");
        QCOMPARE(Wire::Encoding::offered().at(1).caption, "Western (Windows-1252)");
    }

    void defangShowsControls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // Eight characters, none a control; texts are looked at eight at a time.
        const QString clean = QStringLiteral("\t ~\u0080\u00A0\u2400\uFFFF\u8000");
        QTest::newRow("mixed") << QStringLiteral("a\r\nb\tc\x1F\x7F") + QChar(0) + QChar(0x85) + QStringLiteral("é")
                               << QStringLiteral("a\u240D\u240Ab\tc\u241F\u2421\u2400") + QChar(0x85) + QStringLiteral("é");
        QTest::newRow("clean") << clean + clean + "ab" << clean + clean + "ab";
        QTest::newRow("second eight") << clean + "abcdefg\x01x" << clean + QStringLiteral("abcdefg\u2401x");
        QTest::newRow("after the eights") << clean + "\x7F" << clean + QStringLiteral("\u2421");
    }

    void defangShowsControls()
    {
        QFETCH(QString, text);
        SafeText::defang(text);
        QTEST(text, "shown");
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
