#include "codec/Wire.h"

#include <QTest>

class WireTest : public QObject
{
    Q_OBJECT
private slots:
    void everyByteRoundTrips()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b) {
            all[b] = char(b);
            QCOMPARE(static_cast<unsigned char>(Wire::encodeChar(Wire::decodeByte(b))), b);
        }
        const QString text = Wire::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Wire::encode(text), all);
    }

    void knownCharacters()
    {
        QCOMPARE(Wire::decodeByte(0xA3), QChar(0x00A3)); // £
        QCOMPARE(Wire::encode(QStringLiteral("£")), QByteArray("\xA3"));
        QCOMPARE(Wire::decodeByte(0x80), QChar(0x20AC)); // €
        QCOMPARE(Wire::encode(QStringLiteral("€")), QByteArray("\x80"));
    }

    void unknownCharactersBecomeQuestionMarks()
    {
        QCOMPARE(Wire::encodeChar(QChar(0x0100)), '?');
        QCOMPARE(Wire::encode(QStringLiteral("a\u4E2Db")), QByteArray("a?b"));
        // A character outside the basic plane is one character, so one "?".
        QCOMPARE(Wire::encode(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
        QCOMPARE(Wire::encode(QString(QChar(0xD83D))), QByteArray("?")); // lone surrogate
    }
};

int runWireTests(int argc, char **argv)
{
    WireTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_wire.moc"
