// Damage to a log book's files, one kind at a time: the check names every one
// of them, and on a sound book it names nothing; the reorganisation repairs it
// keeping every well-formed record, or refuses and leaves the files as they are.
#include "home_fixture.h"

#include "store/cdx_file.h"
#include "store/reorga.h"
#include "store/table_file.h"
#include "store/work_area.h"

#include <QDir>
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

    // Every file of the data directory.
    std::map<QString, QByteArray> files()
    {
        std::map<QString, QByteArray> out;
        for (const QString& f : QDir(data).entryList(QDir::Files)) {
            QFile in(data + f);
            EXPECT_TRUE(in.open(QIODevice::ReadOnly));
            out[f] = in.readAll();
        }
        return out;
    }

    void restore(const std::map<QString, QByteArray>& state)
    {
        for (const QString& f : QDir(data).entryList(QDir::Files))
            if (!state.count(f))
                QFile::remove(data + f);
        for (const auto& [f, bytes] : state) {
            QFile out(data + f);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
        }
    }

    bool reorganise()
    {
        bool done = false;
        msgs.meter([&](ui::Meter& m) { done = REORGA(m); }, "Procesando, espere por favor ... ");
        return done;
    }

    // Where the table's field is described in its header.
    qint64 descriptorOf(const QString& table, const char* field)
    {
        qint64 at = -1;
        withTable(table, [&](TableFile& t) { at = 32 + 32 * t.header().fieldIndex(field); });
        return at;
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

TEST_F(DamageTest, TheReorganisationRepairsOrRefusesEachKindOfDamage)
{
    const std::map<QString, QByteArray> sound = files();
    const quint32 callRoot = rootOf("LogEA1XX", "CALL");
    quint32 callLeaf = 0;   // the root's first child
    {
        const QByteArray root = sound.at("LogEA1XX.cdx").mid(callRoot, 512);
        callLeaf = qFromBigEndian<quint32>(root.constData() + 12 + 12 + 4);
    }
    const qint64 callField = descriptorOf("LogEA1XX", "CALL");
    auto count = [&](quint32 n) {
        QByteArray b(4, '\0');
        qToLittleEndian<quint32>(n, b.data());
        patch("LogEA1XX.dbf", 4, b);
    };
    struct Case {
        const char* what;
        const char* file;                // the damaged table
        std::function<void()> damage;
        bool repaired;                   // false: the reorganisation refuses
    };
    const Case cases[] = {
        {"record count halved", "LogEA1XX", [&] { count(1000); }, true},
        {"record count zero", "LogEA1XX", [&] { count(0); }, true},
        {"record count beyond the file", "LogEA1XX", [&] { count(5000); }, false},
        {"header length one too long", "LogEA1XX",
         [&] {
             const QByteArray& dbf = sound.at("LogEA1XX.dbf");
             QByteArray len(2, '\0');
             qToLittleEndian<quint16>(quint16(qFromLittleEndian<quint16>(dbf.constData() + 8) + 1), len.data());
             patch("LogEA1XX.dbf", 8, len);
         },
         false},
        {"a field descriptor without a name", "LogEA1XX", [&] { patch("LogEA1XX.dbf", callField, QByteArray(11, '\0')); }, false},
        {"a field type byte changed", "LogEA1XX", [&] { patch("LogEA1XX.dbf", callField + 11, "N"); }, false},
        {"garbage in a leaf page", "LogEA1XX", [&] { patch("LogEA1XX.cdx", callLeaf, QByteArray(24, '\xFF')); }, true},
        {"garbage in an interior page", "LogEA1XX", [&] { patch("LogEA1XX.cdx", callRoot, QByteArray(40, '\x7F')); }, true},
        {"a memo longer than its file", "AttachEA1XX",
         [&] {
             QByteArray len(4, '\0');
             qToBigEndian<quint32>(0x7FFFFFF0, len.data());
             patch("AttachEA1XX.fpt", 512 + 4, len);
         },
         false},
        {"a memo pointer past the last block", "AttachEA1XX",
         [&] {
             withTable("AttachEA1XX", [](TableFile& t) {
                 QByteArray rec(t.header().recordLen, ' ');
                 t.readRecord(10, rec.data());
                 const DbfField& memo = t.header().fields[size_t(t.header().fieldIndex("FILE"))];
                 std::memcpy(rec.data() + memo.offset, "     90000", 10);
                 t.writeRecord(10, rec.constData());
             });
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restore(sound);
        msgs.take();
        c.damage();
        int bad = 0;
        EXPECT_FALSE(check(QString::fromUtf8(c.file) + ".dbf", &bad).isEmpty());
        EXPECT_GE(bad, 1);
        const std::map<QString, QByteArray> damaged = files();
        const bool done = reorganise();
        const QString said = msgs.log().join('\n');
        EXPECT_EQ(done, c.repaired) << said.toStdString();
        if (!c.repaired) {
            EXPECT_TRUE(said.contains(QString::fromUtf8(c.file))) << said.toStdString();
            // the damaged table's files are as they were, and nothing is left beside them
            for (const auto& [f, bytes] : damaged) {
                if (f.startsWith(QString::fromUtf8(c.file))) {
                    EXPECT_TRUE(files()[f] == bytes) << f.toStdString();
                }
            }
            for (const auto& [f, bytes] : files())
                EXPECT_TRUE(damaged.count(f)) << "left behind: " << f.toStdString();
            continue;
        }
        // every QSO is there (the blank first record is gone) and the check is clean
        QStringList lines;
        EXPECT_EQ(checkTables(data, &lines), 0) << lines.join('\n').toStdString();
        WorkArea* log = nullptr;
        ASSERT_TRUE(ws().use("LogEA1XX", {.alias = "Log"}, &log).isOk());
        EXPECT_EQ(log->recCount(), 2000u);
        log->setOrder("Call");
        EXPECT_EQ(log->keyCount(), 2000u);
        ws().closeAll();
        if (QByteArray(c.what).startsWith("record count")) {
            EXPECT_TRUE(said.contains("registros recuperados")) << said.toStdString();
        }
    }
    restore(sound);
}

} // namespace
