#pragma once
// The status table Dpl of an award view, written in one go from a computed
// status, and the award's status as tab-separated lines (the command line).

#include "award_status.h"

#include "store/status.h"

#include <QString>
#include <QStringList>

namespace awards {

// Creates the status table at path (replacing one left there) with the
// award's columns and its tags FldMod and Desc, and writes every row. The
// table is closed afterwards. Band and total columns are 3 (Total: 4)
// characters wide, or as wide as the largest counter needs.
store::Status fillStatusTable(const AwardStatus& status, const QString& path);

// The rows as lines: reference, description, mode key, then one column per
// band, CincoB and Total when the award has them, separated by tabs.
QStringList statusLines(const AwardStatus& status);
// The heading of the description column: the label of the award's field, or "no std".
QString referenceHeading(const AwardStatus& status);

} // namespace awards
