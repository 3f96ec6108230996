// Map pages from the command line: the path, grid-square, view and Earth
// maps written to a file, through the same code as the windows.
#include "commands.h"

#include "app/tappl.h"
#include "geo/locator.h"
#include "maps/grid_worked.h"
#include "maps/map_assets.h"
#include "maps/map_pages.h"
#include "maps/map_rules.h"
#include "online/reachability.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTimeZone>

namespace {

using app::TAppl;
using cli::out;

const char* kUsage =
    "Uso: orlanlog-cli map grid|path|view|earth --html FICHERO [--from LOCATOR] [--to LOCATOR] [--label TEXTO]\n"
    "  path y earth necesitan --to (y --from cuando la estación no tiene locator)\n";

// Tiles only when the machine is online; the outline always.
maps::PageOptions pageOptions()
{
    maps::PageOptions o;
    if (!online::offlineForced() && online::internetConnected())
        o.tiles = maps::tileServiceSetting();
    return o;
}

QString stationLocator()
{
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    if (!cfg)
        return {};
    cfg->goTop();
    return cfg->eof() ? QString() : cfg->str(QStringLiteral("QRA")).trimmed();
}

bool locatorOption(const QStringList& args, const char* name, const QString& fallback, QString* locator)
{
    QString value = cli::optionValue(args, name);
    if (value.isEmpty())
        value = fallback;
    QString completed;
    if (value.trimmed().isEmpty() || !geo::isValidLocator(value, &completed)) {
        out() << "Locator erroneo: \"" << value << "\" (" << name << ")\n";
        return false;
    }
    *locator = completed;
    return true;
}

bool writePage(const QString& file, const QString& html)
{
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(html.toUtf8()) < 0 || !f.commit()) {
        out() << "No se pudo escribir " << QDir::toNativeSeparators(file) << '\n';
        return false;
    }
    out() << "Página escrita en " << QDir::toNativeSeparators(file) << '\n';
    return true;
}

int map(const QStringList& args, TAppl&)
{
    const QString kind = args.value(0);
    const QString file = cli::optionValue(args, "--html");
    if (file.isEmpty() || !QStringList{"grid", "path", "view", "earth"}.contains(kind)) {
        out() << kUsage;
        return 2;
    }
    QString missing;
    maps::inlineMapAssets(&missing);
    if (!missing.isEmpty()) {
        out() << "No se encuentra " << missing << " (carpeta maps del programa, o ORLANLOG_MAPS)\n";
        return 1;
    }
    const bool needsBook = kind == QLatin1String("grid") || kind == QLatin1String("view");
    QString book;
    if (needsBook && !cli::openBookSession(&book))
        return 1;
    if (!needsBook && cli::optionValue(args, "--from").isEmpty())
        cli::openBookSession(&book);   // only for the station's locator
    // The own locator: --from, else the station's.
    const QString own = cli::optionValue(args, "--from").isEmpty() ? stationLocator() : cli::optionValue(args, "--from");

    if (kind == QLatin1String("grid")) {
        QMap<QString, QChar> squares;
        maps::GRIDWRK(*store::Workspace::instance().area(store::alias::kLog), &squares);
        const qsizetype confirmed = std::count(squares.cbegin(), squares.cend(), QLatin1Char('C'));
        out() << "Cuadrículas: " << squares.size() << " (confirmadas " << confirmed << ")\n";
        return writePage(file, maps::gridMapPage(squares, pageOptions())) ? 0 : 1;
    }
    if (kind == QLatin1String("view")) {
        store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
        QList<maps::ViewLine> lines;
        QString centre;
        for (log->goTop(); !log->eof(); log->skip()) {
            const QString to = log->str(QStringLiteral("GRIDSQUARE")).trimmed();
            if (to.isEmpty())
                continue;
            QString from = log->str(QStringLiteral("QRA")).trimmed();
            if (from.isEmpty())
                from = own;
            if (centre.isEmpty())
                centre = from;
            lines << maps::ViewLine{from, to,
                                    maps::viewLineColour(log->str(QStringLiteral("PROPMODE")), log->str(QStringLiteral("MODE"))),
                                    log->str(QStringLiteral("CALL")).trimmed()};
        }
        if (centre.isEmpty())
            centre = own.isEmpty() ? QStringLiteral("IN80DO") : own;
        out() << "Líneas: " << lines.size() << '\n';
        return writePage(file, maps::viewMapPage(lines, centre, pageOptions())) ? 0 : 1;
    }
    QString from, to;
    if (!locatorOption(args, "--from", own, &from) || !locatorOption(args, "--to", QString(), &to))
        return 2;
    const QString label = cli::optionValue(args, "--label");
    if (kind == QLatin1String("path"))
        return writePage(file, maps::HTMLMAP(QStringLiteral("Mapa"), from, to, label.isEmpty() ? to : label,
                                             pageOptions()))
                   ? 0
                   : 1;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return writePage(file, maps::HTMLEARTH(from, to, label.isEmpty() ? to : label, from, now, pageOptions())) ? 0 : 1;
}

const cli::CommandRegistration r({"map", "map grid|path|view|earth --html FICHERO [--from LOCATOR] [--to LOCATOR] [--label TEXTO]",
                                  "escribe la página de un mapa: cuadrículas, camino, QSO del libro o vista de la Tierra",
                                  map});

} // namespace
