#pragma once
// The spreadsheet export of the log window: the rows of a cursor's current
// view (its order, scope and filter) into an .xlsx file, one column per
// LogColumn given, headings bold in a frozen first row, dates as dates and
// numbers as numbers.

#include "log_columns.h"

#include <QString>

#include <vector>

namespace store {
class WorkArea;
}

namespace ui {
class Meter;
}

namespace logbook {

struct SheetResult {
    bool written = false;     // the file is complete
    int rows = 0;             // QSO rows written
    bool cancelled = false;   // stopped from the meter: no file is left
    QString error;            // why it was not written (Spanish)
};

// Writes every row of area's current view, from the top, to path. The meter
// (may be null) shows "Enviando registro : n/total". area returns to its
// record. A file that cannot be written leaves nothing behind.
SheetResult exportSheet(const QString& path, store::WorkArea& area, const std::vector<LogColumn>& columns,
                        ui::Meter* meter = nullptr);

} // namespace logbook
