// The pane's plain text, which the log file is made of, keeps every
// character that was appended: a no-break space (byte 0xA0) included.

#include "chat/TranscriptPane.h"
#include "codec/Wire.h"

#include <QTest>

class PanePlainTextTest : public QObject
{
    Q_OBJECT
private slots:
    void everyPrintableCharacterSurvives()
    {
        TranscriptPane pane("txtMenu", "mClr");
        QByteArray bytes;
        for (int b = 0x20; b <= 0xFF; ++b)
            bytes += char(b);
        const QString line = Wire::decode(bytes);
        pane.AddText(line + QStringLiteral("\r\n"), 0xFFFFFF);
        pane.AddText(QStringLiteral("no\u00A0break\r\n"), 0x00FF00);
        pane.AddText(QStringLiteral("\r\n"), 0x00FF00);
        QCOMPARE(pane.plainTextCrLf(), line + QStringLiteral("\r\nno\u00A0break\r\n\r\n"));
        QCOMPARE(Wire::encode(pane.plainTextCrLf()), bytes + "\r\nno\xA0" "break\r\n\r\n");
    }
};

QTEST_MAIN(PanePlainTextTest)
#include "tst_pane_plaintext.moc"
