// The print spool: putting in, duplicates, taking out, emptying.
#include "qsl_home.h"

#include "qsl/spool.h"

using namespace qsl;
using qsl::testing::QslHome;

using Spool = QslHome;

TEST_F(Spool, DuplicatesLeaveTheFirstOfEachBandAndMode)
{
    std::vector<quint32> recs;
    for (int d = 1; d <= 3; ++d)
        recs.push_back(qso(QStringLiteral("EA1XX"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"), "N", d));
    recs.push_back(qso(QStringLiteral("DL1AB"), QStringLiteral("230"), QStringLiteral("20M"), QStringLiteral("SSB"), "N", 4));
    recs.push_back(qso(QStringLiteral("DL1AB"), QStringLiteral("230"), QStringLiteral("40M"), QStringLiteral("SSB"), "N", 5));
    recs.push_back(qso(QStringLiteral("EA1XXX"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"), "N", 6));
    EXPECT_EQ(spoolAdd(*log(), recs), 6);
    EXPECT_EQ(spoolCount(), 6);
    EXPECT_EQ(field(recs[1], "QSLSENT"), "Q");

    EXPECT_EQ(spoolRemoveDuplicates(*spool()), 2);
    EXPECT_EQ(spoolCount(), 4);
    // the earliest of EA1XX stays; the others are out and no longer "Q"
    EXPECT_TRUE(at(log(), recs[0]).logical(QStringLiteral("PRNQSL")));
    EXPECT_FALSE(at(log(), recs[2]).logical(QStringLiteral("PRNQSL")));
    EXPECT_EQ(field(recs[2], "QSLSENT"), "N");
    // a longer call that starts the same is another station
    EXPECT_TRUE(at(log(), recs[5]).logical(QStringLiteral("PRNQSL")));
    EXPECT_EQ(spoolRemoveDuplicates(*spool()), 0);
}

TEST_F(Spool, AddingTwiceChangesNothingAndTheViewCountsAll)
{
    const quint32 a = qso(QStringLiteral("EA1XX"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"));
    qso(QStringLiteral("EA2YY"), QStringLiteral(" 89"), QStringLiteral("40M"), QStringLiteral("CW"));
    EXPECT_EQ(spoolAdd(at(log(), a)), 1);
    EXPECT_EQ(spoolAdd(at(log(), a)), 1);
    EXPECT_EQ(spoolCount(), 1);
    log()->goTo(a);
    const int before = int(log()->recCount());
    EXPECT_EQ(spoolAddView(*log()), before);   // the one already in counts too
    EXPECT_EQ(log()->recNo(), a);
    EXPECT_EQ(spoolCount(), 2) << "the QSOs go in; the book's blank record has no card to print";
}

TEST_F(Spool, TakingOutAndEmptying)
{
    std::vector<quint32> recs;
    for (const char* c : {"EA1A", "EA1B", "EA1C"})
        recs.push_back(qso(QString::fromLatin1(c), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB")));
    spoolAdd(*log(), recs);
    spool()->goBottom();
    EXPECT_TRUE(spoolTakeOut(*spool()));
    EXPECT_EQ(field(recs[2], "QSLSENT"), "N");
    EXPECT_EQ(spoolCount(), 2);
    EXPECT_EQ(spoolEmpty(*spool()), 2);
    EXPECT_EQ(spoolCount(), 0);
    spool()->goTop();
    EXPECT_FALSE(spoolTakeOut(*spool()));   // empty spool: nothing to take
}

TEST_F(Spool, ARecordWithoutACallStaysOut)
{
    const quint32 r = qso(QStringLiteral("EA1XX"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"));
    store::WorkArea* l = log();
    l->goTo(r);
    ASSERT_TRUE(l->lockRecord().isOk());
    l->put(QStringLiteral("CALL"), QString());
    l->unlock();
    EXPECT_EQ(spoolAdd(at(log(), r)), 0);
    EXPECT_EQ(spoolCount(), 0);
}
