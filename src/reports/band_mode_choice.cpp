#include "reports/band_mode_choice.h"

namespace reports {

namespace {

QStringList cleaned(const QStringList& codes)
{
    QStringList out;
    for (const QString& c : codes) {
        const QString t = c.trimmed().toUpper();
        if (!t.isEmpty() && !out.contains(t))
            out << t;
    }
    return out;
}

} // namespace

BandModeChoice BandModeChoice::of(const QStringList& b, const QStringList& m)
{
    return {cleaned(b), cleaned(m)};
}

bool BandModeChoice::accepts(const QString& band, const QString& mode) const
{
    const QStringList& b = bands;
    const QStringList& m = modes;
    return (b.isEmpty() || b.contains(band.trimmed().toUpper())) && (m.isEmpty() || m.contains(mode.trimmed().toUpper()));
}

QString BandModeChoice::describe() const
{
    const QString b = bands.isEmpty() ? QStringLiteral("todas") : bands.join(u' ');
    const QString m = modes.isEmpty() ? QStringLiteral("todos") : modes.join(u' ');
    return QStringLiteral("Bandas: %1    Modos: %2").arg(b, m);
}

} // namespace reports
