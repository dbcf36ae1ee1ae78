// Conversations: the tab model, whisper and friend-notice classification,
// the friends-list reader on the recorded server bytes, and the day's log.

#include "RecordingHost.h"
#include "chat/TranscriptPane.h"
#include "conversations/ConversationArea.h"
#include "chat/EventDecoder.h"
#include "chat/LineSplitter.h"
#include "codec/Wire.h"
#include "conversations/ConversationModel.h"
#include "conversations/ConversationTap.h"
#include "conversations/DayHistory.h"
#include "conversations/FriendsList.h"
#include "conversations/Whispers.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QFile>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every event of the bytes, decoded as the parser decodes them.
template<typename F>
void forEachEvent(const QByteArray &bytes, F f)
{
    LineSplitter splitter;
    EventDecoder decoder;
    splitter.start(bytes);
    for (auto piece = splitter.next(); piece.kind != LineSplitter::Piece::End; piece = splitter.next())
        f(decoder.decode(Wire::decode(piece.bytes.toByteArray()).trimmed()));
}

} // namespace

class ConversationsTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { TimeStamp::setClockForTesting([] { return QTime(12, 0); }); }

    void model_data();
    void model();
    void samePanesRuns_data();
    void samePanesRuns();
    void typedWhisper_data();
    void typedWhisper();
    void friendNotice_data();
    void friendNotice();
    void friendsReply_data();
    void friendsReply();
    void friendsTimeout();
    void dayLog();
    void area();
};

// ops: "r Name" received, "s Name" sent, "c"/"ca" a channel line (alert),
// "v N" view (show) row N, "x N" close it; then the tab texts and what "typed" sends from the shown tab.
void ConversationsTest::model_data()
{
    QTest::addColumn<QString>("ops");
    QTest::addColumn<QString>("tabs");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sends");
    QTest::newRow("whisper opens, counts, marks") << "r Mira" << "Channel|! Mira (1)" << "hi" << "hi";
    QTest::newRow("names ignore case, first spelling") << "r Mira;r MIRA;s mira" << "Channel|! Mira (2)" << "" << "";
    QTest::newRow("own whisper: no count") << "s Tobin" << "Channel|Tobin" << "" << "";
    QTest::newRow("shown: read, talk whispers") << "r Mira;v 1;r mira" << "Channel|Mira" << "hi" << "/w Mira hi";
    QTest::newRow("commands go as typed") << "r Mira;v 1" << "Channel|Mira" << "/join x" << "/join x";
    QTest::newRow("channel counts when hidden") << "r A;v 1;c;ca" << "! Channel (2)|A" << "" << "";
    QTest::newRow("channel shown: no count") << "c" << "Channel" << "" << "";
    QTest::newRow("channel read when shown") << "r A;v 1;c;v 0" << "Channel|A" << "" << "";
    QTest::newRow("close the shown one") << "r A;r B;v 2;x 2;r a" << "Channel|A" << "x" << "/w A x";
    QTest::newRow("channel stays, no row past the end") << "r A;x 0;x 2" << "Channel|! A (1)" << "" << "";
}

void ConversationsTest::model()
{
    QFETCH(QString, ops);
    ConversationModel m;
    for (const QString &op : ops.split(';')) {
        const QString arg = op.section(' ', 1);
        switch (op.at(0).unicode()) {
        case 'r': m.recordReceived(arg, "x"); break;
        case 's': m.recordSent(arg, "x"); break;
        case 'c': m.recordChannelLine(op == "ca"); break;
        case 'v': m.setShownRow(arg.toInt()); break;
        default: m.close(arg.toInt());
        }
    }
    QStringList tabs;
    for (int row = 0; row < m.rowCount(); ++row)
        tabs << m.index(row).data().toString();
    QFETCH(QString, typed);
    QTEST(tabs.join('|'), "tabs");
    QTEST(m.lineToSend(m.shownRow(), typed), "sends");
}

// A conversation's lines are the runs the channel pane gets for the same
// line, whether recorded from the text or routed through the tap.
void ConversationsTest::samePanesRuns_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("sent");
    QTest::newRow("1004") << QByteArray("1004 WHISPER Mira 0010 \"hi \"there\"\r\n") << false;
    QTest::newRow("1010") << QByteArray("1010 WHISPER Mira 0010 \"yo\"\r\n") << true;
}

