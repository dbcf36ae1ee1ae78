#pragma once
// Where transcript text goes. The panes implement it; tests and benchmarks
// plug in recorders or sinks that discard.

#include "chat/Colors.h"
#include <QString>

// The end of every transcript line, and of every line in the log files.
inline const QString CrLf = QStringLiteral("\r\n");

class TranscriptSink
{
public:
    virtual ~TranscriptSink() = default;
    // Appends txt in colour at the end. Callers build time stamps and the
    // closing CR LF into txt; nothing is added here.
    virtual void AddText(const QString &txt, Rgb color) = 0;

    // The appends between these belong together (one chunk from the server):
    // a sink may lay them out once, at the end, instead of after each one.
    // Batches may nest. A batch never outlives the event handler that opened
    // it, so nothing is painted while one is open.
    virtual void beginBatch() {}
    virtual void endBatch() {}
};
