// The Access reader on real databases written by Microsoft Access (the public
// samples in the shared fixtures, read where they are): Jet 3 and Jet 4, dates,
// accented text, money and missing values, checked against mdb-export; and
// damaged copies, which are refused in Spanish without a crash.
#include "interchange/access_database.h"
#include "interchange/radioges_import.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace interchange::testing {
namespace {

QString fixture(const char* name)
{
    return QStringLiteral(ORLANLOG_SOURCE_DIR "/../shared/fixtures/mdb/") + QString::fromLatin1(name);
}

// mdb-export's CSV: fields quoted with doubled quotes, new lines inside quotes.
std::vector<QStringList> readCsv(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = wasQuoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\n') {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows.push_back(row << field);
    (void)wasQuoted;
    return rows;
}

std::vector<QStringList> mdbExport(const QString& file, const QString& table)
{
    QProcess p;
    p.start(QStringLiteral("mdb-export"), {QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"), file, table});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return readCsv(QString::fromUtf8(p.readAllStandardOutput()));
}

// A value as mdb-export writes it.
QString exported(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return RSCHAR(v);
}

class AccessReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(fixture("nwind.mdb")))
            GTEST_SKIP() << "the shared Access samples are not there";
    }
};

TEST_F(AccessReader, Jet3TablesRowsAndValuesAreThoseMdbExportSees)
{
    QString why;
    const auto db = AccessDatabase::open(fixture("nwind.mdb"), &why);
    ASSERT_TRUE(db) << why.toStdString();
    const QStringList tables = db->tables();
    EXPECT_TRUE(tables.contains("Orders"));
    EXPECT_EQ(tables.count("Orders"), 1) << "the form of that name is no table";
    EXPECT_TRUE(tables.contains("Customers"));
    EXPECT_TRUE(tables.contains(QStringLiteral("Umsätze"))) << "a table name outside ASCII";
    EXPECT_FALSE(tables.contains("MSysObjects")) << "system tables are not the user's";

    ASSERT_TRUE(db->openTable("Orders", &why)) << why.toStdString();
    const QStringList columns = db->columns();
    EXPECT_EQ(columns.value(0), "OrderID");
    EXPECT_EQ(columns.value(7), "Freight");
    std::vector<AccessRow> rows;
    for (AccessRow r; db->next(&r);)
        rows.push_back(r);
    EXPECT_EQ(qint64(rows.size()), db->rowCount());
    EXPECT_EQ(db->rowsRead(), db->rowCount());
    ASSERT_GT(rows.size(), 800u);

    // known values: a date, money, accented text, a missing value
    const AccessRow& first = rows[0];
    EXPECT_EQ(first.value("OrderID").toLongLong(), 10330);
    EXPECT_EQ(first.value("OrderDate").toDateTime().date(), QDate(1994, 11, 16));
    EXPECT_DOUBLE_EQ(first.value("Freight").toDouble(), 12.75);
    EXPECT_EQ(first.value("ShipAddress").toString(), QStringLiteral("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));
    EXPECT_FALSE(rows[1].value("ShipRegion").isValid()) << "a missing value";
    EXPECT_EQ(RSCHAR(rows[1].value("ShipRegion")), "");
    EXPECT_EQ(rows[2].value("ShipCity").toString(), QStringLiteral("Montréal"));

    // every value of every row against mdb-export
    if (QStandardPaths::findExecutable("mdb-export").isEmpty())
        GTEST_SKIP() << "mdb-export (Debian mdbtools) is not installed";
    const std::vector<QStringList> other = mdbExport(fixture("nwind.mdb"), "Orders");
    ASSERT_EQ(other.size(), rows.size() + 1);
    EXPECT_EQ(other[0], columns);
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant v = rows[r].value(columns[c]);
            const QString theirs = other[r + 1].value(c);
            if (v.typeId() == QMetaType::Double)
                EXPECT_DOUBLE_EQ(v.toDouble(), theirs.toDouble()) << r << " " << columns[c].toStdString();
            else
                EXPECT_EQ(exported(v), theirs) << r << " " << columns[c].toStdString();
        }
}

TEST_F(AccessReader, Jet4DatesAndTextIncludingDatesMdbExportCannotWrite)
{
    QString why;
    const auto db = AccessDatabase::open(fixture("DateTestDatabase.mdb"), &why);
    ASSERT_TRUE(db) << why.toStdString();
    EXPECT_EQ(db->tables(), QStringList{"DateTest"});
    ASSERT_TRUE(db->openTable("DateTest"));
    std::map<qint64, AccessRow> rows;
    for (AccessRow r; db->next(&r);)
        rows[r.value("IDCol").toLongLong()] = r;
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].value("DateTimeCol").toDateTime(), QDateTime(QDate(2021, 12, 2), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(rows[1].value("ShortTextCol").toString(), "Hello");
    EXPECT_EQ(rows[6].value("LongTextCol").toString(), "New line\r\nin field");
    // the edge years: mdb-export prints 1900-01-00 for them; the reader gives the real years
    EXPECT_EQ(rows[2].value("LongTextCol").toString(), "Year 9999");
    EXPECT_EQ(rows[2].value("DateTimeCol").toDateTime().date(), QDate(9999, 1, 1));
    EXPECT_EQ(rows[2].value("ShortTextCol").toString(), "Year 1999");
    EXPECT_EQ(rows[3].value("DateTimeCol").toDateTime().date(), QDate(1898, 1, 1)) << "a negative day number";
    EXPECT_EQ(rows[3].value("TimeCol").toDateTime().date(), QDate(1900, 1, 1));
    EXPECT_EQ(rows[4].value("DateTimeCol").toDateTime().date(), QDate(632, 1, 1));
    EXPECT_EQ(rows[4].value("DateCol").toDateTime().date(), QDate(633, 1, 1));

    // Access's day numbers: 0 is 30 December 1899, the fraction the time, also before that day
    EXPECT_EQ(accessDateTime(0), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(accessDateTime(2.75), QDateTime(QDate(1900, 1, 1), QTime(18, 0), Qt::UTC));
    EXPECT_EQ(accessDateTime(-1.5), QDateTime(QDate(1899, 12, 29), QTime(12, 0), Qt::UTC));
    EXPECT_EQ(accessDateTime(45000.99999999), QDateTime(QDate(2023, 3, 16), QTime(0, 0), Qt::UTC)) << "rounded to the next day";
    EXPECT_FALSE(accessDateTime(1e300).isValid());
}

TEST_F(AccessReader, DamagedOrForeignFilesAreRefusedInSpanish)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile source(fixture("nwind.mdb"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    auto copy = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const struct {
        const char* name;
        QByteArray bytes;
        const char* why;
    } bad[] = {{"mitad.mdb", whole.left(whole.size() / 2 + 100), "incompleta o dañada"},
               {"cabecera.mdb", whole.left(1000), "incompleta o dañada"},
               {"vacia.mdb", QByteArray(), "no es una base de datos Access"},
               {"texto.mdb", QByteArray(8192, 'x'), "no es una base de datos Access"}};
    for (const auto& b : bad) {
        QString why;
        EXPECT_FALSE(AccessDatabase::open(copy(b.name, b.bytes), &why)) << b.name;
        EXPECT_TRUE(why.contains(QString::fromUtf8(b.why))) << b.name << ": " << why.toStdString();
    }
    QString why;
    EXPECT_FALSE(AccessDatabase::open(dir.filePath("no-esta.mdb"), &why));
    EXPECT_EQ(why, "Fichero no existe");

    // cut at a page boundary: it opens or not, but never reads past its end nor crashes
    for (const qint64 pages : {qint64(4), qint64(40), whole.size() / 2048 / 2}) {
        const auto db = AccessDatabase::open(copy("paginas.mdb", whole.left(pages * 2048)), &why);
        if (!db || !db->openTable("Orders", &why))
            continue;
        AccessRow r;
        while (db->next(&r)) {
        }
        EXPECT_LE(db->rowsRead(), db->rowCount());
    }
}

} // namespace
} // namespace interchange::testing