void ConversationsTest::samePanesRuns()
{
    QFETCH(QByteArray, line);
    ParserRig rig;
    rig.arrive(line);
    std::optional<Whispers::Whisper> w;
    forEachEvent(line, [&](const ChatEvent &e) { w = Whispers::fromEvent(e); });
    QVERIFY(w);
    QTEST(w->direction == Whispers::Direction::Sent, "sent");
    ConversationModel m;
    RecordingSink pane;
    ConversationTap tap(pane, m);
    tap.routeLine(w->user, w->direction);
    for (const Run &r : rig.host.upper.runs)
        tap.AddText(r.text, r.color);
    w->direction == Whispers::Direction::Sent ? m.recordSent(w->user, w->text) : m.recordReceived(w->user, w->text);
    QCOMPARE(pane.runs, rig.host.upper.runs);
    QCOMPARE(m.lines(1).size(), 2);
    for (const TranscriptLine &l : m.lines(1)) {
        QList<Run> runs;
        for (const TranscriptRun &r : l)
            runs.append({r.text, r.color});
        QCOMPARE(runs, rig.host.upper.runs);
    }
}

void ConversationsTest::typedWhisper_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("whisper");
    QTest::newRow("/w") << "/w Tobin yo" << "" << "Tobin:yo";
    QTest::newRow("/MSG, text with blanks") << "/MSG tobin a b" << "" << "tobin:a b";
    QTest::newRow("/whisper without text") << "/whisper x " << "" << "";
    QTest::newRow("/m") << "/m x y" << "" << "x:y";
    QTest::newRow("/reply") << "/reply hi" << "Mira" << "Mira:hi";
    QTest::newRow("/r, nobody to reply to") << "/r hi" << "" << "";
    QTest::newRow("/where is no whisper") << "/where x y" << "" << "";
    QTest::newRow("talk") << "w x y" << "" << "";
}

void ConversationsTest::typedWhisper()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    const auto w = Whispers::fromTyped(line, reply);
    QTEST(w ? w->user + ':' + w->text : QString(), "whisper");
}

void ConversationsTest::friendNotice_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("notice");
    QTest::newRow("arrival") << QByteArray("1004 WHISPER alice 0010 \"Your friend alice has entered PvPGN Realm.\"") << "0 alice";
    QTest::newRow("game") << QByteArray("1004 WHISPER Alice 0010 \"Your friend alice has entered a Chat game named \"x\".\"") << "0 alice";
    QTest::newRow("departure") << QByteArray("Your friend alice has left PvPGN Realm.") << "1 alice";
    QTest::newRow("somebody else's words") << QByteArray("1004 WHISPER mallory 0010 \"Your friend alice has entered PvPGN Realm.\"") << "";
    QTest::newRow("said in talk") << QByteArray("1005 TALK alice 0010 \"Your friend alice has left PvPGN Realm.\"") << "";
    QTest::newRow("a whisper") << QByteArray("1004 WHISPER alice 0010 \"Your friend\"") << "";
}

void ConversationsTest::friendNotice()
{
    QFETCH(QString, notice);
    QFETCH(QByteArray, line);
    forEachEvent(line + "\r\n", [&](const ChatEvent &e) {
        const auto n = Whispers::friendNotice(e);
        QCOMPARE(n ? QString::number(n->kind) + ' ' + n->name : QString(), notice);
        // A notice opens no conversation; a whisper that is none does.
        QCOMPARE(Whispers::fromEvent(e).has_value(), e.kind == ChatEvent::Kind::Whisper && notice.isEmpty());
    });
}

