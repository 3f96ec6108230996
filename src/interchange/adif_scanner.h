#pragma once
// The ADIF tag scanner: data specifiers "<NAME:LENGTH[:TYPE]>DATA" read one at
// a time from a record text. Positions are 1-based, as in the record texts the
// import and the confirmation import cut from a file.

#include <QByteArray>

namespace interchange {

// Returns the next tag name at or after *pos and leaves *pos on the first
// character after the ":" (or ">") that ends the name.
QByteArray ADINOMFLD(const QByteArray& text, int* pos, int length);
// Reads the length specifier at *pos, returns its value and leaves *pos on the
// first data character (just after ">").
int ADILONFLD(const QByteArray& text, int* pos, int length);

} // namespace interchange
