// A crowded channel arriving over loopback: from the first byte the gateway
// writes until the main window's roster shows every user.

#include "Benchmarks.h"
#include "ClientWindow.h"
#include "EventWait.h"
#include "LoopbackServer.h"
#include "Report.h"
#include "Traffic.h"

#include "chat/ChatSession.h"

#include <QApplication>
#include <QListView>

void Bench::roster()
{
    constexpr int Users = 2000;
    const auto window = ClientWindow::show();
    if (!window)
        return;
    ChatSession &session = window->session();
    auto *view = window->findChild<QListView *>(QStringLiteral("lstUser"));

    LoopbackServer server("2010 NAME Bencher\r\n" + Traffic::crowdedChannel(Users));
    if (!server.listening() || !view) {
        Report::note(QStringLiteral("roster: no loopback socket or no roster view"));
        return;
    }
    session.setPortForTesting(server.port());
    session.Login();

    EventWait::until([&] { return session.roster().count() >= Users; }, 30000);
    // The view lays out its rows on its next turn; then one paint shows them,
    // once the view paints again if it is holding its painting back (see
    // RepaintPacer).
    QApplication::processEvents();
    EventWait::until([&] { return view->updatesEnabled(); }, 1000);
    view->viewport()->repaint();
    const auto end = std::chrono::steady_clock::now();

    if (session.roster().count() != Users || !server.writing()) {
        Report::note(QStringLiteral("roster: only %1 of %2 users arrived").arg(session.roster().count()).arg(Users));
        return;
    }
    const double ms = std::chrono::duration<double, std::milli>(end - server.writeStart()).count();
    Report::figure(QStringLiteral("roster 2000 users shown"), ms, QStringLiteral("ms"));
}
