// Call-sign resolution and CTY.DAT import on the shipped reference tables:
//   resolve_bench [data/refdata directory]
// Prints the calls resolved per second over every call of MASTER.SCP, through
// the in-memory image (DXCC) and through the engine (dxccByTable), whether both
// agree, and the time of importing the shipped CTY.DAT into an empty prefix
// table and again over the full one. The data directory is found through the
// build tree's CMakeCache.txt when not given.
#include "refdata/cty_import.h"
#include "refdata/resolve.h"
#include "store/catalogue.h"
#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include "bench_home.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace store;

namespace {

void line(const char* what, double value, const char* unit)
{
    std::printf("%-52s %12.1f %s\n", what, value, unit);
}

QStringList readCalls(const QString& path)
{
    QFile f(path);
    QStringList calls;
    if (!f.open(QIODevice::ReadOnly))
        return calls;
    for (const QByteArray& l : f.readAll().split('\n')) {
        const QByteArray c = l.trimmed();
        if (!c.isEmpty() && !c.startsWith('#'))
            calls << QString::fromLatin1(c);
    }
    return calls;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString src = argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/') : bench::sourceData();
    const QString shipped = shippedTablesDir();
    const QStringList calls = readCalls(src + QStringLiteral("MASTER.SCP"));
    if (shipped.isEmpty() || calls.isEmpty()) {
        std::fprintf(stderr, "resolve_bench: faltan las tablas de referencia (%s) o MASTER.SCP en %s\n",
                     qPrintable(shipped), qPrintable(src));
        return 1;
    }
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    QTemporaryDir tmp;
    const QString home = tmp.path() + QStringLiteral("/");
    const QString data = home + QStringLiteral("datos/");
    Workspace& ws = Workspace::instance();
    ws.setDataDir(data);
    ws.setProgramDir(home);
    if (Status s = createHome(home, data, QStringLiteral("EA1XX"), shipped); !s) {
        std::fprintf(stderr, "%s\n", qPrintable(s.text()));
        return 1;
    }
    ws.use(QStringLiteral("ENT"), {.alias = QStringLiteral("ENT")});
    ws.use(QStringLiteral("PFX"), {.alias = QStringLiteral("Pfx")});
    std::printf("resolve_bench: %lld calls of MASTER.SCP, tables from %s\n", qlonglong(calls.size()), qPrintable(shipped));

    const QDate today = QDate::currentDate();
    QElapsedTimer t;
    t.start();
    refdata::DXCC(QStringLiteral("EA4ZZ"), today);
    line("building the in-memory image", double(t.nsecsElapsed()) / 1e6, "ms");

    std::vector<QString> fast(size_t(calls.size()));
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        t.restart();
        for (qsizetype i = 0; i < calls.size(); ++i)
            fast[size_t(i)] = refdata::DXCC(calls[i], today);
        best = std::max(best, double(calls.size()) / (double(t.nsecsElapsed()) / 1e9));
    }
    line("DXCC through the image (best of 5)", best, "calls/s");
    line("  microseconds per call", 1e6 / best, "us");

    t.restart();
    qsizetype differ = 0, unresolved = 0;
    for (qsizetype i = 0; i < calls.size(); ++i) {
        const QString r = refdata::dxccByTable(calls[i], today);
        differ += r != fast[size_t(i)];
        unresolved += r.isEmpty() || r == QLatin1String("  0");
    }
    line("DXCC through the engine (table walk)", double(calls.size()) / (double(t.nsecsElapsed()) / 1e9), "calls/s");
    line("calls where the two differ", double(differ), "");
    line("calls without an entity today", double(unresolved), "");

    // the import: into an empty prefix table, then again over the full one
    ws.close(QStringLiteral("Pfx"));
    refdata::dropResolutionImage();
    if (Status s = catalogue::create(catalogue::pfx(), data + QStringLiteral("PFX.dbf")); !s) {
        std::fprintf(stderr, "%s\n", qPrintable(s.text()));
        return 1;
    }
    ws.use(QStringLiteral("PFX"), {.alias = QStringLiteral("Pfx")});
    ui::SilentMeter meter;
    refdata::CtyImportResult r;
    t.restart();
    const bool ok = refdata::CTYIMP(meter, true, src + QStringLiteral("cty.dat"), &r);
    line("CTY.DAT import into an empty prefix table", double(t.nsecsElapsed()) / 1e6, "ms");
    std::printf("  %s: %d records, %d prefixes added, %d records without entity\n", ok ? "ok" : "FAILED", r.records,
                r.added, r.skipped);
    t.restart();
    refdata::CTYIMP(meter, true, src + QStringLiteral("cty.dat"), &r);
    line("CTY.DAT import again over the full table", double(t.nsecsElapsed()) / 1e6, "ms");
    std::printf("  %d unchanged, %d updated, %d added\n", r.unchanged, r.updated, r.added);
    ws.closeAll();
    return 0;
}
