// Geography from the command line: distance and bearing between two locators,
// sunrise and sunset at a locator.
#include "commands.h"

#include "geo/constants.h"
#include "geo/distance.h"
#include "geo/locator.h"
#include "geo/sun.h"

#include <QDate>
#include <QDateTime>

namespace {

using app::TAppl;
using cli::out;

// The completed locator, or an empty text after telling what is wrong.
QString locatorArg(const QString& arg)
{
    QString loc;
    if (arg.trimmed().isEmpty() || !geo::isValidLocator(arg, &loc)) {
        out() << "Locator erróneo: \"" << arg << "\" (dos letras A-R, dos cifras y dos letras A-X, p. ej. IN80DO)\n";
        return QString();
    }
    return loc;
}

int dist(const QStringList& args, TAppl&)
{
    if (args.size() != 2) {
        out() << "Uso: orlanlog-cli dist LOCATOR1 LOCATOR2\n";
        return 2;
    }
    const QString from = locatorArg(args[0]);
    const QString to = from.isEmpty() ? QString() : locatorArg(args[1]);
    if (to.isEmpty())
        return 2;
    const int km = geo::DIST(from, to);
    const int qtf = geo::RUMBO(from, to);
    out() << from << " -> " << to << ": " << km << " Km, rumbo " << qtf << "º; paso largo " << geo::longPathDistance(km)
          << " Km, rumbo " << geo::longPathBearing(qtf) << "º\n";
    return 0;
}

int sun(const QStringList& args, TAppl&)
{
    if (args.isEmpty() || args.size() > 2) {
        out() << "Uso: orlanlog-cli sun LOCATOR [AAAAMMDD]\n";
        return 2;
    }
    const QString loc = locatorArg(args[0]);
    if (loc.isEmpty())
        return 2;
    QDate day = QDateTime::currentDateTimeUtc().date();
    if (args.size() == 2) {
        day = QDate::fromString(args[1].trimmed(), QStringLiteral("yyyyMMdd"));
        if (!day.isValid() || args[1].trimmed().size() != 8) {
            out() << "Fecha errónea: \"" << args[1] << "\" (AAAAMMDD, p. ej. 20240621)\n";
            return 2;
        }
    }
    QString rise, set;
    geo::ORTOOCASO(loc, &rise, &set, day);
    out() << loc << ' ' << day.toString(QStringLiteral("yyyy-MM-dd"));
    if (rise == geo::noTime())
        out() << ": sin orto ni ocaso (día o noche polar)\n";
    else
        out() << ": orto " << rise << " UTC, ocaso " << set << " UTC\n";
    return 0;
}

const cli::CommandRegistration r1({"dist", "dist LOCATOR1 LOCATOR2", "distancia y rumbo entre dos locators (paso corto y largo)", dist});
const cli::CommandRegistration r2({"sun", "sun LOCATOR [AAAAMMDD]", "orto y ocaso (UTC) en un locator; sin fecha, hoy", sun});

} // namespace
