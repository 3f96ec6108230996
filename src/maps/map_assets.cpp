#include "map_assets.h"

#include "app/tappl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace maps {

namespace {

// Leaflet's file `name` ("leaflet.js", "leaflet.css"): the copy in the
// folder (the build tree has one), else the system's (libjs-leaflet), which
// an installed program uses.
QString leafletFile(const QDir& d, const QString& name)
{
    const QString own = d.filePath(name);
    if (QFileInfo::exists(own))
        return own;
    const QString system = QStringLiteral("/usr/share/javascript/leaflet/") +
                           (name == QLatin1String("leaflet.js") ? QStringLiteral("leaflet.min.js") : name);
    return QFileInfo::exists(system) ? system : own;
}

bool complete(const QDir& d)
{
    return QFileInfo::exists(leafletFile(d, QStringLiteral("leaflet.js"))) &&
           QFileInfo::exists(leafletFile(d, QStringLiteral("leaflet.css"))) &&
           QFileInfo::exists(d.filePath(QStringLiteral("world-110m.js")));
}

QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString mapAssetsDir()
{
    const QString env = qEnvironmentVariable("ORLANLOG_MAPS");
    if (!env.isEmpty())
        return env;
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                        : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QDir d(exeDir);
    for (int up = 0; up <= 3; ++up) {
        if (complete(QDir(d.filePath(QStringLiteral("maps")))))
            return d.filePath(QStringLiteral("maps"));
        if (!d.cdUp())
            break;
    }
    const QDir installed(QDir(exeDir).filePath(QStringLiteral("../share/orlanlog/maps")));
    if (complete(installed))
        return QDir::cleanPath(installed.path());
    if (complete(QDir(QStringLiteral("/usr/share/orlanlog/maps"))))
        return QStringLiteral("/usr/share/orlanlog/maps");
    return {};
}

QString inlineMapAssets(QString* missing)
{
    const QDir dir(mapAssetsDir());
    const QString css = readText(leafletFile(dir, QStringLiteral("leaflet.css")));
    const QString js = readText(leafletFile(dir, QStringLiteral("leaflet.js")));
    const QString world = readText(dir.filePath(QStringLiteral("world-110m.js")));
    QStringList absent;
    if (css.isEmpty() || js.isEmpty())
        absent << QStringLiteral("Leaflet");
    if (world.isEmpty())
        absent << QStringLiteral("el contorno del mundo");
    if (missing)
        *missing = absent.join(QStringLiteral(" y "));
    if (!absent.isEmpty())
        return QStringLiteral("<script>window.ORLAN_MISSING = \"No se encuentra %1 (carpeta maps del programa)\";"
                              "</script>\n")
            .arg(absent.join(QStringLiteral(" y ")));
    // "</script" inside a script would end it early.
    QString safeJs = js;
    safeJs.replace(QStringLiteral("</script"), QStringLiteral("<\\/script"), Qt::CaseInsensitive);
    return QStringLiteral("<style>\n") + css + QStringLiteral("\n</style>\n<script>\n") + safeJs +
           QStringLiteral("\n</script>\n<script>\n") + world + QStringLiteral("\n</script>\n");
}

QString tileServiceSetting()
{
    const QString def = QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png");
    if (!app::oAppl)
        return def;
    return app::oAppl->ini().getString(QStringLiteral("Servicios"), QStringLiteral("TeselasMapa"), def).trimmed();
}

} // namespace maps
