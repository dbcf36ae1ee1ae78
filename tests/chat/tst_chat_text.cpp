// What the transcript and the input line make of chat text: web addresses
// (nothing but http and https is ever a link), mentions of the own name,
// and Tab completion of user names.

#include "chat/Highlight.h"
#include "chat/LinkFinder.h"
#include "outgoing/InputLine.h"
#include "outgoing/NameCompletion.h"

#include <QTest>

static const QStringList Names = {"Alice", "alan", "Bob", "[xX]Al"};

class ChatTextTest : public QObject
{
    Q_OBJECT
private slots:
    void addresses()
    {
        const QList<std::pair<QString, QStringList>> rows = {
            {"see http://a.example/x?y=1&z=%20, ok", {"http://a.example/x?y=1&z=%20"}},
            {"HTTPS://A.example/ or www.b.example.", {"HTTPS://A.example/", "www.b.example"}},
            {"(www.c.example/w_(x)) [https://d.example]", {"www.c.example/w_(x)", "https://d.example"}},
            {"\"http://e.example/<b>\" 'www.f.example'", {"http://e.example/", "www.f.example"}},
            // Other schemes, addresses inside words, a bad port: no links.
            {"file:///etc javascript:alert(1) www.javascript:alert(1) ftp://g.example", {}},
            {"x:http://h.example a@www.i.example a.www.j.example wwwx.example http:// www. http://k.example:99999", {}},
            {QStringLiteral("http://l.example\x01x www.m.example\u00A0n"), {"http://l.example", "www.m.example"}},
            {"xwww.n.example", {}},
        };
        for (const auto &[text, links] : rows) {
            QStringList found;
            for (const LinkFinder::Span &span : LinkFinder::find(text)) {
                found << text.mid(span.start, span.length);
                QVERIFY(QStringList({"http", "https"}).contains(LinkFinder::target(found.last()).scheme()));
            }
            QCOMPARE(found, links);
        }
    }

    void mentions()
    {
        const QList<std::tuple<QString, QString, bool>> rows = {
            {"hi Bob!", "bob", true},     {"BOB", "Bob", true},         {"bobby", "bob", false},
            {"hi bob2", "bob", false},    {"bobb, _bob_", "bob", true}, {"[xX]Bob: yo", "[xx]bob", true},
            {"jimbob", "bob", false}, {"anything", "", false}};
        for (const auto &[text, name, mentioned] : rows)
            QVERIFY2(Highlight::mentions(text, name) == mentioned, qPrintable(text));
        // A name that starts the text stands alone, whatever lies before the text in memory.
        static const char16_t xbob[] = u"xBob";
        QVERIFY(Highlight::mentions(QString::fromRawData(reinterpret_cast<const QChar *>(xbob + 1), 3), "bob"));
    }

    void completion()
    {
        // The text with the cursor as "|", Tab pressed so many times, the result.
        const QList<std::tuple<QString, int, QString>> rows = {
            {"al|", 1, "Alice, |"},         {"al|", 2, "alan, |"},     {"al|", 3, "Alice, |"},
            {"hi b| there", 1, "hi Bob| there"}, {"[x|", 1, "[xX]Al, |"}, {"hi zed|", 1, "hi zed|"},
            {"hi |", 2, "hi |"}};
        for (const auto &[before, tabs, after] : rows) {
            NameCompletion completion;
            NameCompletion::Result r{QString(before).remove('|'), before.indexOf('|')};
            for (int i = 0; i < tabs; ++i)
                r = completion.complete(r.text, r.cursor, Names).value_or(r);
            QCOMPARE(r.text.insert(r.cursor, '|'), after);
        }
        // A new word after a completion is completed afresh, not taken for another
        // Tab, even with the cursor where the completion left it ("Alice, |").
        NameCompletion completion;
        completion.complete("al", 2, Names);
        QCOMPARE(completion.complete("hi bo b", 7, Names).value_or(NameCompletion::Result{}).text, "hi bo Bob");
    }

    // Tab completes in the input line; in an empty line it moves the focus on.
    void tabInTheInputLine()
    {
        QWidget window;
        auto *input = new InputLine(&window);
        auto *next = new InputLine(&window);
        input->setNameSource([] { return Names; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        input->setFocus();
        QTest::keyClicks(input, "hi A\t\t");
        QCOMPARE(input->editText(), QStringLiteral("hi alan"));
        QVERIFY(input->hasFocus());
        input->clearEditText();
        QTest::keyClick(input, Qt::Key_Tab);
        QVERIFY(next->hasFocus());
    }
};

QTEST_MAIN(ChatTextTest)
#include "tst_chat_text.moc"
