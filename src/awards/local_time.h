#pragma once
// LOCALTIME: the time at a far station, asked of a time-zone web service
// (the map provider's "/maps/api/timezone/json"), or, when no service answers,
// worked out from the entity's stored difference from UTC (ENT's DHORA).

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace awards {

// The daylight-saving and raw offsets of the service's answer, in hours: the
// answer cut at every ","; with more than two pieces, the numbers after the
// first ":" of the first and second pieces, in seconds. False for any other answer.
bool parseTimeZoneAnswer(const QByteArray& body, double* offsetHours);

// "hh:mm" of the UTC time moved by the offset truncated to whole hours,
// followed by a two-character day mark: "  ", "+1" past midnight, "-1"
// before it (the hour taken round the clock).
QString localTimeText(const QDateTime& utc, double offsetHours);

// A stored UTC difference ("+4.5", "-5", "0"); false when the text is no number.
bool parseUtcDifference(const QString& text, double* hours);

struct LocalTime {
    enum class Source { None, Service, Stored };
    QString text = QStringLiteral("  :  ");
    Source source = Source::None;
    // What the panel says beside the time, short, and in its tooltip.
    QString sourceText() const;
    QString sourceExplained() const;
};

// Asks the service at baseUrl (scheme and host; empty: no service) about the
// locator at utc, within timeOutSeconds; falls back on the stored difference.
LocalTime LOCALTIME(const QString& locator, const QString& storedDifference, const QString& baseUrl,
                    const QDateTime& utc = QDateTime::currentDateTimeUtc(), int timeOutSeconds = 5);

// The INI key of section "Servicios" with the time-zone service, and its default.
inline const QString kTimeZoneKey = QStringLiteral("ZonaHoraria");
inline const QString kTimeZoneDefault = QStringLiteral("https://maps.googleapis.com");

} // namespace awards
