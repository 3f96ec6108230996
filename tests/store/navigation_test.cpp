// Navigation: orders, seeks, scopes, filters, deleted records, counts.
#include "store_fixture.h"

#include <QStringList>

using namespace store;
using namespace store::testing;

namespace {

std::vector<FieldSpec> fields()
{
    return {{"CALL", 'C', 12}, {"CODENT", 'C', 3}, {"DAY", 'D', 8}, {"NUM", 'N', 6, 1}, {"FLAG", 'L', 1}};
}

// Calls in the order they are appended (record numbers 1..n).
const QStringList kCalls = {"OSCAR", "NORA", "ÑANDU", "ÁLVARO", "ANA", "BOB", "ZOE", "NUÑEZ", "NUNEZ", "ANA"};

class NavTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        a = makeTable("t", fields(),
                      {{"CALL", "Upper(Call)", "!Deleted()"},
                       {"ENT", "CodEnt+DToS(Day)", "!Deleted()"},
                       {"NUM", "Num"},
                       {"DAY", "Day", "", true},                   // descending
                       {"FLAGGED", "Call", "Flag .AND. !Deleted()"},
                       {"MINE", "Upper(Call)", "", false, false, true}});
        for (int i = 0; i < kCalls.size(); ++i) {
            EXPECT_TRUE(a->append().isOk());
            a->put("CALL", kCalls[i]);
            a->put("CODENT", QStringLiteral("%1").arg(280 + i % 3, 3));
            a->put("DAY", QDate(2020, 1, 1).addDays(i * 10));
            a->put("NUM", -50.0 + i * 11.5);
            a->put("FLAG", i % 2 == 0);
            EXPECT_TRUE(a->unlock().isOk());
        }
    }

    QStringList walk(bool backwards = false)
    {
        QStringList out;
        if (backwards)
            for (a->goBottom(); !a->bof() && !a->eof(); a->skip(-1))
                out << a->str("CALL").trimmed();
        else
            for (a->goTop(); !a->eof(); a->skip())
                out << a->str("CALL").trimmed();
        return out;
    }

    WorkArea* a = nullptr;
};

} // namespace

TEST_F(NavTest, FirstTagIsTheOrderOnOpeningAndOrdersWalkBothWays)
{
    EXPECT_EQ(a->orderName(), QByteArray("CALL"));
    const QStringList spanish = {"ÁLVARO", "ANA", "ANA", "BOB", "NORA", "NUNEZ", "NUÑEZ", "ÑANDU", "OSCAR", "ZOE"};
    EXPECT_EQ(walk(), spanish);
    QStringList reversed = spanish;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(walk(true), reversed);

    ASSERT_TRUE(a->setOrder(0).isOk());   // natural order
    EXPECT_EQ(walk(), kCalls);
    ASSERT_TRUE(a->setOrder("Day").isOk());
    QStringList byDayDesc = kCalls;
    std::reverse(byDayDesc.begin(), byDayDesc.end());
    EXPECT_EQ(walk(), byDayDesc);
    ASSERT_TRUE(a->setOrder("NUM").isOk());   // negative numbers before positive ones
    EXPECT_EQ(walk(), kCalls);
    EXPECT_EQ(a->setOrder("nope").code(), StatusCode::NotFound);
}

TEST_F(NavTest, SkipStopsAtTheEndsWithEofAndBof)
{
    a->goTop();
    EXPECT_FALSE(a->bof());
    a->skip(-1);
    EXPECT_TRUE(a->bof());
    EXPECT_EQ(a->str("CALL").trimmed(), "ÁLVARO");
    a->skip(100);
    EXPECT_TRUE(a->eof());
    EXPECT_EQ(a->recNo(), a->recCount() + 1);
    EXPECT_TRUE(a->str("CALL").trimmed().isEmpty());
    a->skip(-1);
    EXPECT_FALSE(a->eof());
    EXPECT_EQ(a->str("CALL").trimmed(), "ZOE");
    a->skip(-3);
    EXPECT_EQ(a->str("CALL").trimmed(), "NUÑEZ");
    a->skip(2);
    EXPECT_EQ(a->str("CALL").trimmed(), "OSCAR");
}

TEST_F(NavTest, SeekExactSoftAndLast)
{
    ASSERT_TRUE(a->seek(Value::text(QStringLiteral("ANA"))).isOk());
    EXPECT_TRUE(a->found());
    EXPECT_EQ(a->recNo(), 5u);
    a->seek(Value::text(QStringLiteral("ANA")), false, true);
    EXPECT_EQ(a->recNo(), 10u);
    a->seek(Value::text(QStringLiteral("NU")));            // a prefix matches
    EXPECT_TRUE(a->found());
    EXPECT_EQ(a->str("CALL").trimmed(), "NUNEZ");
    a->seek(Value::text(QStringLiteral("NUÑ")));
    EXPECT_EQ(a->str("CALL").trimmed(), "NUÑEZ");
    a->seek(Value::text(QStringLiteral("NZ")));
    EXPECT_FALSE(a->found());
    EXPECT_TRUE(a->eof());
    a->seek(Value::text(QStringLiteral("NZ")), true);      // soft: the next key
    EXPECT_FALSE(a->found());
    EXPECT_EQ(a->str("CALL").trimmed(), "ÑANDU");
    a->seek(Value::text(QStringLiteral("ZZ")), true);
    EXPECT_TRUE(a->eof());

    a->setOrder("NUM");
    a->seek(Value::number(-38.5));
    EXPECT_TRUE(a->found());
    EXPECT_EQ(a->recNo(), 2u);
    a->seek(Value::number(0), true);
    EXPECT_EQ(a->num("NUM"), 7.5);
    a->setOrder("DAY");                                     // descending: soft goes to the next older
    a->seek(Value::date(QDate(2020, 1, 15)), true);
    EXPECT_EQ(a->date("DAY"), QDate(2020, 1, 11));
    a->setOrder(0);
    EXPECT_EQ(a->seek(Value::text(QStringLiteral("A"))).code(), StatusCode::Invalid);
}

