#pragma once
// Where the sun is, and the lines a world map draws: the night side of the
// globe at a moment, and the great circle between two points.

#include <QDateTime>
#include <QList>
#include <QPointF>

namespace maps {

// A point as (latitude, longitude) in degrees: x() latitude, y() longitude.
using LatLon = QPointF;

// The point where the sun stands at the zenith at a UTC moment.
LatLon subsolarPoint(const QDateTime& utc);

// The night side as one polygon: the terminator from longitude -180 to 180
// (steps of stepDegrees), closed over the dark pole; latitudes kept within
// ±85, where the maps' projection ends.
QList<LatLon> nightPolygon(const QDateTime& utc, double stepDegrees = 2.0);

// Points along the great circle from a to b: the short path, or the long one
// (the rest of the circle, through the antipodes). Longitudes are kept
// continuous (they may pass ±180) so a map draws the line without a jump.
QList<LatLon> greatCircle(LatLon a, LatLon b, bool longPath = false, int points = 128);

} // namespace maps
