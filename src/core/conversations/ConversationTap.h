#pragma once
// A transcript sink in front of the upper pane: every run goes on to the
// pane unchanged and, while a conversation is routed, is also kept for that
// conversation until the run that ends the line (CR LF). So a conversation
// tab shows exactly what the channel pane shows, in the same colours.
//
//   tap.routeLine(e.name, ConversationModel::Direction::Received);
//   EventFormatter::format(host, e);   // the whisper's runs, through the tap

#include "ConversationModel.h"

class ConversationTap : public TranscriptSink
{
public:
    ConversationTap(TranscriptSink &target, ConversationModel &model)
        : m_target(target)
        , m_model(model)
    {
    }

    // The next line's runs also go to the conversation with user. It opens
    // now, before the line reaches the log behind the target, so its earlier
    // lines read from the log do not hold this one.
    void routeLine(const QString &user, ConversationModel::Direction direction)
    {
        m_model.open(user);
        m_user = user;
        m_direction = direction;
        m_line.clear();
    }
    bool routing() const { return !m_user.isEmpty(); }

    void AddText(const QString &txt, Rgb color) override
    {
        m_target.AddText(txt, color);
        if (m_user.isEmpty())
            return;
        m_line.append({txt, color});
        if (txt.endsWith(QLatin1Char('\n'))) {
            m_model.record(m_user, m_direction, m_line);
            m_user.clear();
            m_line.clear();
        }
    }
    void beginBatch() override
    {
        m_target.beginBatch();
        m_model.beginBatch();
    }
    void endBatch() override
    {
        m_model.endBatch();
        m_target.endBatch();
    }

private:
    TranscriptSink &m_target;
    ConversationModel &m_model;
    QString m_user;
    ConversationModel::Direction m_direction = ConversationModel::Direction::Received;
    TranscriptLine m_line;
};
