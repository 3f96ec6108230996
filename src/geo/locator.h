#pragma once
// The Maidenhead locator: field letters (longitude, latitude), square digits,
// subsquare letters, upper case, six characters ("IN80DO").

#include <QString>

namespace geo {

// Latitude and longitude of the centre of the locator's subsquare, decimal
// degrees (north and east positive). A 4-character locator stands for its
// north-east subsquare ("XX"), which is where maps place it. Other lengths and
// characters out of range give some point of the globe, never a crash.
double QRA2LAT(const QString& locator);
double QRA2LON(const QString& locator);

// Locator of a point. Latitudes beyond the poles count as the pole; longitudes
// are taken round the globe (180 east is 180 west).
QString CALLOC(double lat, double lon);

// Trimmed, upper case, with a 2-character locator completed by "55LL" and a
// 4-character one by "LL": the centre of the field or of the square.
QString completeLocator(const QString& text);

// True for an empty text and for a locator that is valid once completed; the
// completed text goes to *completed. No message.
bool isValidLocator(const QString& text, QString* completed = nullptr);

// The check of a locator field: as isValidLocator, and an invalid locator
// shows "Locator erroneo". The pointer form leaves the trimmed, upper-case,
// completed text in the caller's variable.
bool CHKLOC(const QString& locator);
bool CHKLOC(QString* locator);

} // namespace geo
