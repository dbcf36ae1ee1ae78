// The friends-list reader: arbitrary INFO texts (one per input line) with
// requests, friends coming and going, the Friends view's commands and lost
// connections in between. Whatever arrives, each text is shown exactly once
// unless a reply that was asked for swallowed it, in order; at most one
// request is awaited at a time; a command never carries a second name (line
// breaks are the send path's to blank out); and the list holds only what a
// line of the reply said.

#include "FuzzChecks.h"

#include "conversations/FriendsList.h"

#include <QCoreApplication>

#include <fuzzer/FuzzedDataProvider.h>

static QCoreApplication *app = nullptr;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    app = new QCoreApplication(*argc, *argv);
    return 0;
}

namespace {

struct Watch {
    QStringList held;      // texts the reader took and has not given back
    int requests = 0;      // "/f l" sent and not yet answered or given up
    int replies = 0;       // replies read whole
};

QString consumeText(FuzzedDataProvider &in)
{
    const std::string bytes = in.ConsumeRandomLengthString(160);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    FriendsList reader;
    FriendsModel &model = reader.model();
    Watch watch;
    QObject::connect(&reader, &FriendsList::commandReady, [&](const QString &line) {
        if (line == FriendsList::ListCommand) {
            FUZZ_CHECK(watch.requests == 0, "a second list request while one is awaited");
            ++watch.requests;
        } else {
            FUZZ_CHECK(line.count(QLatin1Char(' ')) == 2 || line.startsWith(QLatin1String("/whois ")),
                       "a friends command with more than one name");
        }
    });
    QObject::connect(&reader, &FriendsList::released, [&](const QStringList &texts) {
        FUZZ_CHECK(texts == watch.held, "texts given back are not the ones held, in order");
        watch.held.clear();
    });
    QObject::connect(&model, &FriendsModel::stateChanged, [&](FriendsModel::State state) {
        if (state == FriendsModel::State::Reading)
            return;
        // Answered, given up or cut off: nothing is held any more.
        FUZZ_CHECK(!reader.reading() || watch.requests == 1, "a reply read without a request");
        if (!reader.reading())
            watch.requests = 0;
        if (state == FriendsModel::State::Read) {
            watch.held.clear();   // the reply itself, which nobody sees
            ++watch.replies;
        }
    });

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 15)) {
        case 0: reader.refresh(); break;
        case 1: reader.connectionLost(); break;
        case 2: reader.friendCame(consumeText(in)); break;
        case 3: reader.friendLeft(consumeText(in)); break;
        case 4: reader.add(consumeText(in)); break;
        case 5: reader.remove(consumeText(in)); break;
        case 6: reader.whois(consumeText(in)); break;
        default: {
            const QString text = consumeText(in);
            const bool wasReading = reader.reading();
            const int replies = watch.replies;
            if (reader.consume(text)) {
                FUZZ_CHECK(wasReading, "a text taken while no reply was awaited");
                if (watch.replies == replies)   // else it was the reply's last line
                    watch.held.append(text);
            }
            break;
        }
        }
        FUZZ_CHECK(reader.reading() == (watch.requests == 1), "reading without a request, or the reverse");
        FUZZ_CHECK(reader.reading() || watch.held.isEmpty(), "texts held while nothing is read");
    }
    for (const FriendsModel::Friend &f : model.friends()) {
        FUZZ_CHECK(!f.name.isEmpty() && !f.name.contains(QLatin1Char(' ')) && !f.status.isEmpty(),
                   "a friend no line of the reply named");
    }
    FUZZ_CHECK(model.rowCount() <= FriendsList::MaxFriends, "more friends than a list holds");
    reader.connectionLost();
    FUZZ_CHECK(watch.held.isEmpty(), "texts kept after the connection was lost");
    return 0;
}