TEST_F(NavTest, ScopeLimitsNavigationAndCounts)
{
    a->setOrder("ENT");
    a->setScope(Value::text(QStringLiteral("281")), Value::text(QStringLiteral("281")));
    QStringList got = walk();
    EXPECT_EQ(got, QStringList({"NORA", "ANA", "NUÑEZ"}));
    EXPECT_EQ(walk(true), QStringList({"NUÑEZ", "ANA", "NORA"}));
    EXPECT_EQ(a->keyCount(), 3u);
    a->goBottom();
    EXPECT_EQ(a->keyNo(), 3u);
    EXPECT_EQ(a->str("CALL").trimmed(), "NUÑEZ");            // not the first "282" after it
    a->seek(Value::text(QStringLiteral("282")));
    EXPECT_TRUE(a->eof());                                  // outside the scope
    a->clearScope();
    EXPECT_EQ(a->keyCount(), 10u);
    a->setScopeTop(Value::text(QStringLiteral("282")));
    EXPECT_EQ(a->keyCount(), 3u);
}

TEST_F(NavTest, DeletedRecordsAndFiltersAreInvisible)
{
    a->seek(Value::text(QStringLiteral("BOB")));
    ASSERT_TRUE(a->lockRecord().isOk());
    ASSERT_TRUE(a->deleteRecord().isOk());
    a->unlock();
    EXPECT_FALSE(walk().contains("BOB"));
    a->setOrder(0);
    EXPECT_FALSE(walk().contains("BOB"));
    EXPECT_EQ(a->keyCount(), 9u);
    EXPECT_EQ(a->recCount(), 10u);
    Workspace::setDeletedHidden(false);
    EXPECT_TRUE(walk().contains("BOB"));
    Workspace::setDeletedHidden(true);

    a->goTo(6);                                             // goTo reaches it anyway
    EXPECT_TRUE(a->deleted());
    a->lockRecord();
    a->recall();
    a->unlock();
    a->setOrder("CALL");
    EXPECT_TRUE(walk().contains("BOB"));

    ASSERT_TRUE(a->setFilter("Flag .AND. CodEnt = '280'").isOk());
    EXPECT_EQ(walk(), QStringList({"OSCAR", "ZOE"}));
    EXPECT_EQ(a->keyCount(), 2u);
    EXPECT_EQ(a->setFilter("Flag .AND.").code(), StatusCode::BadExpression);
    a->clearFilter();
    a->setOrder("FLAGGED");                                 // FOR condition
    EXPECT_EQ(a->keyCount(), 5u);
}

TEST_F(NavTest, ChangedKeysMoveInEveryTag)
{
    a->seek(Value::text(QStringLiteral("ZOE")));
    ASSERT_TRUE(a->lockRecord().isOk());
    a->put("CALL", "AAA");
    a->put("FLAG", true);
    a->unlock();
    EXPECT_EQ(a->str("CALL").trimmed(), "AAA");             // still on the same record
    a->skip();
    EXPECT_EQ(a->str("CALL").trimmed(), "ÁLVARO");          // and moves on from its new place
    EXPECT_EQ(walk().first(), "AAA");
    expectTagsConsistent(a);
}

TEST_F(NavTest, CustomTagsTakeOnlyWhatTheyAreGiven)
{
    a->setOrder("MINE");
    EXPECT_EQ(a->keyCount(), 0u);
    a->setOrder("CALL");
    a->seek(Value::text(QStringLiteral("ZOE")));
    ASSERT_TRUE(a->keyAdd("MINE").isOk());
    a->seek(Value::text(QStringLiteral("BOB")));
    ASSERT_TRUE(a->keyAdd("MINE").isOk());
    a->setOrder("MINE");
    EXPECT_EQ(walk(), QStringList({"BOB", "ZOE"}));
    // emptying it record by record, the way a session start does
    for (a->goTop(); !a->eof(); a->goTop())
        ASSERT_TRUE(a->keyDel().isOk());
    EXPECT_EQ(a->keyCount(), 0u);
    expectTagsConsistent(a);
}

TEST_F(NavTest, WorkAreasOnOneFileKeepTheirOwnPosition)
{
    WorkArea* b = nullptr;
    ASSERT_TRUE(ws.use("t", {.alias = "t2"}, &b).isOk());
    b->setOrder("NUM");
    a->seek(Value::text(QStringLiteral("NORA")));
    b->goBottom();
    EXPECT_EQ(a->recNo(), 2u);
    EXPECT_EQ(b->recNo(), 10u);
    // b appends; a sees the new record in its order
    ASSERT_TRUE(b->append().isOk());
    b->put("CALL", "NORB");
    b->unlock();
    a->skip();
    EXPECT_EQ(a->str("CALL").trimmed(), "NORB");
    a->skip();
    EXPECT_EQ(a->str("CALL").trimmed(), "NUNEZ");
    EXPECT_EQ(a->recCount(), 11u);
}
