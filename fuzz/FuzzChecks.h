#pragma once
// What every fuzz target checks on the client's output, and how it stops
// when a check fails: with a message and an abort, which libFuzzer reports
// with the input that caused it.

#include "chat/TranscriptSink.h"

#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                          \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", what, __FILE__, __LINE__);   \
            std::abort();                                                                    \
        }                                                                                    \
    } while (false)

// A pane that keeps its runs and checks each one: a received text never
// starts a line of its own, so a CR or LF may only close the run as its
// final CR LF.
class CheckingSink : public TranscriptSink
{
public:
    void AddText(const QString &txt, Rgb color) override
    {
        const qsizetype body = txt.endsWith(QLatin1String("\r\n")) ? txt.size() - 2 : txt.size();
        for (qsizetype i = 0; i < body; ++i) {
            const char16_t c = txt.at(i).unicode();
            FUZZ_CHECK(c != u'\r' && c != u'\n', "a CR or LF inside a transcript run");
        }
        if (keepText)
            text += txt;
        colors.append(color);
    }
    bool keepText = true;
    QString text;
    QList<Rgb> colors;
};
