#pragma once
// Realistic gateway traffic for the benchmarks: a logon, a channel with its
// users, then talk, joins, leaves, whispers, emotes, flag changes and the odd
// information line, about 60 bytes a line. The mix is fixed by a seed, so
// every run measures the same bytes.

#include <QByteArray>
#include <QList>

namespace Traffic {

struct Stream {
    QByteArray bytes;
    qsizetype lines = 0;
};

// The logon and channel lines (own name, welcome, CHANNEL, `users` USER
// lines) followed by `lines` lines of channel life.
Stream channelLife(qsizetype lines, int users = 150, unsigned seed = 2026);

// Talk only: what piles up in the upper pane of a busy channel.
Stream talkOnly(qsizetype lines, unsigned seed = 7);

// A channel of `users` users: CHANNEL and one 1001 USER line each.
QByteArray crowdedChannel(int users, unsigned seed = 11);

// Splits a stream into slices of at most `size` bytes, cutting lines apart
// the way a socket delivers them.
QList<QByteArray> slices(const QByteArray &bytes, qsizetype size);

} // namespace Traffic
