#pragma once
// Writes a spreadsheet of a work area's records with the progress box and
// opens it: LibreOffice Calc for the "OpenOffice" buttons when it is
// installed, else the desktop's application for .xlsx files.

#include "logbook/log_columns.h"

#include <QString>

#include <vector>

namespace store {
class WorkArea;
}

namespace logbook {

// base: the file's name before the date ("Log", "DplDXCC-"); it is written in
// the program directory. calc: the OpenOffice button rather than Excel.
void writeAndOpenSheet(const QString& base, store::WorkArea& area, const std::vector<LogColumn>& columns, bool calc);

} // namespace logbook
