// Tables: creation, field types, memos, writing under locks, pack and zap.
#include "store_fixture.h"

#include "store/codepage.h"

#include <QFile>
#include <QFileInfo>

using namespace store;
using namespace store::testing;

namespace {

std::vector<FieldSpec> allTypes()
{
    return {{"NAME", 'C', 10}, {"FREQ", 'N', 9, 3}, {"AGE", 'N', 2}, {"DAY", 'D', 8},
            {"LP", 'L', 1},    {"NOTES", 'M', 10}, {"PIC", 'M', 10}};
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST_F(StoreTest, FieldsRoundTripThroughTheFile)
{
    WorkArea* a = makeTable("t", allTypes());
    QByteArray picture(300000, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7);
    ASSERT_TRUE(a->append().isOk());
    EXPECT_TRUE(a->put("NAME", QStringLiteral("Muñoz Ávila")).isOk());    // cut to 10
    EXPECT_TRUE(a->put("FREQ", 14.19549).isOk());
    EXPECT_TRUE(a->put("AGE", 42).isOk());
    EXPECT_TRUE(a->put("DAY", QDate(2011, 7, 9)).isOk());
    EXPECT_TRUE(a->put("LP", true).isOk());
    EXPECT_TRUE(a->put("NOTES", QStringLiteral("Señal débil €")).isOk());
    EXPECT_TRUE(a->putMemo("PIC", picture, true).isOk());
    ASSERT_TRUE(a->unlock().isOk());
    ws.closeAll();

    ASSERT_TRUE(ws.use("T", {}, &a).isOk());
    EXPECT_EQ(a->recCount(), 1u);
    EXPECT_EQ(a->str("NAME"), QStringLiteral("Muñoz Ávil"));
    EXPECT_DOUBLE_EQ(a->num("FREQ"), 14.195);
    EXPECT_EQ(a->num("AGE"), 42);
    EXPECT_EQ(a->date("DAY"), QDate(2011, 7, 9));
    EXPECT_TRUE(a->logical("LP"));
    EXPECT_EQ(a->memoText("NOTES"), QStringLiteral("Señal débil €"));
    bool binary = false;
    EXPECT_EQ(a->memo("PIC", &binary), picture);
    EXPECT_TRUE(binary);

    // the record as the format says: right-aligned numbers with their decimals, yyyymmdd, T
    const QByteArray bytes = readFile(dir() + "t.dbf");
    const int header = 32 + 32 * 7 + 1;
    EXPECT_EQ(bytes.mid(header + 1 + 10, 9), QByteArray("   14.195"));
    EXPECT_EQ(bytes.mid(header + 1 + 19, 2), QByteArray("42"));
    EXPECT_EQ(bytes.mid(header + 1 + 21, 8), QByteArray("20110709"));
    EXPECT_EQ(bytes.at(header + 1 + 29), 'T');
    EXPECT_EQ(bytes.at(0), char(0xF5));
    EXPECT_EQ(bytes.at(bytes.size() - 1), char(0x1A));
}

TEST_F(StoreTest, BadValuesAreRefusedAndLeaveTheRecordAlone)
{
    WorkArea* a = makeTable("t", allTypes());
    ASSERT_TRUE(a->append().isOk());
    ASSERT_TRUE(a->put("AGE", 7).isOk());
    Status s = a->put("AGE", 123);
    EXPECT_EQ(s.code(), StatusCode::Invalid);
    EXPECT_TRUE(s.message().contains("AGE"));
    EXPECT_EQ(a->put("DAY", QStringLiteral("x")).code(), StatusCode::Invalid);
    EXPECT_EQ(a->put("NOPE", 1).code(), StatusCode::NotFound);
    ASSERT_TRUE(a->unlock().isOk());
    EXPECT_EQ(a->num("AGE"), 7);
    EXPECT_FALSE(Workspace().create("x", {{"BAD NAME", 'C', 3}}).isOk());
    EXPECT_FALSE(ws.create("x", {{"A", 'C', 0}}).isOk());
    EXPECT_FALSE(ws.create("x", {{"A", 'X', 3}}).isOk());
    EXPECT_FALSE(ws.create("x", {{"A", 'C', 3}, {"a", 'C', 3}}).isOk());
}

TEST_F(StoreTest, NamesAreFoundWhateverTheirCase)
{
    ASSERT_TRUE(ws.create(dir() + "LOGEA1XX.DBF", logFields()).isOk());
    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("LOGEA1XX", {.alias = "L", .shared = false}, &a).isOk());
    ASSERT_TRUE(a->createTag(logTags()[0]).isOk());
    ws.closeAll();
    EXPECT_TRUE(QFileInfo::exists(dir() + "LOGEA1XX.CDX"));
    EXPECT_TRUE(QFileInfo::exists(dir() + "LOGEA1XX.FPT"));

    ASSERT_TRUE(ws.use("logea1xx", {.alias = "Log"}, &a).isOk());
    EXPECT_EQ(a->orderName(), QByteArray("QSODATETIM"));   // tag names keep ten characters
    EXPECT_EQ(ws.area("LOG"), a);
    EXPECT_EQ(ws.current(), a);
    EXPECT_EQ(ws.use("nothere", {}).code(), StatusCode::NotFound);
    EXPECT_EQ(ws.use("logea1xx", {.alias = "log"}).code(), StatusCode::Invalid);   // alias taken
}

TEST_F(StoreTest, SharingModesAndLocksBetweenWorkAreas)
{
    WorkArea* a = makeTable("t", allTypes());
    WorkArea* b = nullptr;
    ASSERT_TRUE(ws.use("t", {.alias = "b"}, &b).isOk());
    ASSERT_TRUE(a->append().isOk());
    ASSERT_TRUE(a->unlock().isOk());
    b->goTop();

    EXPECT_EQ(b->put("AGE", 3).code(), StatusCode::NotLocked);   // shared: write only under lock
    ASSERT_TRUE(a->goTop().isOk());
    ASSERT_TRUE(a->lockRecord().isOk());
    EXPECT_EQ(b->lockRecord().code(), StatusCode::Busy);
    EXPECT_EQ(b->lockTable().code(), StatusCode::Busy);
    ASSERT_TRUE(a->put("AGE", 5).isOk());
    ASSERT_TRUE(a->unlock().isOk());
    ASSERT_TRUE(b->lockRecord().isOk());
    EXPECT_EQ(b->num("AGE"), 5);                                  // the lock re-reads the record
    ASSERT_TRUE(b->unlock().isOk());

    ASSERT_TRUE(b->lockTable().isOk());
    EXPECT_EQ(a->append().code(), StatusCode::Busy);
    EXPECT_EQ(a->lockRecord().code(), StatusCode::Busy);
    ASSERT_TRUE(b->append().isOk());                              // the holder may append
    ASSERT_TRUE(b->unlock().isOk());
    EXPECT_EQ(a->recCount(), 2u);

    // exclusive use excludes every other opening, and the other way round
    Workspace other;
    other.setDataDir(dir());
    EXPECT_EQ(other.use("t", {.shared = false}).code(), StatusCode::Busy);
    ws.closeAll();
    ASSERT_TRUE(other.use("t", {.shared = false}).isOk());
    EXPECT_EQ(ws.use("t", {}).code(), StatusCode::Busy);
}

TEST_F(StoreTest, ReadOnlyAreasNeverWrite)
{
    makeTable("t", allTypes());
    ws.closeAll();
    const QByteArray before = readFile(dir() + "t.dbf");
    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("t", {.readOnly = true}, &a).isOk());
    EXPECT_EQ(a->append().code(), StatusCode::ReadOnly);
    EXPECT_EQ(a->lockTable().code(), StatusCode::ReadOnly);
    ws.closeAll();
    EXPECT_EQ(readFile(dir() + "t.dbf"), before);
}

