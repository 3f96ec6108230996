#include "map_pages.h"

#include "map_assets.h"
#include "map_rules.h"
#include "sky.h"

#include "geo/distance.h"
#include "geo/locator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace maps {

namespace {

QJsonArray point(double lat, double lon) { return QJsonArray{lat, lon}; }
QJsonArray point(const LatLon& p) { return point(p.x(), p.y()); }
QJsonArray locatorPoint(const QString& locator)
{
    return point(geo::QRA2LAT(locator), geo::QRA2LON(locator));
}
QJsonArray line(const QList<LatLon>& points)
{
    QJsonArray a;
    for (const LatLon& p : points)
        a.append(point(p));
    return a;
}

QString htmlEscaped(QString s)
{
    return s.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"))
        .replace(QLatin1Char('"'), QStringLiteral("&quot;"));
}

// The page's data as a script value; "</" cannot end the script.
QString jsonScript(const QJsonObject& data)
{
    QString json = QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact));
    json.replace(QStringLiteral("</"), QStringLiteral("<\\/"));
    return json;
}

// Everything the pages share: the outline under the map, tiles when given,
// label helpers, the message when an asset is missing.
const char* kCommonScript = R"JS(
function orlanEscape(s) { var d = document.createElement('div'); d.textContent = s; return d.innerHTML; }
function orlanMap(options) {
  if (window.ORLAN_MISSING || typeof L === 'undefined') {
    document.getElementById('map').innerHTML = '<p class="falta">' + orlanEscape(window.ORLAN_MISSING || 'No se encuentra Leaflet') + '</p>';
    return null;
  }
  var map = L.map('map', options);
  if (PAGE.tiles) {
    L.tileLayer(PAGE.tiles, {maxZoom: 18, attribution: '&copy; OpenStreetMap'}).addTo(map);
  }
  var borders = L.geoJSON(ORLAN_WORLD, {interactive: false, style: {color: '#6b6b6b', weight: 0.7,
    fillColor: '#efe9d8', fillOpacity: PAGE.tiles ? 0 : 1}});
  borders.addTo(map);
  map.orlanBorders = borders;
  return map;
}
function orlanLabel(latlng, text, cls, anchor) {
  return L.marker(latlng, {interactive: false, icon: L.divIcon({className: cls, html: orlanEscape(text),
    iconSize: null, iconAnchor: anchor || [0, 0]})});
}
)JS";

QString page(const QString& title, const QJsonObject& data, const QString& script, const QString& extraStyle = {},
             const QString& body = {})
{
    QString html;
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n<title>") +
            htmlEscaped(title) + QStringLiteral("</title>\n");
    html += inlineMapAssets();
    html += QStringLiteral(
        "<style>\nhtml, body, #map { height: 100%; margin: 0; }\n#map { background: #a9cfe0; }\n"
        ".falta { font: 16px sans-serif; padding: 2em; }\n") +
            extraStyle + QStringLiteral("</style>\n</head>\n<body>\n") + body +
            QStringLiteral("<div id=\"map\"></div>\n<script>\nvar PAGE = ") + jsonScript(data) +
            QStringLiteral(";\n") + QString::fromUtf8(kCommonScript) + script +
            QStringLiteral("</script>\n</body>\n</html>\n");
    return html;
}

} // namespace

QString HTMLMAP(const QString& title, const QString& fromLocator, const QString& toLocator, const QString& label,
                const PageOptions& options, int zoom)
{
    const QString from = geo::completeLocator(fromLocator);
    const QString to = geo::completeLocator(toLocator);
    const LatLon a(geo::QRA2LAT(from), geo::QRA2LON(from));
    const LatLon b(geo::QRA2LAT(to), geo::QRA2LON(to));
    QJsonObject data;
    data["tiles"] = options.tiles;
    data["p0"] = point(a);
    data["p1"] = point(b);
    data["label"] = label.trimmed();
    data["width"] = int(label.trimmed().size()) * 10;
    data["zoom"] = zoom >= 0 ? zoom : pathZoom(geo::DIST(from, to));
    data["path"] = line(greatCircle(a, b));
    const QString script = QStringLiteral(R"JS(
var map = orlanMap({center: PAGE.p0, zoom: PAGE.zoom, worldCopyJump: true});
if (map) {
  L.polyline(PAGE.path, {color: '#FF0000', weight: 1, opacity: 1}).addTo(map);
  var end = PAGE.path[PAGE.path.length - 1];
  L.circleMarker(end, {radius: 4, color: '#000', weight: 1, fillColor: '#FF0000', fillOpacity: 1}).addTo(map);
  if (PAGE.label) {
    var m = orlanLabel(end, PAGE.label, 'labels', [-22, 0]);
    m.addTo(map);
    m.getElement().style.width = PAGE.width + 'px';
  }
}
)JS");
    const QString style = QStringLiteral(
        ".labels { color: black; background-color: red; font-family: 'Arial Black', Arial, sans-serif;"
        " font-size: 10px; font-weight: bold; text-align: center; border: 1px solid black; white-space: nowrap; }\n");
    return page(title, data, script, style);
}

