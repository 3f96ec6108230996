#pragma once
// Field values inside a record: the text forms of the DBF format.

#include "dbf_header.h"
#include "value.h"

namespace store {

// Value of a field from the record bytes (memo fields give their block number
// as a Number; the caller reads the memo).
Value decodeField(const DbfField& f, const char* record);
quint32 memoBlock(const DbfField& f, const char* record);

// Writes a value into the record; a value that does not fit (a number wider than
// the field) or has the wrong type is refused with a message naming the field.
Status encodeField(const DbfField& f, const Value& v, char* record);
void encodeMemoBlock(const DbfField& f, quint32 block, char* record);

// True when the bytes can be a record of the table as written by an xBase
// writer: deletion flag ' ' or '*', every field plausible for its type.
bool wellFormedRecord(const DbfHeader& h, const char* record);

// A record of blanks (the state of a newly appended record).
QByteArray blankRecord(const DbfHeader& h);

} // namespace store