TEST_F(StoreTest, MemosReuseTheirBlocksAndPackCompactsThem)
{
    WorkArea* a = makeTable("t", allTypes(), {}, false);
    const QByteArray big(5000, 'x');
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(a->append().isOk());
        ASSERT_TRUE(a->put("AGE", i).isOk());
        ASSERT_TRUE(a->putMemo("NOTES", big + QByteArray::number(i)).isOk());
        ASSERT_TRUE(a->unlock().isOk());
    }
    const qint64 full = QFileInfo(dir() + "t.fpt").size();
    a->goTo(3);
    ASSERT_TRUE(a->putMemo("NOTES", "short").isOk());               // fits in the old blocks
    a->unlock();
    EXPECT_EQ(QFileInfo(dir() + "t.fpt").size(), full);
    a->goTo(4);
    ASSERT_TRUE(a->putMemo("NOTES", big + big).isOk());             // needs new blocks
    a->unlock();
    EXPECT_GT(QFileInfo(dir() + "t.fpt").size(), full);

    for (quint32 r = 1; r <= 20; r += 2) {
        a->goTo(r);
        ASSERT_TRUE(a->deleteRecord().isOk());
    }
    ASSERT_TRUE(a->pack().isOk());
    EXPECT_EQ(a->recCount(), 10u);
    EXPECT_LT(QFileInfo(dir() + "t.fpt").size(), full * 2 / 3);
    a->goTo(1);                                                     // old record 2
    EXPECT_EQ(a->num("AGE"), 1);
    EXPECT_EQ(a->memo("NOTES"), big + "1");
    a->goTo(2);                                                     // old record 4
    EXPECT_EQ(a->memo("NOTES"), big + big);
}

