// Input shapes that once took time growing with the square of their size, each
// at three sizes doubling, so that the growth shows in the times:
//   quadratic_bench [scale] [work-dir]
// - a LoTW report of 400, 800, 1600 KB with no end-of-record marker;
// - a Cabrillo log of 40k, 80k, 160k "END-OF-LOG:" markers after one QSO;
// - ADIF and Cabrillo imports with the duplicate test of 4k, 8k, 16k QSOs of one call.
// scale (default 1) multiplies every size. Prints the times; never fails on them.
#include "bench_home.h"
#include "interchange/adif_import.h"
#include "interchange/cabrillo_import.h"
#include "interchange/lotw_import.h"
#include "store/access.h"
#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {


void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// One QSO every minute, all of the same call.
QDateTime when(int i) { return QDateTime(QDate(2023, 1, 1), QTime(0, 0)).addSecs(qint64(i) * 60); }

QByteArray sameCallAdif(int n)
{
    QByteArray b = "<ADIF_VER:5>3.1.4<EOH>\n";
    for (int i = 0; i < n; ++i) {
        const QDateTime t = when(i);
        b += "<CALL:5>K1ABC<QSO_DATE:8>" + t.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "<TIME_ON:4>" +
             t.toString(QStringLiteral("HHmm")).toLatin1() + "<BAND:3>20M<MODE:2>CW<EOR>\n";
    }
    return b;
}

QByteArray sameCallCabrillo(int n)
{
    QByteArray b = "START-OF-LOG: 3.0\nCONTEST: CQ-WW-CW\n";
    for (int i = 0; i < n; ++i) {
        const QDateTime t = when(i);
        b += "QSO: 14025 CW " + t.toString(QStringLiteral("yyyy-MM-dd HHmm")).toLatin1() + " EA1XX 599 14 K1ABC 599 05\n";
    }
    return b + "END-OF-LOG:\n";
}

double timed(const std::function<void()>& run)
{
    QElapsedTimer t;
    t.start();
    run();
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int scale = argc > 1 ? qMax(1, std::atoi(argv[1])) : 1;
    QTemporaryDir tmp;
    const QString work = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(work);
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    const QString home = work + QStringLiteral("/home"), file = work + QStringLiteral("/input");
    ui::SilentMeter meter;

    std::printf("LoTW report without <EOR>\n");
    for (int kb : {400, 800, 1600}) {
        const int size = kb * 1024 * scale;
        QByteArray b = "<EOH>\n";
        while (b.size() < size)
            b += "<CALL:5>K1ABC<QSO_DATE:8>20230101<TIME_ON:4>1200<QSL_RCVD:1>Y\n";
        write(file, b);
        if (!bench::freshHome(home))
            return 1;
        const double s = timed([&] { interchange::LOTWIMP(file, meter); });
        std::printf("  %5d KB: %.3f s\n", kb * scale, s);
    }

    std::printf("Cabrillo log with repeated END-OF-LOG:\n");
    for (int k : {40000, 80000, 160000}) {
        const int n = k * scale;
        QByteArray b = "START-OF-LOG: 3.0\nQSO: 14025 CW 2023-01-01 1200 EA1XX 599 14 K1ABC 599 05\n";
        for (int i = 0; i < n; ++i)
            b += "END-OF-LOG:\n";
        write(file, b);
        if (!bench::freshHome(home))
            return 1;
        interchange::CabrilloImportOptions o;
        o.path = file;
        const double s = timed([&] { interchange::CBRIMP(o, meter); });
        std::printf("  %6d markers: %.3f s\n", n, s);
    }

    std::printf("Duplicate test on QSOs of one call (file imported twice: new, then all duplicates)\n");
    for (int k : {4000, 8000, 16000}) {
        const int n = k * scale;
        write(file, sameCallAdif(n));
        if (!bench::freshHome(home))
            return 1;
        interchange::AdifImportOptions a;
        a.path = file;
        a.dupCheck = true;
        const double first = timed([&] { interchange::ADIFIMP(meter, a); });
        const double again = timed([&] { interchange::ADIFIMP(meter, a); });
        write(file, sameCallCabrillo(n));
        if (!bench::freshHome(home))
            return 1;
        interchange::CabrilloImportOptions c;
        c.path = file;
        c.checkDuplicates = true;
        const double cfirst = timed([&] { interchange::CBRIMP(c, meter); });
        const double cagain = timed([&] { interchange::CBRIMP(c, meter); });
        std::printf("  %6d QSOs: ADIF %.3f s + %.3f s, Cabrillo %.3f s + %.3f s\n", n, first, again, cfirst, cagain);
    }
    return 0;
}
