#pragma once
// The catalogue of log books ("libros", open as LibBrw for the log-book
// window): creating, editing, deleting and listing books.

#include <QString>

#include <vector>

namespace logbook {

struct BookFields {
    QString name;              // NOMBRE
    QString description;       // DESCRI
    QString defaultOperator;   // OPRDEF
};

// What becomes of a book just created.
enum class NewBook {
    MakeCurrent,   // LIBSELLOG: the book is current and open at once
    Marked,        // only marked current, while the session opens with no book open yet: it opens the book
};

// EDTLIB's writing. A new book (its name checked again with CHKNOM and stored
// in upper case) gets its three tables (CRTLOG) and a record in the catalogue,
// and then becomes current. Editing writes the description and the default
// operator into the record under the LibBrw cursor, under its lock. A write
// that fails says "No pudieron grabarse las modificaciones" and leaves the
// catalogue and the books as they were. False when nothing was saved.
bool saveBook(const BookFields& fields, bool isNew, NewBook after = NewBook::MakeCurrent);

enum class Deletion { Deleted, Declined, Locked, NoBook };

// Deletes the book under the LibBrw cursor: with ask, only after "Se va a
// eliminar el libro de guardia ..." is answered yes. Its record is locked (a
// lock held by someone else: nothing happens) and marked deleted, and its
// three tables are erased; for the current book the windows and tables close
// first and the session opens again (store::DLTLOG with store::hooks()),
// which makes another book current.
Deletion deleteBook(bool ask);

// Puts the LibBrw cursor on the book of that name (blanks and case aside);
// false when the catalogue has none.
bool findBook(const QString& name);

struct BookRow {
    QString name, description, defaultOperator;
    bool current = false;
    qint64 records = -1;   // records in its QSO table, deleted ones included; -1 when it cannot be read
};
// Every book of the catalogue, in record order, without moving any cursor.
std::vector<BookRow> listBooks();

} // namespace logbook
