#pragma once
// Label filling: the QSOs to print, in the order given, become labels of the
// LogLbl layout, several QSOs of one station on a label; and the sheet
// position stored in ULTETI afterwards.

#include "qsl/rows.h"

#include <functional>

namespace qsl {

// The fields of "LogLbl.dbf": OPERATOR, CODENT, CALL, NAME, QSLVIA and nine
// slots of QSODATE, TIMEON, BAND, FREQ, MODE, RSTSENT, QSL, COMMENT, CONTESTID, GRID, MIGRID.
std::vector<store::FieldInfo> labelFields();
// The fields of the card print data "log.dbf" (the QSO fields).
std::vector<store::FieldInfo> cardFields();
// The format record as designs see it through "f": DESC and the five texts
// Nombre, Dir1, Dir2, Txt1, Txt2.
std::vector<store::FieldInfo> formatFields();

// Labels from `qsos` (fields as in the log). A new label starts when the call
// or the operator changes or the label already holds `qsosPerLabel` QSOs
// (1 to 9). `accept`, when given, passes or drops a QSO by its row index.
RowSet fillLabels(const RowSet& qsos, int qsosPerLabel, const std::function<bool(size_t)>& accept = {});

// Labels in use on the sheet after printing `printed` labels from position
// `startAt` (1-based) of a sheet of `perSheet` labels; `perSheet` 0 does not
// track the sheet and gives 0.
int labelsUsedAfter(int startAt, int printed, int perSheet);

} // namespace qsl
