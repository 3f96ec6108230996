// ADIF import and export timings on a log-book sized file.
//   adif_bench [qsos] [work-dir]
// Imports a generated file of N QSOs into an empty book without and with the
// duplicate test, and exports the book, printing QSOs per second.
#include "bench_home.h"
#include "interchange/adif_export.h"
#include "interchange/adif_import.h"
#include "store/access.h"
#include "store/home.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void writeFile(const QString& path, int n)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Generated for the benchmark\r\n<ADIF_VER:5>3.1.4<PROGRAMID:5>BENCH\r\n<EOH>\r\n");
    const char* bands[] = {"160M", "80M", "40M", "20M", "15M", "10M"};
    const char* freqs[] = {"1.840", "3.700", "7.050", "14.195", "21.300", "28.500"};
    const char* modes[] = {"SSB", "CW", "FT8", "RTTY"};
    const char* dxcc[] = {"281", "291", "230", "227", "021", "248"};
    QByteArray buf;
    for (int i = 0; i < n; ++i) {
        const QByteArray call = "EA" + QByteArray::number(i % 10) + QByteArray::number(100000 + i, 36).toUpper();
        const QDate d = QDate(2000, 1, 1).addDays(i / 50);
        const int t = (i % 50) * 17;
        char time[8];
        std::snprintf(time, sizeof time, "%02d%02d00", (t / 60) % 24, t % 60);
        auto fld = [&](const char* tag, const QByteArray& v) {
            buf += '<';
            buf += tag;
            buf += ':';
            buf += QByteArray::number(v.size());
            buf += '>';
            buf += v;
        };
        fld("CALL", call);
        fld("QSO_DATE", d.toString(QStringLiteral("yyyyMMdd")).toLatin1());
        fld("TIME_ON", time);
        fld("BAND", bands[i % 6]);
        fld("FREQ", freqs[i % 6]);
        fld("MODE", modes[i % 4]);
        fld("RST_SENT", "59");
        fld("RST_RCVD", "59");
        fld("DXCC", dxcc[i % 6]);
        fld("NAME", "Operator " + QByteArray::number(i % 977));
        fld("QSL_SENT", "N");
        fld("QSL_RCVD", i % 3 ? "N" : "Y");
        buf += "<EOR>\r\n";
        if (buf.size() > 1 << 20) {
            f.write(buf);
            buf.clear();
        }
    }
    f.write(buf);
}


double importRun(const QString& root, const QString& file, bool dup, int* count)
{
    if (!bench::freshHome(root))
        return -1;
    interchange::AdifImportOptions o;
    o.path = file;
    o.dupCheck = dup;
    o.operatorCall = QStringLiteral("EA1XX");
    ui::SilentMeter m;
    QElapsedTimer t;
    t.start();
    const auto r = interchange::ADIFIMP(m, o);
    const double s = t.nsecsElapsed() / 1e9;
    *count = r.imported;
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp;
    const QString work = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    const QString file = work + QStringLiteral("/bench.adi");
    QDir().mkpath(work);
    writeFile(file, n);
    std::printf("ADIF file: %d QSOs, %lld bytes\n", n, (long long)QFileInfo(file).size());

    int count = 0;
    double s = importRun(work + QStringLiteral("/home1"), file, false, &count);
    std::printf("import without duplicate test: %d QSOs in %.2f s = %.0f QSOs/s\n", count, s, count / s);
    s = importRun(work + QStringLiteral("/home2"), file, true, &count);
    std::printf("import with duplicate test:    %d QSOs in %.2f s = %.0f QSOs/s\n", count, s, count / s);

    QElapsedTimer t;
    t.start();
    const auto r = interchange::ADIFEXP(work + QStringLiteral("/out.adi"), {}, {});
    s = t.nsecsElapsed() / 1e9;
    std::printf("export:                        %d QSOs in %.2f s = %.0f QSOs/s\n", r.exported, s, r.exported / s);
    store::Workspace::instance().closeAll();
    return 0;
}
