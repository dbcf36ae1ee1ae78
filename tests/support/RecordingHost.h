#pragma once
// A parser host that records the lines sent and the window state, and two
// recording panes, so parser tests see every effect of a line; and the rig
// of host, roster and parser that the parser and roster tests feed with
// bytes and read back as text.

#include "RecordingSink.h"
#include "chat/ChatParser.h"
#include "chat/RosterModel.h"
#include "chat/TimeStamp.h"

#include <QMap>
#include <QStringList>
#include <QTest>

class RecordingHost : public ParserHost
{
public:
    void loggedOn(const QString &name) override
    {
        ownName = name;
        accepting = true;
    }
    void setReplyName(const QString &name) override { replyName = name; }
    void setChannel(const QString &name) override { channel = name; }
    // As the session: nothing goes out before the logon is accepted or after
    // it was refused.
    bool sendJoin(const QString &line) override
    {
        if (accepting)
            sent.append(line);
        return accepting;
    }
    void leftChannel() override
    {
        channel.clear();
        ++left;
    }
    void logonRefused(const QString &reason) override
    {
        refused << reason;
        accepting = false;
    }
    void addressed(const QString &from, const QString &text) override { alerts << from + ':' + text; }

    RecordingSink upper;
    RecordingSink lower;
    QString ownName;
    QString replyName;
    QString channel;
    QStringList sent;
    int left = 0;
    QStringList refused;
    QStringList alerts;
    bool accepting = false;
};

struct ParserRig {
    RecordingHost host;
    RosterModel roster;
    ChatParser parser{host, roster, host.upper, host.lower};

    ParserRig() { parser.setOptions({true, QStringLiteral("Lobby")}); }
    // A new connection for parser and host.
    void reconnect()
    {
        parser.resetConnection();
        host.accepting = false;
    }

    // One arrival, read in slices that end at the given cuts.
    void arrive(const QByteArray &bytes, QList<qsizetype> cuts = {})
    {
        parser.beginArrival();
        qsizetype from = 0;
        for (qsizetype cut : cuts << bytes.size()) {
            parser.ParseData(bytes.mid(from, cut - from));
            QVERIFY(parser.pendingBytes() <= ChatParser::MaxTail);
            from = cut;
        }
    }

    // A pane's runs as "[colour]text", with the time stamp as "[S]" and CR LF as "\n".
    static QString render(const QList<Run> &runs)
    {
        using namespace Colors;
        static const QMap<Rgb, QString> names{{Red, "red"},   {Green, "green"},    {Yellow, "yellow"}, {White, "white"},
                                             {Cyan, "cyan"}, {LogonBlue, "blue"}, {Grey, "grey"},     {HexGreen, "hex"},
                                             {Announcement, "orange"}};
        QString out;
        for (const Run &r : runs)
            out += (r.text == TimeStamp::now() && r.color == Red) ? QStringLiteral("[S]")
                                                                   : '[' + names.value(r.color) + ']' + QString(r.text).replace("\r\n", "\n");
        return out;
    }

    // What the lines left besides the runs, only what is set, the roster as
    // the view reads it (name/icon, "!" for the rank colour):
    // "own=bob channel=Chat sent=/join Lobby roster=bob/3 Op/10! count= 2"
    // (and left=N for own LEAVEs, refused=... for refused logons).
    QString state() const
    {
        QStringList users, out;
        for (int row = 0; row < roster.rowCount(); ++row) {
            const QModelIndex i = roster.index(row);
            users << roster.data(i).toString() + '/' + roster.data(i, RosterModel::IconRole).toString()
                         + (roster.data(i, RosterModel::ColorRole).toUInt() == RosterModel::RankColor ? "!" : "");
        }
        for (const QString &p : {"own=" + host.ownName, "reply=" + host.replyName, "channel=" + host.channel,
                                 "sent=" + host.sent.join(';'), "roster=" + users.join(' '), "count=" + roster.countLabel(),
                                 "left=" + (host.left ? QString::number(host.left) : QString()), "refused=" + host.refused.join(';')})
            if (!p.endsWith('=') && p != QLatin1String("count=0"))
                out << p;
        return out.join(' ');
    }
    // Both panes and the state, to compare whole results.
    QString all() const { return render(host.upper.runs) + '|' + render(host.lower.runs) + '|' + state(); }
};
