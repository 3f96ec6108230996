#include "local_time.h"

#include "geo/locator.h"
#include "online/reachability.h"
#include "online/web_request.h"

#include <QList>

#include <cctype>

#include <cmath>

namespace awards {

namespace {

bool numberAfterColon(const QByteArray& piece, double* out)
{
    const int colon = piece.indexOf(':');
    if (colon < 0)
        return false;
    QByteArray t = piece.mid(colon + 1).trimmed();
    // the number ends where the JSON value does
    int end = 0;
    while (end < t.size() && (std::isdigit(uchar(t[end])) || t[end] == '-' || t[end] == '+' || t[end] == '.'))
        ++end;
    bool ok = false;
    *out = t.left(end).toDouble(&ok);
    return ok && std::isfinite(*out);
}

} // namespace

bool parseTimeZoneAnswer(const QByteArray& body, double* offsetHours)
{
    const QList<QByteArray> pieces = body.split(',');
    if (pieces.size() <= 2)
        return false;
    double dst = 0, raw = 0;
    if (!numberAfterColon(pieces[0], &dst) || !numberAfterColon(pieces[1], &raw))
        return false;
    const double hours = (dst + raw) / 3600.0;
    if (std::fabs(hours) > 26)
        return false;
    *offsetHours = hours;
    return true;
}

QString localTimeText(const QDateTime& utc, double offsetHours)
{
    const QTime t = utc.toUTC().time();
    int hour = t.hour() + int(std::trunc(offsetHours));
    QString mark = QStringLiteral("  ");
    if (hour >= 24) {
        hour %= 24;
        mark = QStringLiteral("+1");
    }
    else if (hour < 0) {
        hour += 24;
        mark = QStringLiteral("-1");
    }
    return QStringLiteral("%1:%2%3").arg(hour, 2, 10, QLatin1Char('0')).arg(t.minute(), 2, 10, QLatin1Char('0')).arg(mark);
}

bool parseUtcDifference(const QString& text, double* hours)
{
    QString t = text.trimmed();
    t.replace(u',', u'.');
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double h = t.toDouble(&ok);
    if (!ok || !std::isfinite(h) || std::fabs(h) > 14)
        return false;
    *hours = h;
    return true;
}

QString LocalTime::sourceText() const
{
    switch (source) {
    case Source::Service: return QStringLiteral("(servicio)");
    case Source::Stored: return QStringLiteral("(entidad)");
    case Source::None: break;
    }
    return QString();
}

QString LocalTime::sourceExplained() const
{
    switch (source) {
    case Source::Service: return QStringLiteral("Hora dada por el servicio de zonas horarias");
    case Source::Stored:
        return QStringLiteral("El servicio de zonas horarias no ha respondido: hora calculada con la diferencia horaria de la entidad");
    case Source::None: break;
    }
    return QStringLiteral("Ni el servicio de zonas horarias ni la entidad dan la hora local");
}

LocalTime LOCALTIME(const QString& locator, const QString& stored, const QString& baseUrl, const QDateTime& utc,
                    int timeOutSeconds)
{
    LocalTime answer;
    const QString loc = locator.trimmed();
    if (!baseUrl.trimmed().isEmpty() && !loc.isEmpty() && !online::offlineForced()) {
        const QString url = baseUrl.trimmed() + QStringLiteral("/maps/api/timezone/json?location=%1,%2&timestamp=%3&sensor=false")
                                                  .arg(geo::QRA2LAT(loc), 0, 'f', 6)
                                                  .arg(geo::QRA2LON(loc), 0, 'f', 6)
                                                  .arg(utc.toSecsSinceEpoch());
        std::unique_ptr<online::WebRequest> request = online::CRTWINHTTP();
        request->setTimeOut(timeOutSeconds, timeOutSeconds);
        request->setMaxBytes(64 * 1024);
        request->Open(QStringLiteral("GET"), url);
        double hours = 0;
        if (request->Send() && request->Status() == 200 && parseTimeZoneAnswer(request->ResponseBody(), &hours)) {
            answer.text = localTimeText(utc, hours);
            answer.source = LocalTime::Source::Service;
            return answer;
        }
    }
    double hours = 0;
    if (parseUtcDifference(stored, &hours)) {
        answer.text = localTimeText(utc, hours);
        answer.source = LocalTime::Source::Stored;
    }
    return answer;
}

} // namespace awards
