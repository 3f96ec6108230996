#pragma once
// A QSO given as texts (the command line, a line of a tab-separated file),
// entered through the same rules as the entry form: what the form derives is
// derived, what is given wins over what is derived, and the save is the form's.

#include <QString>
#include <QStringList>

namespace logbook {

class QsoEntry;

struct QsoValues {
    QString call, date, time, freq, mode;   // needed: date YYYYMMDD, time HH:MM, freq in MHz
    QString band, rstSent, rstRcvd, name, grid, comment;
};

// The names a value is given by ("call", "date", ..., "rst-sent", "grid").
QStringList qsoValueNames();
// Sets a value by its name; false for a name that is none of them.
bool setQsoValue(QsoValues* v, const QString& name, const QString& value);

// Prepares a new QSO in entry, fills it as an operator typing the values would,
// and saves it. The key it got goes to *key. False with the reason in *error
// (Spanish) when a value is wrong or the QSO could not be written; nothing is
// written then.
bool enterQso(QsoEntry& entry, const QsoValues& values, QString* key, QString* error);

} // namespace logbook