QString gridMapPage(const QMap<QString, QChar>& squares, const PageOptions& options)
{
    QJsonArray list;
    for (auto it = squares.cbegin(); it != squares.cend(); ++it) {
        int lat = 0, lon = 0;
        if (!gridSquareCorner(it.key(), &lat, &lon))
            continue;
        list.append(QJsonObject{{"name", it.key().trimmed().toUpper()},
                                {"lat", lat},
                                {"lon", lon},
                                {"colour", it.value() == QLatin1Char('C') ? "#00D600" : "#FFFF00"}});
    }
    QJsonObject data;
    data["tiles"] = options.tiles;
    data["squares"] = list;
    const QString script = QStringLiteral(R"JS(
var map = orlanMap({center: [40, 2], zoom: 5, worldCopyJump: true});
if (map) {
  var grid = {color: '#000000', opacity: 1.0, weight: 0.6, interactive: false};
  for (var lat = -90; lat <= 89; lat++) L.polyline([[lat, -180], [lat, 0], [lat, 180]], grid).addTo(map);
  for (var lon = -160; lon <= 180; lon += 2) L.polyline([[-90, lon], [0, lon], [90, lon]], grid).addTo(map);
  PAGE.squares.forEach(function (s) {
    L.polygon([[s.lat, s.lon], [s.lat + 1, s.lon], [s.lat + 1, s.lon + 2], [s.lat, s.lon + 2]],
      {color: s.colour, opacity: 0.9, weight: 1, fillColor: s.colour, fillOpacity: 0.25}).bindTooltip(s.name).addTo(map);
    orlanLabel([s.lat + 0.5, s.lon + 1], s.name, 'cuadricula', [14, 7]).addTo(map);
  });
}
)JS");
    const QString style = QStringLiteral(
        ".cuadricula { font: bold 11px sans-serif; color: #000; white-space: nowrap; }\n");
    return page(QStringLiteral("Orlanlog | Locators "), data, script, style);
}

QString viewMapPage(const QList<ViewLine>& lines, const QString& centreLocator, const PageOptions& options)
{
    QJsonArray list;
    for (const ViewLine& l : lines) {
        const QString from = geo::completeLocator(l.from);
        const QString to = geo::completeLocator(l.to);
        if (from.isEmpty() || to.isEmpty() || !geo::isValidLocator(from) || !geo::isValidLocator(to))
            continue;
        const LatLon a(geo::QRA2LAT(from), geo::QRA2LON(from));
        const LatLon b(geo::QRA2LAT(to), geo::QRA2LON(to));
        list.append(QJsonObject{{"path", line(greatCircle(a, b, false, 48))}, {"colour", l.colour}, {"call", l.call}});
    }
    QJsonObject data;
    data["tiles"] = options.tiles;
    data["centre"] = locatorPoint(geo::completeLocator(centreLocator));
    data["lines"] = list;
    const QString script = QStringLiteral(R"JS(
var map = orlanMap({center: PAGE.centre, zoom: 4, worldCopyJump: true});
if (map) {
  L.control.scale({imperial: false}).addTo(map);
  PAGE.lines.forEach(function (l) {
    L.polyline(l.path, {color: l.colour, weight: 1, opacity: 1}).bindTooltip(l.call).addTo(map);
  });
}
)JS");
    return page(QStringLiteral("Mapa de los QSO"), data, script);
}

