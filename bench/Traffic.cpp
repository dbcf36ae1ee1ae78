#include "Traffic.h"

#include <QByteArrayList>
#include <QSet>

#include <random>

namespace {

const char *const kSyllables[] = {"ka", "ra", "zel", "tor", "mi", "ash", "grim", "ul", "fen", "do",
                                  "sar", "vex", "lo", "thi", "ba", "nor", "qu", "ix", "en", "wy"};
const char *const kWords[] = {"hi", "anyone", "up", "for", "a", "game", "?", "gg", "lol", "ok", "brb",
                              "where", "is", "the", "map", "new", "patch", "today", "nice", "one",
                              "ladder", "rank", "who", "wants", "2v2", "thanks", "see", "you", "later",
                              "zerg", "rush", "again", "no", "way", "that", "was", "close"};
const char *const kProducts[] = {"[STAR]", "[SEXP]", "[SEXP]", "[D2DV]", "[W2BN]", "[CHAT]", "[DRTL]"};
const char *const kFlags[] = {"0010", "0010", "0010", "0000", "0000", "0012", "0002", "0020", "0001"};

class Generator
{
public:
    explicit Generator(unsigned seed)
        : m_rng(seed)
    {
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    QByteArray name()
    {
        QByteArray n;
        const int parts = 2 + pick(2);
        for (int i = 0; i < parts; ++i)
            n += kSyllables[pick(int(std::size(kSyllables)))];
        n[0] = char(std::toupper(n[0]));
        if (pick(3) == 0)
            n += QByteArray::number(pick(100));
        return n;
    }

    QByteArray text(int minWords, int maxWords)
    {
        QByteArray t;
        const int words = minWords + pick(maxWords - minWords + 1);
        for (int i = 0; i < words; ++i) {
            if (i)
                t += ' ';
            t += kWords[pick(int(std::size(kWords)))];
        }
        return t;
    }

    QByteArray product() { return kProducts[pick(int(std::size(kProducts)))]; }
    QByteArray flags() { return kFlags[pick(int(std::size(kFlags)))]; }

private:
    std::mt19937 m_rng;
};

void line(QByteArray &out, const QByteArray &l)
{
    out += l;
    out += "\r\n";
}

} // namespace

namespace Traffic {

Stream channelLife(qsizetype lines, int users, unsigned seed)
{
    Generator g(seed);
    Stream s;
    s.bytes.reserve(lines * 64 + users * 48 + 256);
    line(s.bytes, "2010 NAME Bencher");
    line(s.bytes, "1018 INFO \"Welcome to Battle.net!\"");
    line(s.bytes, "1007 CHANNEL \"Clan Ashgrove\"");
    QByteArrayList present;
    QSet<QByteArray> taken;
    auto freshName = [&] {
        QByteArray n;
        do {
            n = g.name();
        } while (taken.contains(n));
        taken.insert(n);
        return n;
    };
    for (int i = 0; i < users; ++i) {
        const QByteArray n = freshName();
        present.append(n);
        line(s.bytes, "1001 USER " + n + ' ' + g.flags() + ' ' + g.product());
    }
    s.lines = 3 + users;

    for (qsizetype i = 0; i < lines; ++i) {
        const int roll = g.pick(100);
        const QByteArray who = present.isEmpty() ? QByteArray("Nobody") : present.at(g.pick(int(present.size())));
        if (roll < 55) {
            line(s.bytes, "1005 TALK " + who + ' ' + g.flags() + " \"" + g.text(5, 17) + '"');
        } else if (roll < 73) {
            // Comings and goings keep the channel near its starting size.
            const bool join = roll < 64 ? present.size() < users + 25 : present.size() <= qMax(1, users - 25);
            if (join) {
                const QByteArray n = freshName();
                present.append(n);
                line(s.bytes, "1002 JOIN " + n + ' ' + g.flags() + ' ' + g.product());
            } else {
                const QByteArray n = present.takeAt(g.pick(int(present.size())));
                taken.remove(n);
                line(s.bytes, "1003 LEAVE " + n + ' ' + g.flags());
            }
        } else if (roll < 80) {
            line(s.bytes, "1004 WHISPER " + who + ' ' + g.flags() + " \"" + g.text(5, 13) + '"');
        } else if (roll < 87) {
            line(s.bytes, "1023 EMOTE " + who + ' ' + g.flags() + " \"" + g.text(3, 9) + '"');
        } else if (roll < 94) {
            line(s.bytes, "1009 USER " + who + ' ' + g.flags());
        } else if (roll < 97) {
            line(s.bytes, "1018 INFO \"" + g.text(5, 13) + '"');
        } else if (roll < 98) {
            line(s.bytes, "1019 ERROR \"That user is not logged on.\"");
        } else {
            // Another copy of this client talking in hex: "£" and two digits a character.
            const QByteArray plain = g.text(1, 3);
            line(s.bytes, "1005 TALK " + who + ' ' + g.flags() + " \"\xA3" + plain.toHex().toUpper() + '"');
        }
    }
    s.lines += lines;
    return s;
}

Stream talkOnly(qsizetype lines, unsigned seed)
{
    Generator g(seed);
    QByteArrayList names;
    for (int i = 0; i < 50; ++i)
        names.append(g.name());
    Stream s;
    s.bytes.reserve(lines * 64);
    for (qsizetype i = 0; i < lines; ++i)
        line(s.bytes, "1005 TALK " + names.at(g.pick(50)) + ' ' + g.flags() + " \"" + g.text(5, 15) + '"');
    s.lines = lines;
    return s;
}

QByteArray crowdedChannel(int users, unsigned seed)
{
    Generator g(seed);
    QByteArray out;
    line(out, "1007 CHANNEL \"Crowded\"");
    QSet<QByteArray> taken;
    for (int i = 0; i < users; ++i) {
        QByteArray n;
        do {
            n = g.name();
        } while (taken.contains(n));
        taken.insert(n);
        line(out, "1001 USER " + n + ' ' + g.flags() + ' ' + g.product());
    }
    return out;
}

QList<QByteArray> slices(const QByteArray &bytes, qsizetype size)
{
    QList<QByteArray> out;
    for (qsizetype at = 0; at < bytes.size(); at += size)
        out.append(bytes.mid(at, size));
    return out;
}

} // namespace Traffic