// The INFO lines that show (in order) when the list is asked for after the
// logon and again on each friend notice, and the list read.
void ConversationsTest::friendsReply_data()
{
    QFile capture(QUILLON_CAPTURES "/friends-list.bin");
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QByteArray bytes = capture.readAll();
    const QByteArray header = "2010 NAME bob\r\n1018 INFO \"Realm - Friends List\"\r\n1018 INFO \"=-=-\"\r\n";
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("firstShown");
    QTest::addColumn<QString>("friends");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("asked");
    const QString read = "*alice - in channel \"Chat\"|carol - offline";
    QTest::newRow("capture") << bytes << 15 << "Running version PvPGN 1.99.7.2.1-PRO on vm." << read
                             << int(FriendsModel::State::Reading) << 3;
    QTest::newRow("not asked") << bytes.left(bytes.indexOf("1003 LEAVE")).replace("2010 NAME", "2000 NULL") << 20
                               << "Running version PvPGN 1.99.7.2.1-PRO on vm." << "" << 0 << 0;
    QTest::newRow("broken off: held lines first") << header + "1018 INFO \"1 alice\"\r\n" << 3 << "Realm - Friends List"
                                                  << "" << int(FriendsModel::State::Unreadable) << 1;
    QTest::newRow("no separator: held line first") << header.left(header.indexOf("1018 INFO \"=-")) + "1018 INFO \"1 alice\"\r\n"
                                                   << 2 << "Realm - Friends List" << "" << int(FriendsModel::State::Unreadable) << 1;
    QTest::newRow("empty list, no client")
        << header + "1018 INFO \"=-\"\r\n1018 INFO \"End of Friends List\"\r\n" << 0 << "" << ""
        << int(FriendsModel::State::Read) << 1;
    QTest::newRow("game, no client")
        << header + "1018 INFO \"1:  x, in game \"a, b\", \"\r\n1018 INFO \"=-\"\r\n1018 INFO \"End of Friends List\"\r\n"
        << 0 << "" << "x - in game \"a, b\"" << int(FriendsModel::State::Read) << 1;
}

void ConversationsTest::friendsReply()
{
    FriendsList list;
    QStringList shown;
    int asked = 0;
    connect(&list, &FriendsList::released, this, [&](const QStringList &texts) { shown += texts; });
    connect(&list, &FriendsList::commandReady, this, [&](const QString &line) { asked += line == "/f l"; });
    QFETCH(QByteArray, bytes);
    forEachEvent(bytes, [&](const ChatEvent &e) {
        if (e.kind == ChatEvent::Kind::Name)
            list.refresh();
        if (const auto n = Whispers::friendNotice(e))
            n->kind == Whispers::FriendNotice::Entered ? list.friendCame(n->name) : list.friendLeft(n->name);
        if (e.kind == ChatEvent::Kind::Info && !list.consume(e.text))
            shown << e.text;
    });
    QStringList friends;
    for (int row = 0; row < list.model().rowCount(); ++row)
        friends << list.model().index(row).data().toString();
    QTEST(int(shown.size()), "shown");
    QTEST(shown.value(0), "firstShown");
    QTEST(friends.join('|'), "friends");
    QTEST(int(list.model().state()), "state");
    QTEST(asked, "asked");
}

// A reply that does not end in time: what was held shows, once, and later
// lines of it show as usual.
void ConversationsTest::friendsTimeout()
{
    FriendsList list;
    list.setTimeoutForTesting(20);
    QSignalSpy released(&list, &FriendsList::released);
    list.refresh();
    QVERIFY(list.consume("Your PvPGN Realm - Friends List"));
    QVERIFY(list.consume("=-=-"));
    QTRY_COMPARE(released.size(), 1);
    QCOMPARE(released.at(0).at(0).toStringList(), QStringList({"Your PvPGN Realm - Friends List", "=-=-"}));
    QCOMPARE(list.model().stateText(), FriendsModel::UnreadableText);
    QVERIFY(!list.consume("1:  carol, offline, "));
    QTest::qWait(40);
    QCOMPARE(released.size(), 1);
    // The next read is asked for once, and once more for a refresh during it.
    QSignalSpy asked(&list, &FriendsList::commandReady);
    list.refresh();
    list.refresh();
    for (int read = 0; read < 2; ++read)
        for (const char *text : {"Realm - Friends List", "=-", "=-", "End of Friends List"})
            QVERIFY(list.consume(text));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(list.model().state(), FriendsModel::State::Read);
}