QString HTMLEARTH(const QString& fromLocator, const QString& toLocator, const QString& label2, const QString& label1,
                  const QDateTime& moment, const PageOptions& options)
{
    const QString from = geo::completeLocator(fromLocator);
    const QString to = geo::completeLocator(toLocator);
    const LatLon a(geo::QRA2LAT(from), geo::QRA2LON(from));
    const LatLon b(geo::QRA2LAT(to), geo::QRA2LON(to));
    const QDateTime utc = moment.isValid() ? moment.toUTC() : QDateTime::currentDateTimeUtc();
    QJsonObject data;
    data["tiles"] = options.tiles;
    data["p0"] = point(a);
    data["p1"] = point(b);
    data["lbl1"] = label1.trimmed();
    data["lbl2"] = label2.trimmed();
    data["short"] = line(greatCircle(a, b, false, 180));
    data["long"] = line(greatCircle(a, b, true, 360));
    data["night"] = line(nightPolygon(utc));
    data["sun"] = point(subsolarPoint(utc));
    data["moment"] = utc.toString(Qt::ISODate);
    data["bearing"] = geo::RUMBO(from, to);
    data["km"] = geo::DIST(from, to);
    const QString script = QStringLiteral(R"JS(
var map = orlanMap({center: PAGE.p0, zoom: 2, minZoom: 1, worldCopyJump: false});
if (map) {
  var night = L.layerGroup([
    L.polygon(PAGE.night, {stroke: false, fillColor: '#000020', fillOpacity: 0.35, interactive: false}),
    L.circleMarker(PAGE.sun, {radius: 7, color: '#a06000', weight: 1, fillColor: '#ffd000', fillOpacity: 1})
      .bindTooltip('Sol ' + PAGE.moment)]);
  night.addTo(map);
  // The line's colour: red at alpha 0x99.
  L.polyline(PAGE.short, {color: '#ff0000', opacity: 0.6, weight: 2}).bindTooltip('Camino corto: ' + PAGE.km + ' Km, ' + PAGE.bearing + 'º').addTo(map);
  L.polyline(PAGE.long, {color: '#ff0000', opacity: 0.6, weight: 2, dashArray: '6 6'}).bindTooltip('Camino largo: ' + (40000 - PAGE.km) + ' Km, ' + ((PAGE.bearing + 180) % 360) + 'º').addTo(map);
  L.circleMarker(PAGE.p0, {radius: 5, color: '#000', weight: 1, fillColor: '#ff0000', fillOpacity: 1}).bindTooltip(PAGE.lbl1).addTo(map);
  L.circleMarker(PAGE.p1, {radius: 5, color: '#000', weight: 1, fillColor: '#ff0000', fillOpacity: 1}).bindTooltip(PAGE.lbl2).addTo(map);
  orlanLabel(PAGE.p0, PAGE.lbl1, 'marca', [-8, 8]).addTo(map);
  orlanLabel(PAGE.p1, PAGE.lbl2, 'marca', [-8, 8]).addTo(map);
  function button(text, action) {
    var b = document.createElement('button'); b.textContent = text; b.onclick = action;
    document.getElementById('botones').appendChild(b);
  }
  if (PAGE.lbl1) button(PAGE.lbl1, function () { map.flyTo(PAGE.p0, 4); });
  if (PAGE.lbl2) button(PAGE.lbl2, function () { map.flyTo(PAGE.p1, 4); });
  button('Fronteras', function () { map.hasLayer(map.orlanBorders) ? map.removeLayer(map.orlanBorders) : map.addLayer(map.orlanBorders); });
  button('Dia y Noche', function () { map.hasLayer(night) ? map.removeLayer(night) : map.addLayer(night); });
  var navigation = true;
  button('Ctrl.Navegacion', function () { navigation ? map.zoomControl.remove() : map.zoomControl.addTo(map); navigation = !navigation; });
}
)JS");
    const QString style = QStringLiteral(
        "#botones { position: absolute; top: 8px; left: 56px; z-index: 1000; }\n"
        "#botones button { margin-right: 4px; font: 12px sans-serif; }\n"
        ".marca { font: bold 12px sans-serif; color: #fff; text-shadow: 0 0 3px #000; white-space: nowrap; }\n");
    return page(QStringLiteral("Vista de la Tierra"), data, script, style, QStringLiteral("<div id=\"botones\"></div>\n"));
}

QString earthTimestamp(const QDate& date, const QString& timeOn, int utcOffsetSeconds)
{
    const QDate d = date.isValid() ? date : QDate::currentDate();
    QString t = timeOn.trimmed();
    if (t.size() < 5)
        t = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    const int hours = utcOffsetSeconds / 3600;
    return d.toString(Qt::ISODate) + QLatin1Char('T') + t.left(5) + QStringLiteral(":00") +
           (utcOffsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QString::number(qAbs(hours)).rightJustified(2, QLatin1Char('0')) + QStringLiteral(":00");
}

} // namespace maps
