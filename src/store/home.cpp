#include "home.h"

#include "access.h"
#include "catalogue.h"
#include "table_file.h"
#include "workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace store {

namespace {

QString withSlash(const QString& dir) { return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'); }

// Marker the build writes beside the tables it generates.
const QString kStamp = QStringLiteral("orlanlog-refdata.stamp");

// Copies the table's .dbf with its .cdx and .fpt from the shipped directory;
// *copied stays false when the directory has no such table.
Status copyShipped(const QString& shippedDir, const QString& name, const QString& dataDir, bool* copied)
{
    *copied = false;
    if (shippedDir.isEmpty())
        return {};
    const QString dbf = findFileNoCase(shippedDir + name + QStringLiteral(".dbf"));
    if (dbf.isEmpty())
        return {};
    const QString base = QFileInfo(dbf).path() + QLatin1Char('/') + QFileInfo(dbf).completeBaseName();
    for (const char* ext : {".dbf", ".cdx", ".fpt"}) {
        const QString from = findFileNoCase(base + QString::fromLatin1(ext));
        if (from.isEmpty())
            continue;
        const QString to = withSlash(dataDir) + name + QString::fromLatin1(ext);
        QFile::remove(to);
        if (!QFile::copy(from, to))
            return {StatusCode::IoError, QStringLiteral("No se pudo copiar la tabla de referencia %1 en %2").arg(from, dataDir)};
        QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner | QFile::ReadOwner);
    }
    *copied = true;
    return {};
}

} // namespace

QString shippedTablesDir()
{
    const QString env = qEnvironmentVariable("ORLANLOG_REFDATA");
    if (!env.isEmpty())
        return withSlash(env);
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                        : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (exeDir.isEmpty())
        return {};
    QDir d(exeDir);
    for (int up = 0; up <= 3; ++up) {
        if (QFileInfo::exists(d.filePath(QStringLiteral("refdata/") + kStamp)))
            return withSlash(d.filePath(QStringLiteral("refdata")));
        if (!d.cdUp())
            break;
    }
    const QString installed = QDir(exeDir).filePath(QStringLiteral("../share/orlanlog/refdata"));
    if (QFileInfo::exists(installed + QStringLiteral("/ENT.dbf")))
        return withSlash(QDir::cleanPath(installed));
    const QString system = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("orlanlog/refdata"),
                                                  QStandardPaths::LocateDirectory);
    return system.isEmpty() ? QString() : withSlash(system);
}

const QStringList& versionSteps()
{
    static const QStringList steps = {
        QStringLiteral("088"), QStringLiteral("089"), QStringLiteral("090"), QStringLiteral("091"), QStringLiteral("092"),
        QStringLiteral("094"), QStringLiteral("096"), QStringLiteral("097"), QStringLiteral("098"), QStringLiteral("099"),
        QStringLiteral("100"), QStringLiteral("110"), QStringLiteral("120"), QStringLiteral("130"), QStringLiteral("140"),
        QStringLiteral("150"), QStringLiteral("160"), QStringLiteral("170"), QStringLiteral("180"), QStringLiteral("190"),
        QStringLiteral("191")};
    return steps;
}

QString versionMarker(const QString& programDir, const QString& step)
{
    return withSlash(programDir) + QStringLiteral("ver") + step + QStringLiteral(".ctl");
}

bool writeVersionMarkers(const QString& programDir)
{
    bool ok = true;
    for (const QString& step : versionSteps()) {
        QFile f(versionMarker(programDir, step));
        if (!f.exists() && !f.open(QIODevice::WriteOnly))
            ok = false;
    }
    return ok;
}

Status createHome(const QString& programDir, const QString& dataDir, const QString& call, const QString& shippedDir)
{
    QDir().mkpath(dataDir);
    QDir().mkpath(programDir + QStringLiteral("reports/"));
    // a home without settings is a new installation, already at the current version
    const bool fresh = findFileNoCase(dataDir + QStringLiteral("cfg.dbf")).isEmpty();
    Workspace w;
    w.setDataDir(dataDir);
    for (const catalogue::TableDef& t : catalogue::homeTables()) {
        const QString dir = catalogue::directoryOf(t, programDir, dataDir);
        const QString path = dir + t.name + QStringLiteral(".dbf");
        if (!findFileNoCase(path).isEmpty())
            continue;
        if (t.dir == catalogue::Dir::Data) {
            bool copied = false;
            if (Status s = copyShipped(shippedDir.isEmpty() ? QString() : withSlash(shippedDir), t.name, dataDir, &copied); !s)
                return s;
            if (copied)
                continue;
        }
        if (Status s = catalogue::create(t, path); !s)
            return s;
        if (t.name == QLatin1String("know")) {
            WorkArea* k = nullptr;
            if (Status s = w.use(path, {.alias = QStringLiteral("know")}, &k); !s)
                return s;
            k->append();
            catalogue::fillKnowSeed(k);
            k->unlock();
            w.close(QStringLiteral("know"));
        }
    }
    if (fresh)
        writeVersionMarkers(programDir);
    WorkArea* c = nullptr;
    if (Status s = w.use(QStringLiteral("cfg"), {.alias = QStringLiteral("cfg")}, &c); !s)
        return s;
    if (c->recCount() == 0) {
        c->append();
        catalogue::fillCfgDefaults(c);
        c->unlock();
    }
    const QString upperCall = call.trimmed().toUpper();
    if (upperCall.isEmpty())
        return {};
    c->goTop();
    c->lockRecord();
    c->put(QStringLiteral("CALL"), upperCall);
    c->unlock();
    w.closeAll();

    Workspace& session = Workspace::instance();
    const QString before = session.dataDir();
    session.setDataDir(dataDir);
    const bool ok = createFirstBook(upperCall);
    session.setDataDir(before);
    return ok ? Status() : Status(StatusCode::IoError, QStringLiteral("No se pudo crear el libro de guardia ") + upperCall);
}

