#include "access_database.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstring>
#include <vector>

#include <mdbtools.h>

namespace interchange {

namespace {

void setWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

// The file's first page: a Jet signature, and a size that is whole pages, so
// a cut copy is refused before libmdb follows a page number past its end.
bool looksLikeAccess(const QString& path, QString* why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        setWhy(why, QStringLiteral("No puede leerse el fichero"));
        return false;
    }
    const QByteArray head = f.read(0x20);
    const bool jet = head.size() == 0x20 && head.startsWith(QByteArray("\x00\x01\x00\x00", 4))
                     && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
    if (!jet) {
        setWhy(why, QStringLiteral("El fichero no es una base de datos Access"));
        return false;
    }
    const qint64 page = head.at(0x14) == 0 ? 2048 : 4096;
    if (f.size() < 3 * page || f.size() % page != 0) {
        setWhy(why, QStringLiteral("La base de datos Access está incompleta o dañada"));
        return false;
    }
    return true;
}

} // namespace

struct AccessDatabase::Impl {
    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
    std::vector<std::vector<char>> values;
    std::vector<int> lengths;
    QStringList columns;
    qint64 read = 0;

    void closeTable()
    {
        if (table) {
            mdb_free_tabledef(table);
            table = nullptr;
        }
        values.clear();
        lengths.clear();
        columns.clear();
        read = 0;
    }
    ~Impl()
    {
        closeTable();
        if (mdb)
            mdb_close(mdb);
    }
};

AccessDatabase::AccessDatabase() : d(std::make_unique<Impl>()) {}
AccessDatabase::~AccessDatabase() = default;

std::unique_ptr<AccessDatabase> AccessDatabase::open(const QString& path, QString* why)
{
    if (!QFileInfo(path).isFile()) {
        setWhy(why, QStringLiteral("Fichero no existe"));
        return nullptr;
    }
    if (!looksLikeAccess(path, why))
        return nullptr;
    std::unique_ptr<AccessDatabase> db(new AccessDatabase);
    db->d->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!db->d->mdb || !mdb_read_catalog(db->d->mdb, MDB_ANY)) {
        setWhy(why, QStringLiteral("La base de datos Access no puede leerse"));
        return nullptr;
    }
    // memo columns up to 64 KiB; yes/no columns as 1 and 0
    mdb_set_bind_size(db->d->mdb, 65536);
    mdb_set_boolean_fmt_numbers(db->d->mdb);
    return db;
}

QStringList AccessDatabase::tables() const
{
    QStringList out;
    for (unsigned i = 0; i < d->mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(d->mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            out << QString::fromUtf8(entry->object_name);
    }
    return out;
}

bool AccessDatabase::openTable(const QString& name, QString* why)
{
    d->closeTable();
    // a form or a query may share the table's name: only a table will do
    const QByteArray utf8 = name.toUtf8();
    MdbCatalogEntry* entry = nullptr;
    for (unsigned i = 0; i < d->mdb->num_catalog && !entry; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(d->mdb->catalog, i));
        if (e->object_type == MDB_TABLE && QByteArray(e->object_name).compare(utf8, Qt::CaseInsensitive) == 0)
            entry = e;
    }
    if (!entry) {
        setWhy(why, QStringLiteral("La tabla ") + name + QStringLiteral(" no existe"));
        return false;
    }
    d->table = mdb_read_table(entry);
    if (!d->table || !mdb_read_columns(d->table)) {
        d->closeTable();
        setWhy(why, QStringLiteral("La tabla ") + name + QStringLiteral(" no puede leerse"));
        return false;
    }
    mdb_rewind_table(d->table);
    const unsigned n = d->table->num_cols;
    d->values.assign(n, std::vector<char>(d->mdb->bind_size + 1, '\0'));
    d->lengths.assign(n, 0);
    for (unsigned i = 0; i < n; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(d->table->columns, i));
        d->columns << QString::fromUtf8(col->name);
        mdb_bind_column(d->table, int(i) + 1, d->values[i].data(), &d->lengths[i]);
    }
    return true;
}

QStringList AccessDatabase::columns() const { return d->columns; }
qint64 AccessDatabase::rowCount() const { return d->table ? qint64(d->table->num_rows) : 0; }
qint64 AccessDatabase::rowsRead() const { return d->read; }

bool AccessDatabase::next(AccessRow* row)
{
    // a table never holds more rows than it says: a damaged page chain that
    // loops ends here too
    if (!d->table || d->read >= rowCount() || !mdb_fetch_row(d->table))
        return false;
    ++d->read;
    row->clear();
    for (unsigned i = 0; i < d->table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(d->table->columns, i));
        const QString& name = d->columns[int(i)];
        const char* text = d->values[i].data();
        if (col->col_type == MDB_BOOL) {
            row->insert(name, std::strcmp(text, "1") == 0);
            continue;
        }
        if (d->lengths[i] == 0) {
            row->insert(name, QVariant());
            continue;
        }
        // the fixed-width numbers and dates from their bytes, so no locale
        // and no date format of the library comes between
        const bool raw = col->cur_value_len > 0 && col->cur_value_start >= 0
                         && col->cur_value_start + col->cur_value_len <= int(sizeof d->mdb->pg_buf);
        switch (col->col_type) {
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
            row->insert(name, QString::fromLatin1(text).toLongLong());
            break;
        case MDB_MONEY:
        case MDB_NUMERIC:
            row->insert(name, QString::fromLatin1(text).toDouble());
            break;
        case MDB_FLOAT:
            row->insert(name, raw && col->cur_value_len == 4 ? double(mdb_get_single(d->mdb->pg_buf, col->cur_value_start))
                                                             : QString::fromLatin1(text).toDouble());
            break;
        case MDB_DOUBLE:
            row->insert(name, raw && col->cur_value_len == 8 ? mdb_get_double(d->mdb->pg_buf, col->cur_value_start)
                                                             : QString::fromLatin1(text).toDouble());
            break;
        case MDB_DATETIME:
            if (raw && col->cur_value_len == 8) {
                const QDateTime t = accessDateTime(mdb_get_double(d->mdb->pg_buf, col->cur_value_start));
                row->insert(name, t.isValid() ? QVariant(t) : QVariant());
            } else {
                row->insert(name, QVariant());
            }
            break;
        default:
            row->insert(name, QString::fromUtf8(text));
            break;
        }
    }
    return true;
}

QDateTime accessDateTime(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return {};
    const double whole = std::trunc(value);
    qint64 seconds = std::llround(std::fabs(value - whole) * 86400.0);
    qint64 days = qint64(whole);
    if (seconds >= 86400) {   // rounded up to the next midnight
        seconds -= 86400;
        days += value < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    if (!date.isValid())
        return {};
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds)), Qt::UTC);
}

} // namespace interchange
