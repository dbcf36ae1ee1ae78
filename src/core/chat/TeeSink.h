#pragma once
// A transcript sink in front of another one: every run goes on to the target
// unchanged and then, as shown, to a copy function (the daily log). Batches
// pass through; the copy needs none.

#include "chat/TranscriptSink.h"

#include <functional>
#include <utility>

class TeeSink : public TranscriptSink
{
public:
    using Copy = std::function<void(const QString &txt)>;

    TeeSink(TranscriptSink &target, Copy copy)
        : m_target(target)
        , m_copy(std::move(copy))
    {
    }

    void AddText(const QString &txt, Rgb color) override
    {
        m_target.AddText(txt, color);
        m_copy(txt);
    }
    void beginBatch() override { m_target.beginBatch(); }
    void endBatch() override { m_target.endBatch(); }

private:
    TranscriptSink &m_target;
    Copy m_copy;
};
