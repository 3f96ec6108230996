#pragma once
// The columns of the QSO grids (log window, QSL marking, print spool) and of
// the spreadsheet export: heading, kind, alignment, and how each cell is read
// from the current record of a QSO cursor.

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

namespace store {
class WorkArea;
}

namespace logbook {

enum class CellKind { Text, Number, Date };

struct LogColumn {
    QString heading;          // two lines joined by "\r\n" where the grid shows two
    CellKind kind = CellKind::Text;
    bool rightAligned = false;
    // The cell's value: a QString (Text, trimmed), a double (Number) or a
    // QDate (Date; invalid when empty).
    std::function<QVariant(store::WorkArea&)> value;
    // The cell as the grid shows it.
    std::function<QString(store::WorkArea&)> text;
};

// The 30 columns of the log grid, in order: "Fecha", "Hora\r\nInicio", ...,
// "Operador", "Key". The computed ones read the reference tables (entity,
// province and IOTA names) and the locators (distance).
std::vector<LogColumn> logColumns();

// A heading on one line ("Hora Inicio").
QString singleLine(const QString& heading);

} // namespace logbook
