#include "place_services.h"

#include "map_rules.h"

#include "app/tappl.h"
#include "geo/distance.h"
#include "geo/locator.h"
#include "online/web_request.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace maps {

namespace {

QString service(const char* key, const QString& def)
{
    QString v = app::oAppl ? app::oAppl->ini().getString(QStringLiteral("Servicios"), QString::fromLatin1(key), def)
                           : def;
    v = v.trimmed();
    while (v.endsWith(QLatin1Char('/')))
        v.chop(1);
    return v.isEmpty() ? def : v;
}

QString keyParameter()
{
    const QString key = app::oAppl ? app::oAppl->ini().text(QStringLiteral("Servicios"), QStringLiteral("ClaveMapas"))
                                   : QString();
    return key.isEmpty() ? QString() : QStringLiteral("&key=") + QString::fromLatin1(QUrl::toPercentEncoding(key));
}

QByteArray fetch(const QString& url, int timeOutSeconds)
{
    auto request = online::CRTWINHTTP();
    request->setTimeOut(timeOutSeconds, timeOutSeconds);
    request->setMaxBytes(4LL * 1024 * 1024);
    request->Open(QStringLiteral("GET"), url);
    request->SetRequestHeader(QStringLiteral("Accept-Language"), QStringLiteral("es-es,es;en-us,en;q=0.5"));
    if (!request->Send() || request->Status() != 200)
        return {};
    return request->ResponseBody();
}

QString coordinate(double v) { return QString::number(v, 'f', 6); }

} // namespace

QStringList addressParts(const QByteArray& json)
{
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray results = root.value(QStringLiteral("results")).toArray();
    if (results.isEmpty())
        return {};
    const QString address = results.first().toObject().value(QStringLiteral("formatted_address")).toString();
    if (address.trimmed().isEmpty())
        return {};
    return address.split(QLatin1Char(','));
}

QList<double> elevations(const QByteArray& json)
{
    QList<double> out;
    const QJsonArray results = QJsonDocument::fromJson(json).object().value(QStringLiteral("results")).toArray();
    for (const QJsonValue& r : results) {
        const QJsonValue e = r.toObject().value(QStringLiteral("elevation"));
        if (!e.isDouble())
            continue;
        out << (e.toDouble() < 0 ? 0.0 : e.toDouble());
    }
    return out;
}

QStringList placeLines(const QStringList& parts)
{
    const QStringList last = parts.mid(parts.size() > 3 ? parts.size() - 3 : 0);
    QStringList lines = last;
    while (lines.size() < 3)
        lines << QString();
    return lines;
}

QStringList GMAPGEO(const QString& locator, int timeOutSeconds)
{
    const QString loc = geo::completeLocator(locator);
    if (loc.isEmpty() || !geo::isValidLocator(loc))
        return {};
    const QString url = service("Geocodificacion", QStringLiteral("https://maps.googleapis.com")) +
                        QStringLiteral("/maps/api/geocode/json?latlng=") + coordinate(geo::QRA2LAT(loc)) +
                        QLatin1Char(',') + coordinate(geo::QRA2LON(loc)) + QStringLiteral("&sensor=false") +
                        keyParameter();
    return addressParts(fetch(url, timeOutSeconds));
}

QList<double> GMAPELEVATION(const QString& fromLocator, const QString& toLocator, int timeOutSeconds)
{
    const QString a = geo::completeLocator(fromLocator);
    const QString b = geo::completeLocator(toLocator);
    if (a.isEmpty() || b.isEmpty() || !geo::isValidLocator(a) || !geo::isValidLocator(b))
        return {};
    const int samples = elevationSamples(geo::DIST(a, b));
    const QString url = service("Elevacion", QStringLiteral("https://maps.googleapis.com")) +
                        QStringLiteral("/maps/api/elevation/json?path=") + coordinate(geo::QRA2LAT(a)) +
                        QLatin1Char(',') + coordinate(geo::QRA2LON(a)) + QStringLiteral("%7C") +
                        coordinate(geo::QRA2LAT(b)) + QLatin1Char(',') + coordinate(geo::QRA2LON(b)) +
                        QStringLiteral("&samples=") + QString::number(samples) + QStringLiteral("&sensor=false") +
                        keyParameter();
    return elevations(fetch(url, timeOutSeconds));
}

} // namespace maps
