#pragma once
// The QSL print spool: the QSOs whose PRNQSL is set (the log's tag PrnQsl).
// A spooled QSO has PRNQSL true and QSLSENT "Q"; taken out, false and "N".

#include <QString>

#include <vector>

namespace store {
class WorkArea;
}

namespace qsl {

// SPOOLADD: puts the records `recs` of `log` (or, when there are fewer than
// two, the current one) into the spool and returns to the record that was
// current. Returns how many were put in; a record whose lock is refused is skipped.
int spoolAdd(store::WorkArea& log, const std::vector<quint32>& recs = {});
// Every record of the area's view (its filter and scope) whose PRNQSL is false
// goes in; returns the number of records in the view, as the message counts them.
int spoolAddView(store::WorkArea& log);
// Takes the current QSO out of the spool; false when it could not be locked.
bool spoolTakeOut(store::WorkArea& log);
// Empties the spool (area in order PrnQsl); returns the QSOs taken out.
int spoolEmpty(store::WorkArea& spool);
// SPOOLDLTDUP: within each call, keeps the first QSO of every band and mode
// in spool order and takes the others out. Returns how many were taken out.
int spoolRemoveDuplicates(store::WorkArea& spool);

} // namespace qsl
