// How long the window's thread is held up by rig control while the rig does
// not answer: the frequency panel is on screen (offscreen platform by
// default), rig control polls every 500 ms, orders are given every 200 ms as
// if the step buttons were clicked, and a zero-interval timer records the
// longest gap between two turns of the event loop. Three rigs in turn: Hamlib's
// dummy rig behind rigctld (answering), the same rigctld paused with SIGSTOP,
// and a TCP server that takes the connection and never replies.
//   rig_stall_bench [seconds-per-rig]     (10 by default)
// Prints the figures; it never fails on time.
#include "station/cat.h"
#include "station/rig_config.h"
#include "station/rig_control.h"
#include "station/rig_link.h"
#include "station/rig_modes.h"
#include "station/views/freq_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <cstdio>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Figures {
    double longestMs = 0;
    int turns = 0;
    int readings = 0;
    QString status;
};

Figures measure(const station::RigConfig& config, int seconds, QToolBar* bar)
{
    QMap<QString, QString> ini;
    station::setSettingsAccess({[&ini](const QString& s, const QString& k, const QString& d) { return ini.value(s + "/" + k, d); },
                                [&ini](const QString& s, const QString& k, const QString& v) { ini[s + "/" + k] = v; }});
    station::saveRigConfig(1, config);
    QElapsedTimer run;
    run.start();
    station::CATON(1);
    station::FreqPanel* panel = station::CATCTRL(bar);
    Figures f;
    qint64 last = run.nsecsElapsed();
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = run.nsecsElapsed();
        f.longestMs = std::max(f.longestMs, double(now - last) / 1e6);
        last = now;
        ++f.turns;
    });
    QTimer clicks;
    clicks.setInterval(200);
    std::int64_t hz = 14025300;
    QObject::connect(&clicks, &QTimer::timeout, [&] {
        hz += 1000;
        if (station::RigControl* rig = station::catRig())
            rig->SetSimplexMode(hz);
        panel->refresh();
    });
    turn.start();
    clicks.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    turn.stop();
    clicks.stop();
    f.readings = station::catRig()->readings();
    f.status = station::CATSTATUS();
    QElapsedTimer off;
    off.start();
    station::CATOFF();
    std::printf("    rig control switched off in %lld ms\n", off.elapsed());
    return f;
}

void report(const char* what, const Figures& f)
{
    std::printf("%-34s longest GUI-thread stall %7.1f ms  (%d loop turns, %d readings, last state \"%s\")\n", what,
                f.longestMs, f.turns, f.readings, qPrintable(f.status));
    std::fflush(stdout);
}

station::RigConfig atLocalPort(int port)
{
    station::RigConfig c;
    c.network = true;
    c.host = QStringLiteral("127.0.0.1");
    c.tcpPort = port;
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    station::setUpHamlib();
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("Herramientas"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    window.resize(1000, 300);
    window.show();
    std::printf("rig_stall_bench: %d s per rig, poll every 500 ms, an order every 200 ms\n", seconds);

    if (!QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty()) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const int port = probe.serverPort();
        probe.close();
        QProcess rigctld;
        rigctld.start(QStringLiteral("rigctld"), {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
        rigctld.waitForStarted(5000);
        for (int i = 0; i < 50; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, quint16(port));
            if (s.waitForConnected(200))
                break;
            QThread::msleep(50);
        }
        report("dummy rig answering:", measure(atLocalPort(port), seconds, bar));
        ::kill(pid_t(rigctld.processId()), SIGSTOP);
        report("rigctld paused (SIGSTOP):", measure(atLocalPort(port), seconds, bar));
        ::kill(pid_t(rigctld.processId()), SIGCONT);
        rigctld.terminate();
        rigctld.waitForFinished(3000);
    } else {
        std::printf("rigctld is not installed (libhamlib-utils): the dummy rig and the paused rigctld are left out\n");
    }

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, 16);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    report("server that never replies:", measure(atLocalPort(ntohs(a.sin_port)), seconds, bar));
    ::close(fd);
    station::waitForRigThreads(5000);
    return 0;
}
