#pragma once
// Finds the QSO of a call at a date and start minute in the log book (area
// "LogQsl"): the duplicate test of the imports and the match of a LoTW
// confirmation. The lookup seeks an index whose key holds the date with the
// call or with the start time, and then walks only the QSOs that share that
// key, so it costs the same for the thousandth QSO of a call as for the first.

#include <QByteArray>
#include <QDate>

namespace interchange {

// call: as written (blanks and case do not count); time: "HH:MM" (what follows
// the minute does not count). True with "LogQsl" on the QSO found; its order
// is the one it had.
bool findQso(const QByteArray& call, const QDate& date, const QByteArray& time);

} // namespace interchange
