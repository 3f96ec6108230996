#include "home.h"

#include "access.h"
#include "catalogue.h"
#include "workspace.h"

#include <QDir>

namespace store {

Status createHome(const QString& programDir, const QString& dataDir, const QString& call)
{
    QDir().mkpath(dataDir);
    QDir().mkpath(programDir + QStringLiteral("reports/"));
    Workspace w;
    w.setDataDir(dataDir);
    for (const catalogue::TableDef& t : catalogue::homeTables()) {
        const QString dir = catalogue::directoryOf(t, programDir, dataDir);
        const QString path = dir + t.name + QStringLiteral(".dbf");
        if (!findFileNoCase(path).isEmpty())
            continue;
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

    WorkArea* books = nullptr;
    if (Status s = w.use(QStringLiteral("libros"), {.alias = QStringLiteral("libros")}, &books); !s)
        return s;
    bool exists = false;
    for (books->goTop(); !books->eof(); books->skip())
        exists = exists || books->str(QStringLiteral("NOMBRE")).trimmed().compare(upperCall, Qt::CaseInsensitive) == 0;
    if (!exists) {
        books->append();
        books->put(QStringLiteral("NOMBRE"), upperCall);
        books->put(QStringLiteral("DESCRI"), QStringLiteral("Libro guardia ") + upperCall);
        books->put(QStringLiteral("OPRDEF"), upperCall);
        books->put(QStringLiteral("ACTIVO"), books->recCount() == 1);
        books->unlock();
    }
    w.closeAll();
    if (!findFileNoCase(dataDir + QStringLiteral("Log") + upperCall + QStringLiteral(".dbf")).isEmpty())
        return {};
    Workspace& session = Workspace::instance();
    const QString before = session.dataDir();
    session.setDataDir(dataDir);
    const bool ok = CRTLOG(upperCall);
    session.setDataDir(before);
    return ok ? Status() : Status(StatusCode::IoError, QStringLiteral("No se pudo crear el libro de guardia ") + upperCall);
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
        if (a->tagCount() == 0) {
            *lines << QStringLiteral("OK    %1: %2 registros, sin índice").arg(f).arg(a->recCount());
            continue;
        }
        std::vector<QString> problems;
        s = a->table().verify(&problems);
        if (!s) {
            ++bad;
            *lines << QStringLiteral("ERROR %1: %2").arg(f, s.text());
        } else if (!problems.empty()) {
            ++bad;
            for (const QString& p : problems)
                *lines << QStringLiteral("ERROR %1: %2").arg(f, p);
        } else {
            *lines << QStringLiteral("OK    %1: %2 registros, %3 etiquetas correctas").arg(f).arg(a->recCount()).arg(a->tagCount());
        }
    }
    return bad;
}

} // namespace store
