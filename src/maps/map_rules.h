#pragma once
// The small rules of the map views: zoom by distance, samples of an
// elevation profile, a grid square's corner, the colour of a QSO's line.

#include <QString>

namespace maps {

// Zoom of the path map for a distance in km: above 15000 → 1, below 500 → 6,
// below 1000 → 5, below 1400 → 4, below 2000 → 3, otherwise 2.
int pathZoom(double km);

// Samples of the elevation profile: (km / 10) modulo 512, at least 100.
int elevationSamples(double km);

// South-west corner of a 4-character square (that of square + "AA", rounded
// to whole degrees). False for a text that is no square.
bool gridSquareCorner(const QString& square, int* lat, int* lon);

// Colour of a QSO's line on the view map, by propagation mode and mode.
QString viewLineColour(const QString& propMode, const QString& mode);

} // namespace maps