bool createFirstBook(const QString& call)
{
    Workspace& ws = Workspace::instance();
    const QString book = call.trimmed();
    if (book.isEmpty())
        return false;
    // Under an alias of its own: the session may have the catalogue open already.
    const QString alias = QStringLiteral("_libros");
    const QString current = ws.current() ? ws.current()->alias() : QString();
    if (!NETUSE(QStringLiteral("libros"), true, 1, alias))
        return false;
    WorkArea* books = ws.area(alias);
    bool exists = false;
    for (books->goTop(); !books->eof() && !exists; books->skip())
        exists = books->str(QStringLiteral("NOMBRE")).trimmed().compare(book, Qt::CaseInsensitive) == 0;
    bool ok = true;
    if (!exists && (ok = ADDREC())) {
        books->put(QStringLiteral("NOMBRE"), book);
        books->put(QStringLiteral("DESCRI"), QStringLiteral("Libro guardia ") + book);
        books->put(QStringLiteral("OPRDEF"), book);
        books->put(QStringLiteral("ACTIVO"), books->recCount() == 1);
        books->unlock();
    }
    ws.close(alias);
    if (!current.isEmpty())
        ws.select(current);
    if (ok && findFileNoCase(ws.dataDir() + QStringLiteral("Log") + book + QStringLiteral(".dbf")).isEmpty())
        ok = CRTLOG(book);
    return ok;
}

int checkTables(const QString& dir, QStringList* lines)
{
    int bad = 0;
    const QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& f : files) {
        if (!f.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive))
            continue;
        Workspace w;
        WorkArea* a = nullptr;
        Status s = w.use(dir + f, {.alias = QStringLiteral("chk"), .readOnly = true}, &a);
        if (!s) {
            ++bad;
            *lines << QStringLiteral("ERROR %1: %2").arg(f, s.text());
            continue;
        }
        std::vector<QString> problems;
        catalogue::TableDef def;
        if (catalogue::findTable(QFileInfo(f).completeBaseName(), &def) && !def.tags.empty()) {
            // every tag the program gives this table must be there
            if (a->tagCount() == 0)
                problems.push_back(QStringLiteral("falta el índice: la tabla lleva %1 etiquetas").arg(def.tags.size()));
            else
                for (const catalogue::TagDef& t : def.tags)
                    if (!a->table().cdx() || a->table().cdx()->tagIndex(t.name) < 0)
                        problems.push_back(QStringLiteral("falta la etiqueta %1").arg(QString::fromLatin1(t.name)));
        }
        s = a->table().verify(&problems);
        if (!s) {
            ++bad;
            *lines << QStringLiteral("ERROR %1: %2").arg(f, s.text());
        } else if (!problems.empty()) {
            ++bad;
            for (const QString& p : problems)
                *lines << QStringLiteral("ERROR %1: %2").arg(f, p);
        } else if (a->tagCount() == 0) {
            *lines << QStringLiteral("OK    %1: %2 registros, sin índice").arg(f).arg(a->recCount());
        } else {
            *lines << QStringLiteral("OK    %1: %2 registros, %3 etiquetas correctas").arg(f).arg(a->recCount()).arg(a->tagCount());
        }
    }
    return bad;
}

int checkHome(const QString& programDir, const QString& dataDir, QStringList* lines)
{
    int bad = 0;
    if (!QFileInfo(dataDir).isDir()) {
        *lines << QStringLiteral("ERROR no existe la carpeta de datos %1").arg(dataDir);
        return 1;
    }
    for (const catalogue::TableDef& t : catalogue::homeTables()) {
        if (t.optional)
            continue;
        const QString file = catalogue::directoryOf(t, programDir, dataDir) + t.name + QStringLiteral(".dbf");
        if (findFileNoCase(file).isEmpty()) {
            ++bad;
            *lines << QStringLiteral("ERROR %1.dbf: falta la tabla").arg(t.name);
        }
    }
    bad += checkTables(dataDir, lines);
    const QString reports = programDir + QStringLiteral("reports/");
    if (QDir(reports).exists())
        bad += checkTables(reports, lines);
    return bad;
}

} // namespace store