// The newest dated log's last lines, each in UTF-8 or Windows-1252, when
// they end, and the earlier lines of one conversation.
void ConversationsTest::dayLog()
{
    QTemporaryDir dir;
    const QString stamp = '[' + QLocale::system().toString(QTime(12, 34, 56), TimeStamp::timeFormat()) + "]  ";
    QByteArray log;
    for (int i = 0; i < 150; ++i)
        log += stamp.toUtf8() + "line " + QByteArray::number(i) + "\r\n";
    log += stamp.toUtf8() + "Mira whispers: caf\xc3\xa9\r\n" + stamp.toUtf8() + "You whisper to MIRA: caf\xe9 \x80\r\n"
           + "Mira whispers: Your friend Mira has entered PvPGN Realm.\r\nTobin whispers: x\r\nunfinished";
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    };
    write("2024-05-02.log", "old\r\n");
    write("2024-05-03.log", log);
    write("2024-13-40.log", "not a day\r\n");
    write("notes.log", "no date\r\n");
    QCOMPARE(DayHistory::latestLog(dir.path()), dir.filePath("2024-05-03.log"));
    const DayHistory::Tail tail = DayHistory::readTail(DayHistory::latestLog(dir.path()));
    QCOMPARE(tail.lines.size(), 100);
    QCOMPARE(tail.lines.first(), stamp + "line 55");
    QCOMPARE(tail.lines.last(), "unfinished");
    QCOMPARE(tail.endsAt, QDateTime(QDate(2024, 5, 3), QTime(12, 34, 56)));
    QCOMPARE(DayHistory::conversationLines(dir.filePath("2024-05-03.log"), "mira"),
             QStringList({stamp + "Mira whispers: café", stamp + "You whisper to MIRA: café €"}));
    QVERIFY(DayHistory::latestLog(dir.filePath("none")).isEmpty());
    QVERIFY(DayHistory::readTail(dir.filePath("none")).lines.isEmpty());
}

// The tabs follow the model: texts, runs into the pane, shown tabs read,
// closing moves to the left neighbour, and the keys' slots wrap around.
void ConversationsTest::area()
{
    ConversationModel m;
    QAbstractItemModelTester modelRules(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ConversationArea area(m, new TranscriptPane("txtMenu", "mClr"));
    m.recordReceived("Mira", "hi");
    m.recordReceived("Tobin", "yo");
    QTRY_COMPARE(area.tabBar()->tabText(1), "! Mira (1)");
    QVERIFY(area.paneAt(1)->plainTextCrLf().endsWith("Mira whispers: hi\r\n"));
    area.nextTab();
    QTRY_COMPARE(area.tabBar()->tabText(1), "Mira");
    area.closeCurrent();
    QCOMPARE(area.currentRow(), 0);
    QTRY_COMPARE(area.tabBar()->tabText(1), "! Tobin (1)");
    area.closeCurrent();
    area.previousTab();
    QCOMPARE(m.shownRow(), 1);
    QTRY_COMPARE(area.tabBar()->tabText(1), "Tobin");
    QCOMPARE(area.currentPane(), area.paneAt(1));
    // What comes while a tab is hidden is in its pane when it is shown; closing
    // a tab before the shown one keeps the shown conversation on screen.
    area.previousTab();
    m.recordReceived("Tobin", "later");
    m.recordReceived("Ann", "a");
    m.recordReceived("Cid", "c");
    area.showRow(1);
    QVERIFY(area.currentPane()->plainTextCrLf().endsWith("Tobin whispers: later\r\n"));
    QTRY_COMPARE(area.tabBar()->count(), 4);
    area.show();
    m.recordReceived("Tobin", "now");   // straight into the pane shown
    QVERIFY(area.currentPane()->plainTextCrLf().endsWith("Tobin whispers: now\r\n"));
    m.recordReceived("Ann", "b");
    m.recordReceived("Cid", "d");       // two tab texts in one turn
    QTRY_COMPARE(area.tabBar()->tabText(3), "! Cid (2)");
    QCOMPARE(area.tabBar()->tabText(2), "! Ann (2)");
    // A tab added while the bar shows has its close button on screen, in the
    // tab, and both have their names for a screen reader.
    m.recordReceived("Dan", "e");
    QTRY_COMPARE(area.tabBar()->count(), 5);
    const auto side = QTabBar::ButtonPosition(area.style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition));
    const QWidget *close = area.tabBar()->tabButton(4, side);
    QVERIFY(close->isVisible() && area.tabBar()->tabRect(4).contains(close->geometry()));
    QCOMPARE(QAccessible::queryAccessibleInterface(area.tabBar())->child(4)->text(QAccessible::Name),
             "Dan, 1 unread, whispered to you");
    QCOMPARE(close->accessibleName(), "Close the conversation with Dan");
    m.close(4);
    area.showRow(3);
    m.close(1);
    QCOMPARE(area.currentRow(), 2);
    QVERIFY(area.currentPane()->plainTextCrLf().endsWith("Cid whispers: d\r\n"));
    QCOMPARE(area.findChild<QStackedWidget *>()->currentWidget(), area.currentPane());   // the one on screen
}

QTEST_MAIN(ConversationsTest)
#include "tst_conversations.moc"
