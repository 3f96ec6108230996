#pragma once
// Microsoft Access databases (.mdb, Jet 3 and Jet 4) read through libmdb
// (mdbtools): the tables of a file and the rows of a table by column name.
// Nothing is ever written to the file.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace interchange {

// One row: each column's value by its name. Text and memo columns give a
// QString, numbers qint64 or double, dates and times a QDateTime (UTC, as
// written), yes/no columns a bool; a missing value is an invalid QVariant.
using AccessRow = QHash<QString, QVariant>;

class AccessDatabase {
public:
    ~AccessDatabase();
    // Opens the file read-only; null with a Spanish reason when it is no
    // Access database or is damaged (a cut copy, a foreign file).
    static std::unique_ptr<AccessDatabase> open(const QString& path, QString* why = nullptr);

    // The user tables, in the order of the file's catalogue.
    QStringList tables() const;

    // Starts reading a table; false with a Spanish reason when it is not there
    // or its definition cannot be read.
    bool openTable(const QString& name, QString* why = nullptr);
    QStringList columns() const;
    // The rows the table says it holds.
    qint64 rowCount() const;
    // The next row of the open table; false at its end. A table whose pages
    // end before its rows do (a damaged file) ends early: rowsRead() < rowCount().
    bool next(AccessRow* row);
    qint64 rowsRead() const;

private:
    AccessDatabase();
    struct Impl;
    std::unique_ptr<Impl> d;
};

// An Access date and time (days since 30 December 1899, the fraction the time
// of day, also before that day) as a date and time; invalid when out of range.
QDateTime accessDateTime(double value);

} // namespace interchange
