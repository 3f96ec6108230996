#pragma once
// The two outside services of the elevation window: the place name of a
// point (reverse geocoding) and the terrain elevation along a path. Both
// answer JSON in the Google Maps web-service form; the address of each is a
// key of the INI section "Servicios" ("Geocodificacion", "Elevacion"), and a
// key for services that want one is "ClaveMapas". A failure of any kind
// gives an empty result and no message, as the window expects.

#include <QList>
#include <QString>
#include <QStringList>

namespace maps {

// GMAPGEO: the parts of the place's address, split at commas (each keeping
// its leading blank); empty on failure.
QStringList GMAPGEO(const QString& locator, int timeOutSeconds = 15);

// GMAPELEVATION: elevations in metres along the great circle from one
// locator to the other, elevationSamples(distance) of them, negative values
// as 0; empty on failure.
QList<double> GMAPELEVATION(const QString& fromLocator, const QString& toLocator, int timeOutSeconds = 15);

// The readers of the answers, apart from the network.
QStringList addressParts(const QByteArray& json);
QList<double> elevations(const QByteArray& json);

// The three place lines of the window: the last three parts in order,
// blank lines where there are fewer.
QStringList placeLines(const QStringList& parts);

} // namespace maps
