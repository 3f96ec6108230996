#pragma once
// The name of a log book: it becomes part of the file names of the book's
// three tables ("Log", "Attach" and "Dpl" followed by the name).

#include <QString>

namespace logbook {

// The width of the name in the catalogue of books.
constexpr int kNameWidth = 20;

// CHKNOM: true when a new book may take this name. An empty name is refused
// without a word; a name holding one of ? * ^ \ / . | is refused with the name
// and "Contiene carácteres no válidos"; a name whose QSO table already exists
// in the data directory is refused as in use. Trailing blanks do not count.
bool CHKNOM(const QString& name);

// The name as it is stored and forms file names: without surrounding blanks,
// in upper case.
QString bookName(const QString& typed);

} // namespace logbook
