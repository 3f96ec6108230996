#include "qso_values.h"

#include "qso_entry.h"

#include "geo/locator.h"
#include "refdata/modes.h"
#include "store/record_buffer.h"

#include <QDate>
#include <QHash>
#include <QTime>

namespace logbook {

namespace {

struct Named {
    const char* name;
    QString QsoValues::*member;
};

const Named kNames[] = {
    {"call", &QsoValues::call},        {"date", &QsoValues::date},         {"time", &QsoValues::time},
    {"freq", &QsoValues::freq},        {"mode", &QsoValues::mode},         {"band", &QsoValues::band},
    {"rst-sent", &QsoValues::rstSent}, {"rst-rcvd", &QsoValues::rstRcvd}, {"name", &QsoValues::name},
    {"grid", &QsoValues::grid},        {"comment", &QsoValues::comment},
};

} // namespace

QStringList qsoValueNames()
{
    QStringList out;
    for (const Named& n : kNames)
        out << QString::fromLatin1(n.name);
    return out;
}

bool setQsoValue(QsoValues* v, const QString& name, const QString& value)
{
    for (const Named& n : kNames)
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            v->*(n.member) = value;
            return true;
        }
    return false;
}

bool enterQso(QsoEntry& entry, const QsoValues& v, QString* key, QString* error)
{
    const QString call = v.call.trimmed().toUpper();
    const QDate date = QDate::fromString(v.date.trimmed(), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(v.time.trimmed(), QStringLiteral("HH:mm"));
    bool freqOk = false;
    const double mhz = v.freq.trimmed().toDouble(&freqOk);
    const QString mode = v.mode.trimmed().toUpper();
    auto fail = [error](const QString& why) {
        *error = why;
        return false;
    };
    if (call.isEmpty() || call.size() > 12 || call.contains(QLatin1Char(' ')))
        return fail(QStringLiteral("Indicativo no válido: \"%1\"").arg(v.call));
    if (!date.isValid())
        return fail(QStringLiteral("Fecha no válida: \"%1\" (use AAAAMMDD)").arg(v.date));
    if (!time.isValid())
        return fail(QStringLiteral("Hora no válida: \"%1\" (use HH:MM)").arg(v.time));
    if (!freqOk || mhz <= 0 || mhz >= 100000)
        return fail(QStringLiteral("Frecuencia no válida: \"%1\" (en MHz)").arg(v.freq));
    // the mode list is read once per run, as the form's list is
    static const QHash<QByteArray, QByteArray> modes = refdata::modeCodes();
    if (!modes.contains(mode.toLatin1()))
        return fail(QStringLiteral("Modo desconocido: \"%1\"").arg(v.mode));
    QString grid = v.grid.trimmed().toUpper();
    if (!grid.isEmpty() && !geo::isValidLocator(grid, &grid))
        return fail(QStringLiteral("Locator erroneo: \"%1\"").arg(v.grid));

    // as the form does it: a new QSO, then the fields in the order they are typed
    entry.prepareNew(false);
    entry.buffer().set(QStringLiteral("QSODATE"), store::Value::date(date));
    entry.setText("TIMEON", time.toString(QStringLiteral("HH:mm")));
    entry.buffer().set(QStringLiteral("FREQ"), store::Value::number(mhz));
    entry.frequencyLeft();
    if (!v.band.trimmed().isEmpty())
        entry.setText("BAND", v.band.trimmed().toUpper());
    entry.setText("MODE", QString::fromLatin1(modes.value(mode.toLatin1())));
    entry.modeChanged();
    entry.callTyped(call);
    entry.knownData();
    if (!v.rstSent.trimmed().isEmpty())
        entry.setText("RSTSENT", v.rstSent.trimmed());
    if (!v.rstRcvd.trimmed().isEmpty())
        entry.setText("RSTRCVD", v.rstRcvd.trimmed());
    if (!v.name.trimmed().isEmpty())
        entry.setText("NAME", v.name.trimmed());
    if (!grid.isEmpty())
        entry.setText("GRIDSQUARE", grid);
    if (!v.comment.trimmed().isEmpty())
        entry.setText("COMMENT", v.comment.trimmed());
    if (entry.save() != QsoEntry::Saved::Written)
        return fail(QStringLiteral("No se pudo grabar el QSO de %1").arg(call));
    *key = entry.text("KEY");
    return true;
}

} // namespace logbook
