#pragma once
// The bands and modes a report is limited to: up to ten bands and six modes;
// blank entries are ignored, and an empty list means every band or mode.

#include <QString>
#include <QStringList>

namespace reports {

struct BandModeChoice {
    QStringList bands;    // trimmed, upper case, no blanks: made by of()
    QStringList modes;

    // The choice from the lists as entered: codes trimmed and upper-cased, blanks left out.
    static BandModeChoice of(const QStringList& bands, const QStringList& modes);
    // A QSO on `band` in `mode` qualifies (fields as stored, blanks trailing).
    bool accepts(const QString& band, const QString& mode) const;
    // "Bandas: 20M 40M    Modos: todos", for the printed heading.
    QString describe() const;
};

} // namespace reports
