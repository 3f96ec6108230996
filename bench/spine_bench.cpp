// Session opening and reorganisation on a home whose log book holds many QSOs:
//   spine_bench [qsos] [home-dir]
// Prints the time to append the QSOs (each through ADDQSO with its key), to
// open every session table (ABREDBF), to reorganise everything (REORGA), and
// the result of checking every tag before and after.
#include "store/access.h"
#include "store/home.h"
#include "store/reorga.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

using namespace store;

namespace {

void line(const char* what, double value, const char* unit)
{
    std::printf("%-44s %12.1f %s\n", what, value, unit);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp;
    const QString home = (argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).absolutePath() : tmp.path()) + "/";
    const QString data = home + "datos/";
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    Workspace& ws = Workspace::instance();
    ws.setDataDir(data);
    ws.setProgramDir(home);
    if (Status s = createHome(home, data, QStringLiteral("EA1XX")); !s) {
        std::fprintf(stderr, "%s\n", qPrintable(s.text()));
        return 1;
    }
    std::printf("spine_bench: %d QSOs in %s\n", n, qPrintable(home));

    QRandomGenerator rng(1);
    const char* bands[] = {"160M", "80M", "40M", "30M", "20M", "17M", "15M", "12M", "10M", "6M", "2M"};
    const char* modes[] = {"SSB", "CW", "FT8", "FT4", "RTTY", "FM"};
    QElapsedTimer t;
    if (!NETUSE(QStringLiteral("LogEA1XX"), true, 1, QStringLiteral("Log")))
        return 1;
    WorkArea* log = ws.area(QStringLiteral("Log"));
    t.start();
    for (int i = 0; i < n; ++i) {
        QString key = KEYGEN();
        if (!ADDQSO(&key))
            return 1;
        log->put(QStringLiteral("CALL"), QStringLiteral("EA%1%2%3").arg(rng.bounded(10)).arg(QChar('A' + rng.bounded(26)))
                                             .arg(QChar('A' + rng.bounded(26))));
        log->put(QStringLiteral("QSODATE"), QDate(2005, 1, 1).addDays(rng.bounded(7000)));
        log->put(QStringLiteral("TIMEON"), QStringLiteral("%1:%2").arg(rng.bounded(24), 2, 10, QLatin1Char('0'))
                                               .arg(rng.bounded(60), 2, 10, QLatin1Char('0')));
        log->put(QStringLiteral("BAND"), QString::fromLatin1(bands[rng.bounded(11)]));
        log->put(QStringLiteral("MODE"), QString::fromLatin1(modes[rng.bounded(6)]));
        log->put(QStringLiteral("CODENT"), QStringLiteral("%1").arg(rng.bounded(400), 3));
        log->put(QStringLiteral("PRNQSL"), rng.bounded(20) == 0);
        log->unlock();
    }
    const double appendMs = double(t.nsecsElapsed()) / 1e6;
    line("append QSOs (KEYGEN + ADDQSO + fields)", appendMs, "ms");
    line("append rate", n / (appendMs / 1000), "QSOs/s");
    ws.closeAll();

    QStringList lines;
    t.restart();
    int bad = checkTables(data, &lines);
    line("check every tag", double(t.nsecsElapsed()) / 1e6, "ms");
    std::printf("%-44s %12d tables with errors\n", "check result", bad);

    t.restart();
    QString book;
    ABREDBF(nullptr, &book);
    line("ABREDBF (every session table)", double(t.nsecsElapsed()) / 1e6, "ms");
    ws.closeAll();

    ui::SilentMeter meter;
    t.restart();
    REORGA(meter);
    line("REORGA (whole home)", double(t.nsecsElapsed()) / 1e6, "ms");

    lines.clear();
    bad = checkTables(data, &lines);
    std::printf("%-44s %12d tables with errors\n", "check after reorganisation", bad);
    t.restart();
    ABREDBF(nullptr, &book);
    line("ABREDBF after reorganisation", double(t.nsecsElapsed()) / 1e6, "ms");
    ws.closeAll();
    return bad ? 1 : 0;
}
