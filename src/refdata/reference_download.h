#pragma once
// The entity and prefix tables downloaded from the reference-data service in
// place of the data files "ent.dbf" and "pfx.dbf".
//
// Each file is fetched whole, checked (a table with the fields the program
// reads and not far fewer records than the one it replaces), given its index
// under a name of its own, and only then moved in place of the old table and
// index. A file that fails any step leaves its table as it was. The caller
// closes its own tables first and reorganises afterwards.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace refdata {

struct ReferenceDownload {
    QStringList replaced;     // "ent.dbf", "pfx.dbf" as replaced
    QStringList problems;     // one line per file that was kept, in Spanish
    bool ok() const { return problems.isEmpty(); }
};

// base: scheme + host of the service; files come from
// base + "/winorlanlog/datos/" + name. dataDir: where the tables live.
ReferenceDownload downloadReferenceTables(const QString& base, const QString& dataDir);

// Why bytes cannot stand in for the table file at current (empty when they
// can): not a table, a field of the program missing or of another type, or
// fewer than half the records of the current table.
QString referenceTableProblem(const QString& name, const QByteArray& bytes, const QString& current);

} // namespace refdata
