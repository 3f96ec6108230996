#pragma once
// DPLDETALLE's rule: the QSOs behind a cell of an award's status table.

#include "award_status.h"

#include <vector>

namespace awards {

struct CellRequest {
    QByteArray ref;          // the row's reference as the status table holds it
    QString mode;            // the row's mode key
    QString band;            // a band column; empty for the other columns (every band of the award)
};

// Record numbers of the QSOs in date order. Standard award: QSOs with the
// row's reference (for a locator award its square) on the band (or any band
// of the award), of the row's mode ("DIG": any digital mode, "MIXED": any),
// of the award's entities when it names any (not for locator awards).
// Award over a reference list: the QSOs that carry the row's reference of
// that list, with the same band and mode rule.
std::vector<quint32> DPLDETALLE(const AwardDef& def, const CellRequest& cell, const BookFiles& book);

} // namespace awards
