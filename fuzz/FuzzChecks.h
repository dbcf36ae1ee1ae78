#pragma once
// What every fuzz target checks on the client's output, and how it stops
// when a check fails: with a message and an abort, which libFuzzer reports
// with the input that caused it.

#include "chat/ChatParser.h"
#include "chat/TranscriptSink.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzCheckFailed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}
#define FUZZ_CHECK(condition, what) ((condition) ? void() : fuzzCheckFailed(what, __FILE__, __LINE__))

inline bool breaksLine(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// A pane that checks each run, and keeps its text unless told not to: a
// received text never starts a line of its own, so a CR or LF may only
// close the run as its final CR LF.
class CheckingSink : public TranscriptSink
{
public:
    void AddText(const QString &txt, Rgb) override
    {
        FUZZ_CHECK(!breaksLine(QStringView(txt).chopped(txt.endsWith(QLatin1String("\r\n")) ? 2 : 0)),
                   "a CR or LF inside a transcript run");
        if (keepText)
            text += txt;
    }
    bool keepText = true;
    QString text;
};

// The session as the parser sees it: two panes, and a server that must
// never get a line with a line break of its own inside.
class FuzzHost : public ParserHost
{
public:
    FuzzHost(TranscriptSink &up, TranscriptSink &low) : upper(up), lower(low) {}
    void loggedOn(const QString &) override {}
    void setReplyName(const QString &) override {}
    void setChannel(const QString &) override {}
    bool sendJoin(const QString &line) override
    {
        FUZZ_CHECK(!breaksLine(line), "a line sent to the server holds its own line break");
        return true;
    }
    // The options a parser of this host follows.
    ParserOptions options() const { return {joinLeaveOn, QStringLiteral("Lobby")}; }

    TranscriptSink &upper;
    TranscriptSink &lower;
    bool joinLeaveOn = true;
};
