#pragma once
// What makes a record of a log book a QSO.

namespace store {

class WorkArea;

struct DbfHeader;

// True when the current record of a log book is a QSO: it has a call. The blank
// record a new book starts with (and any record left without a call) is none:
// exports and their counts leave it out.
bool isQso(WorkArea& log);

// True when every field of the record bytes is blank: the record a new book
// starts with, which the reorganisation removes. A record that holds anything
// at all (a QSO whose call was lost, a field renamed in a damaged header) is
// kept.
bool isBlankRecord(const DbfHeader& h, const char* record);

} // namespace store
