// Damage to a log book's files, one kind at a time: the check names every one
// of them, and on a sound book it names nothing.
#include "home_fixture.h"

#include "store/cdx_file.h"
#include "store/table_file.h"
#include "store/work_area.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <functional>
#include <map>

using namespace store;
using namespace store::testing;

namespace {

class DamageTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        WorkArea* log = nullptr;
        ASSERT_TRUE(ws().use("LogEA1XX", {.alias = "Log"}, &log).isOk());
        for (int i = 0; i < 2000; ++i)
            addQso(log, QStringLiteral("EA%1XYZ").arg(i * 7919 % 10000), QDate(2024, 1, 1).addDays(i % 300));
        WorkArea* attach = nullptr;
        ASSERT_TRUE(ws().use("AttachEA1XX", {.alias = "Attach"}, &attach).isOk());
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(attach->append().isOk());
            attach->put("KEY", QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0')));
            attach->putMemo("FILE", QByteArray(200 + i, 'f'));
            ASSERT_TRUE(attach->unlock().isOk());
        }
        ws().closeAll();
    }

    // The check's lines about one file.
    QStringList check(const QString& file, int* bad = nullptr)
    {
        QStringList lines;
        const int n = checkTables(data, &lines);
        if (bad)
            *bad = n;
        return lines.filter(file + QStringLiteral(":"));
    }

    // Runs change on the table's open files, then closes them.
    void withTable(const QString& name, const std::function<void(TableFile&)>& change)
    {
        WorkArea* a = nullptr;
        ASSERT_TRUE(ws().use(name, {.alias = "X", .shared = false}, &a).isOk());
        change(a->table());
        ws().closeAll();
    }

    void patch(const QString& file, qint64 at, const QByteArray& bytes)
    {
        QFile f(data + file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(at));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    quint32 rootOf(const QString& table, const char* tag)
    {
        quint32 root = 0;
        withTable(table, [&](TableFile& t) { root = t.cdx()->tag(t.cdx()->tagIndex(tag))->root(); });
        return root;
    }
};

TEST_F(DamageTest, TheCheckNamesEachKindOfDamage)
{
    int bad = -1;
    for (const QString& line : check("LogEA1XX.dbf", &bad))
        EXPECT_TRUE(line.startsWith("OK")) << line.toStdString();
    EXPECT_EQ(bad, 0);

    struct Case {
        const char* what;
        const char* file;            // the table whose check must fail
        std::function<void()> damage;
        const char* said;            // part of what the check says
    };
    const quint32 callRoot = rootOf("LogEA1XX", "CALL");
    {
        QFile cdx(data + "LogEA1XX.cdx");
        ASSERT_TRUE(cdx.open(QIODevice::ReadOnly));
        cdx.seek(callRoot);
        const QByteArray attr = cdx.read(2);
        ASSERT_EQ(attr[0] & 2, 0) << "the Call tag's root must be an interior page";
    }
    const Case cases[] = {
        {"a memo longer than its file", "AttachEA1XX.dbf",
         [&] {
             // the first memo block after the 512-byte header: type, then length
             QByteArray len(4, '\0');
             qToBigEndian<quint32>(0x7FFFFFF0, len.data());
             patch("AttachEA1XX.fpt", 512 + 4, len);
         },
         "se sale del fichero"},
        {"a memo pointer past the last block used", "AttachEA1XX.dbf",
         [&] { withTable("AttachEA1XX", [](TableFile& t) {
                   QByteArray rec(t.header().recordLen, ' ');
                   t.readRecord(10, rec.data());
                   const DbfField* memo = nullptr;
                   for (const DbfField& f : t.header().fields)
                       if (f.name == "FILE")
                           memo = &f;
                   // the block number of record 10 set far beyond the file
                   if (memo->len == 4)
                       qToLittleEndian<quint32>(90000, rec.data() + 1 + memo->offset);
                   else
                       std::memcpy(rec.data() + 1 + memo->offset, QByteArray::number(90000).rightJustified(memo->len, ' ').constData(),
                                   size_t(memo->len));
                   t.writeRecord(10, rec.constData());
               }); },
         "registro 10, memo FILE"},
        {"no index file", "LogEA1XX.dbf", [&] { QFile::remove(data + "LogEA1XX.cdx"); }, "falta el índice"},
        {"a tag gone from the index", "LogEA1XX.dbf",
         [&] { withTable("LogEA1XX", [](TableFile& t) { ASSERT_TRUE(t.deleteTag("Band").isOk()); }); }, "falta la etiqueta Band"},
        {"garbage in an interior key", "LogEA1XX.dbf", [&] { patch("LogEA1XX.cdx", callRoot + 12, QByteArray(3, '\xFF')); },
         "CALL: la clave de la página interior no es la última de su página"},
        {"an interior record number that is no record", "LogEA1XX.dbf",
         [&] {
             // entry 0 of the root: key (12 bytes), record (big-endian), child
             QByteArray rec(4, '\0');
             qToBigEndian<quint32>(999999, rec.data());
             patch("LogEA1XX.cdx", callRoot + 12 + 12, rec);
         },
         "CALL: la clave de la página interior no es la última de su página"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // every case starts from the sound book
        const QStringList files = {"LogEA1XX.dbf", "LogEA1XX.cdx", "AttachEA1XX.dbf", "AttachEA1XX.fpt", "AttachEA1XX.cdx"};
        std::map<QString, QByteArray> sound;
        for (const QString& f : files) {
            QFile in(data + f);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly));
            sound[f] = in.readAll();
        }
        c.damage();
        const QStringList lines = check(c.file, &bad);
        EXPECT_GE(bad, 1);
        EXPECT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.join('\n').contains(QString::fromUtf8(c.said))) << lines.join('\n').toStdString();
        for (const QString& line : lines)
            EXPECT_TRUE(line.startsWith("ERROR")) << line.toStdString();
        for (const auto& [f, bytes] : sound) {
            QFile out(data + f);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
        }
    }
}

} // namespace
