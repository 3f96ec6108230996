#pragma once
// Import of a log book kept with the Radioges logger: the rows of the table
// "LibroGuardia" of its Access database (.mdb), one QSO each, into the book
// open as "Log" (RGIMP), Spanish province names turned into province codes.

#include "access_database.h"
#include "adif_import.h"

#include <QDate>
#include <QString>

#include <functional>

namespace ui {
class Meter;
}

namespace interchange {

using RadiogesImportOptions = QsoImportOptions;

struct RadiogesImportResult {
    bool ok = false;             // false: refused before reading any row (message shown)
    bool cancelled = false;
    bool complete = false;       // every row the table holds was read and, if kept, stored
    int imported = 0;
    int dropped = 0;             // no call, or duplicate
    QString message;             // the final message shown to the user
};

// The whole run: file checks, the table, the rows, the final message, under a meter.
RadiogesImportResult RGIMP(ui::Meter& meter, const RadiogesImportOptions& opt);

// The same over rows handed by next() (false at the end); total is the meter's.
// rowsMissing tells, once next() has ended, how many rows the source could not read.
RadiogesImportResult RGIMPROWS(ui::Meter& meter, const RadiogesImportOptions& opt, qint64 total,
                               const std::function<bool(AccessRow*)>& next,
                               const std::function<qint64()>& rowsMissing = {});

// Fills a draft from one row.
void RGADDREC(QsoDraft& qso, const AccessRow& row, const RadiogesImportOptions& opt);

// The province code of a Spanish province name (trimmed, any case, accents
// allowed); empty when the name is none of the table's.
QString CODPRV(const QString& province);
// A column's value as text: empty for a missing value.
QString RSCHAR(const QVariant& value);
// A column's value as a date: the empty date for a missing value.
QDate RSDATE(const QVariant& value);
// The call from "Indicativo" and "Barra" ("/P" after it, a prefix before it, or both).
QString radiogesCall(const QString& call, const QString& bar);
// The frequency written in "Banda" (MHz, point or comma): its leading number.
double radiogesFrequency(const QString& text);

} // namespace interchange