TEST_F(StoreTest, PackAndZapKeepEveryTagInStep)
{
    WorkArea* a = makeTable("log", logFields(), logTags(), false);
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(a->append().isOk());
        a->put("CALL", QStringLiteral("EA%1ABC").arg(i % 37));
        a->put("QSODATE", QDate(2020, 1, 1).addDays(i * 13 % 400));
        a->put("TIMEON", QStringLiteral("%1:%2").arg(i % 24, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')));
        a->put("CODENT", QStringLiteral("%1").arg(i % 50, 3));
        a->put("PRNQSL", i % 3 == 0);
        ASSERT_TRUE(a->unlock().isOk());
    }
    for (quint32 r = 1; r <= 300; r += 4) {
        a->goTo(r);
        a->deleteRecord();
    }
    expectTagsConsistent(a);
    ASSERT_TRUE(a->pack().isOk());
    EXPECT_EQ(a->recCount(), 225u);
    expectTagsConsistent(a);
    ASSERT_TRUE(a->setOrder("Call").isOk());
    EXPECT_EQ(a->keyCount(), 225u);
    ASSERT_TRUE(a->zap().isOk());
    EXPECT_EQ(a->recCount(), 0u);
    EXPECT_TRUE(a->eof());
    expectTagsConsistent(a);
    ASSERT_TRUE(a->append().isOk());
    a->put("CALL", "EA4ZZ");
    a->unlock();
    expectTagsConsistent(a);
}

TEST_F(StoreTest, ExclusiveOperationsAreRefusedOnSharedTables)
{
    WorkArea* a = makeTable("log", logFields(), logTags());
    EXPECT_EQ(a->pack().code(), StatusCode::Invalid);
    EXPECT_EQ(a->zap().code(), StatusCode::Invalid);
    EXPECT_EQ(a->createTag({"X", "Call"}).code(), StatusCode::NotLocked);
    ASSERT_TRUE(a->lockTable().isOk());
    EXPECT_TRUE(a->createTag({"X", "Call"}).isOk());
    EXPECT_TRUE(a->reindex().isOk());
    a->unlock();
}
