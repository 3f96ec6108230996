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
    const bench::Run run(argc, argv);
    const int n = run.n;
    const QString work = run.work;
    const QString file = work + QStringLiteral("/bench.adi");
    QDir().mkpath(work);
    bench::writeAdif(file, n);
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
