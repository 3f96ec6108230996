#pragma once
// QSO dates and times as interchange files write them, read and checked in one
// place for every importer: a value that is no real date or time is refused,
// never stored as if it were one.

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>

namespace interchange {

// A calendar date written YYYYMMDD (blanks around it allowed); the empty date
// when the text is not eight digits or names no real day (20241345, 20230229).
QDate adifDate(QByteArrayView yyyymmdd);

// A time written HHMM or HHMMSS (blanks around it allowed) with hour 00-23 and
// minute and second 00-59, as the log stores it: "HH:MM", seconds dropped.
// Empty for anything else ("2599", "930", "09:30").
QByteArray adifTime(QByteArrayView hhmm);

} // namespace interchange
