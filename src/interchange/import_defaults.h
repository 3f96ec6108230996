#pragma once
// What the imports propose before the user says otherwise, from the session's
// tables: the active book, its default operator and the last QSO's locator.

#include <QString>

namespace interchange {

struct ImportDefaults {
    QString book;            // the book's name (NOMBRE)
    QString oprDef;          // its default operator (OPRDEF), may be empty
    QString operatorCall;    // the default operator, else the book's name, upper case
    QString locator;         // QRA of the last QSO of "Log"
};

// Reads them from "LibBrw" (else "libros") and "Log"; the position of "Log" is kept.
ImportDefaults importDefaults();

} // namespace interchange
