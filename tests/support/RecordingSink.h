#pragma once
// A transcript sink that keeps every appended run, so tests compare whole
// runs (text and colour) instead of searching for fragments.

#include "chat/TranscriptSink.h"

#include <QTest>

#include <algorithm>

// The line break that closes every transcript line.

struct Run {
    QString text;
    Rgb color = 0;
    bool operator==(const Run &o) const { return text == o.text && (color & 0xFFFFFF) == (o.color & 0xFFFFFF); }
};

class RecordingSink : public TranscriptSink
{
public:
    void AddText(const QString &txt, Rgb color) override { runs.append({txt, color & 0xFFFFFF}); }
    QString plainText() const
    {
        QString all;
        for (const Run &r : runs)
            all += r.text;
        return all;
    }
    // How many runs read exactly this text.
    qsizetype count(const QString &text) const { return std::ranges::count(runs, text, &Run::text); }
    void clear() { runs.clear(); }
    QList<Run> runs;
};

// Pretty-printing for QCOMPARE failures.
template<> inline char *QTest::toString(const Run &r)
{
    return qstrdup(QStringLiteral("(\"%1\", #%2)").arg(QString(r.text).replace(CrLf, QLatin1String("\\r\\n")))
                       .arg(r.color & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUtf8().constData());
}
