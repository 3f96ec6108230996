#pragma once
// What makes a record of a log book a QSO.

namespace store {

class WorkArea;

// True when the current record of a log book is a QSO: it has a call. The blank
// record a new book starts with (and any record left without a call) is none:
// exports and their counts leave it out, and the reorganisation removes it.
bool isQso(WorkArea& log);

} // namespace store
