#pragma once
// Making a log book the current one: the book every window of the logbook works
// on, open under the session's aliases Log, Log2, LogQsl, LogSpool, Attach
// and DplLog.

#include <QString>

#include <functional>

namespace logbook {

// The trimmed name of the book open as "Log" (from its table's file name);
// empty when no book is open.
QString currentBook();

// LIBSELLOG: makes the book under the LibBrw cursor current. Nothing happens
// when it is current already. Otherwise ACTIVO moves to its record (each
// change under the record's lock, waiting as long as it takes), the catalogue
// alias "libros" is put on it, refresh runs (the window's grid), the windows
// that show QSOs close, the six aliases are opened on the book's tables and
// the windows come back (hooks()). When the book's QSO table cannot be opened
// (the user was told why) the book that was current stays so and the result
// is false.
bool LIBSELLOG(const std::function<void()>& refresh = {});

namespace detail {
// LIBSELLOG for a caller that has already closed the windows (and, creating a
// book, the tables) and knows which book was current before.
bool selectBook(const QString& previous, bool windowsClosed, const std::function<void()>& refresh);
// Opens the book's tables under the six aliases, closing them first; false
// when its QSO table cannot be opened.
bool openBook(const QString& book);
} // namespace detail

} // namespace logbook
