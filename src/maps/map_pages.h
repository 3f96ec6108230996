#pragma once
// The map pages the program generates: whole HTML documents that draw with
// the Leaflet and world outline carried inside them, so they work without a
// connection; map tiles are added only when a tile service is given (the
// caller gives one only when online).

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

namespace maps {

struct PageOptions {
    QString tiles;   // tile address with {z}/{x}/{y}; empty: outline only
};

// HTMLMAP: the two-point path map. Centred on from, a red great-circle line
// of weight 1 to to, a marker at to carrying label (black bold text on red).
// zoom < 0 applies the zoom rule of the distance (pathZoom).
QString HTMLMAP(const QString& title, const QString& fromLocator, const QString& toLocator, const QString& label,
                const PageOptions& options = {}, int zoom = -1);

// The grid-square map of GMAPGRID: squares by status ('C' confirmed, green
// "#00D600"; anything else worked, yellow "#FFFF00"), the degree lines, and
// each square's name.
QString gridMapPage(const QMap<QString, QChar>& squares, const PageOptions& options = {});

struct ViewLine {
    QString from;     // own locator
    QString to;       // the correspondent's
    QString colour;   // viewLineColour
    QString call;
};
// The log window's map of the current view: a line from each QSO's own
// locator to the correspondent's, centred on centreLocator at zoom 4.
QString viewMapPage(const QList<ViewLine>& lines, const QString& centreLocator, const PageOptions& options = {});

// HTMLEARTH: the Earth view. The world with the night side at the moment,
// the short path (solid) and the long path (dashed) between the points,
// named buttons flying to either end, "Fronteras", "Dia y Noche",
// "Ctrl.Navegacion".
QString HTMLEARTH(const QString& fromLocator, const QString& toLocator, const QString& label2, const QString& label1,
                  const QDateTime& moment, const PageOptions& options = {});

// The time stamp of the Earth view: date "T" hh:mm ":00" and the local
// offset as "+hh:00" / "-hh:00" (whole hours). An empty date is today, an
// empty time now.
QString earthTimestamp(const QDate& date, const QString& timeOn, int utcOffsetSeconds);

} // namespace maps
