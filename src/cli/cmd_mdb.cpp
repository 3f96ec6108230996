// The Radioges log book (an Access database): import-mdb into the active book,
// and mdb-tables, which shows what the reader sees in any .mdb file.
#include "commands.h"
#include "import_args.h"

#include "app/tappl.h"
#include "interchange/access_database.h"
#include "interchange/import_defaults.h"
#include "interchange/radioges_import.h"
#include "core/messages.h"

#include <QFileInfo>

namespace {

using app::TAppl;
using cli::fileArgument;
using cli::openBookSession;
using cli::optionValue;
using cli::out;

int importMdb(const QStringList& args, TAppl&)
{
    const QString file = fileArgument(args, {QStringLiteral("--operator"), QStringLiteral("--locator")});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli import-mdb FICHERO.mdb [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]\n";
        return 2;
    }
    QString book;
    if (!openBookSession(&book))
        return 1;
    interchange::RadiogesImportOptions opt;
    cli::readImportArgs(args, file, &opt);
    ui::SilentMeter meter;
    const interchange::RadiogesImportResult r = interchange::RGIMP(meter, opt);
    return cli::importEnd(r.ok, r.message, r.complete);
}

// Without a table: each table and its rows. With one: its columns and rows,
// one line each, the values as the import reads them, separated by "|".
int mdbTables(const QStringList& args, TAppl&)
{
    const QString file = fileArgument(args, {});
    if (file.isEmpty()) {
        out() << "Falta el fichero: orlanlog-cli mdb-tables FICHERO.mdb [TABLA]\n";
        return 2;
    }
    QString why;
    const auto db = interchange::AccessDatabase::open(file, &why);
    if (!db) {
        out() << file << ": " << why << '\n';
        return 1;
    }
    const qsizetype at = args.indexOf(file);
    const QString table = at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    if (table.isEmpty()) {
        for (const QString& t : db->tables()) {
            db->openTable(t);
            out() << t << '\t' << db->rowCount() << '\n';
        }
        return 0;
    }
    if (!db->openTable(table, &why)) {
        out() << why << '\n';
        return 1;
    }
    const QStringList columns = db->columns();
    out() << columns.join(QLatin1Char('|')) << '\n';
    interchange::AccessRow row;
    while (db->next(&row)) {
        QStringList values;
        for (const QString& c : columns) {
            const QVariant v = row.value(c);
            values << (v.typeId() == QMetaType::QDateTime ? v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                          : interchange::RSCHAR(v));
        }
        out() << values.join(QLatin1Char('|')) << '\n';
    }
    if (db->rowsRead() < db->rowCount()) {
        out() << "La tabla está dañada: se han leído " << db->rowsRead() << " de " << db->rowCount() << " filas\n";
        return 1;
    }
    return 0;
}

const cli::CommandRegistration r1({"import-mdb", "import-mdb FICHERO.mdb [--dupcheck] [--operator INDICATIVO] [--locator LOCATOR]",
                                   "importa un libro de Radioges (tabla LibroGuardia) en el libro activo", importMdb});
const cli::CommandRegistration r2({"mdb-tables", "mdb-tables FICHERO.mdb [TABLA]",
                                   "muestra las tablas de una base de datos Access, o las filas de una", mdbTables});

} // namespace
