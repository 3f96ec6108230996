// The cluster window while a server sends 50 spots a second:
//   cluster_window_bench [qsos] [work-dir] [seconds]
// Fills a book with generated QSOs (100,000 by default), opens the cluster
// window offscreen, connects it to a local server that sends one spot every
// 20 ms for the given seconds (10 by default), and measures how long the GUI
// thread goes without running a 5 ms timer: the longest stall is what the
// operator would feel as a frozen window. Never fails on time.
#include "filled_book.h"

#include "../tests/cluster/test_cluster_server.h"

#include "cluster/spot_feed.h"
#include "cluster/telnet.h"
#include "cluster/views/server_page.h"
#include "cluster/views/telnet_window.h"
#include "store/aliases.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

QByteArray spotLine(int i)
{
    static const char* calls[] = {"K1ABC", "JA1QRP", "VK2DX", "PY2XX", "ZS6AB", "VP8PJ", "3Y0J", "FK8AB", "DL1ABC", "UA9XX"};
    static const double bands[] = {7012, 10115, 14025, 18075, 21030, 28030, 14200, 21250, 14074, 7074};
    QByteArray s = "DX de " + (QByteArray("EA") + QByteArray::number(i % 9 + 1) + "ABC:").leftJustified(9, ' ', true);
    s += QByteArray::number(bands[i % 10] + (i % 37) * 0.1, 'f', 1).rightJustified(9, ' ', true) + "  ";
    s += (QByteArray(calls[i % 10]) + QByteArray::number(i / 10 % 10)).leftJustified(12, ' ', true) + ' ';
    s += QByteArray("CW 599").leftJustified(30, ' ', true) + ' ';
    const int minute = i / 7;
    s += QByteArray::number(minute / 60 % 24).rightJustified(2, '0') + QByteArray::number(minute % 60).rightJustified(2, '0');
    return s + "Z\r\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::Run run(argc, argv);
    const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    if (bench::filledBook(run.work, run.n) < 0)
        return 1;
    store::Workspace& ws = store::Workspace::instance();
    if (!ws.area(store::alias::kCfg)) {
        store::WorkArea* cfg = nullptr;
        ws.use(QStringLiteral("cfg"), {.alias = store::alias::kCfg}, &cfg);
        cfg->goTop();
    }
    cluster::INIFILCLUS();

    QList<QByteArray> chunks;
    for (int i = 0; i < seconds * 50; ++i)
        chunks << spotLine(i);
    TestClusterServer server(chunks, false, 20);

    cluster::TelnetWindow window;
    window.resize(1100, 600);
    window.show();
    window.addServerTab(QStringLiteral("Banco"));
    cluster::ServerPage* page = window.serverPages().value(0);
    cluster::TTelnet* t = page->telnet();
    t->nPort = server.port();
    cluster::spotFeed().attach(t);
    t->Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA1XX"));
    if (!t->lConnect) {
        std::fprintf(stderr, "cluster_window_bench: no se pudo conectar con el servidor de pruebas\n");
        return 1;
    }

    // a timer every 5 ms: the gaps between its runs are the stalls
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double longest = 0, total = 0;
    int ticks = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const double gap = double(now - last) / 1e6;
        longest = std::max(longest, gap);
        total += gap;
        ++ticks;
        last = now;
    });
    tick.start(5);
    QElapsedTimer run_;
    run_.start();
    while (!server.played() && run_.elapsed() < (seconds + 10) * 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 end = run_.elapsed() + 500;
    while (run_.elapsed() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    tick.stop();

    const int rows = window.spotsPanel() ? window.spotsPanel()->browse()->model()->rowCount() : 0;
    std::printf("%-60s %10d\n", "spots sent by the server (50 a second)", int(chunks.size()));
    std::printf("%-60s %10d\n", "spots in the window's list", rows);
    std::printf("%-60s %10.1f s\n", "time", run_.elapsed() / 1000.0);
    std::printf("%-60s %10.1f ms (goal under 50)\n", "longest GUI stall", longest);
    std::printf("%-60s %10.2f ms\n", "mean gap of a 5 ms timer", ticks ? total / ticks : 0.0);
    return 0;
}
