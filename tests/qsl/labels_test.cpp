// Label filling and the sheet position kept in ULTETI.
#include "qsl/labels.h"

#include <gtest/gtest.h>

using namespace qsl;
using store::Value;

namespace {

struct Qso {
    const char* call;
    const char* op;
    const char* band;
    const char* rcvd;
};

RowSet qsos(std::initializer_list<Qso> list)
{
    RowSet r;
    r.fields = cardFields();
    int day = 1;
    for (const Qso& q : list) {
        auto& row = r.appendBlank();
        r.set(row, "CALL", Value::text(QByteArray(q.call)));
        r.set(row, "OPERATOR", Value::text(QByteArray(q.op)));
        r.set(row, "BAND", Value::text(QByteArray(q.band)));
        r.set(row, "QSLRCVD", Value::text(QByteArray(q.rcvd)));
        r.set(row, "QSODATE", Value::date(QDate(2024, 3, day++)));
        r.set(row, "GRIDSQUARE", Value::text(QByteArray("IN80")));
        r.set(row, "QRA", Value::text(QByteArray("JN11")));
    }
    return r;
}

QByteArray text(const RowSet& r, size_t row, const char* f)
{
    return r.get(row, f).bytes().trimmed();
}

} // namespace

TEST(Labels, OneStationSharesALabelUpToItsSize)
{
    const RowSet src = qsos({{"EA1XX", "EA4ZZ", "20M", "Y"}, {"EA1XX", "EA4ZZ", "40M", ""}, {"EA1XX", "EA4ZZ", "80M", "N"}});
    const RowSet l = fillLabels(src, 2);
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(text(l, 0, "BAND1"), "20M");
    EXPECT_EQ(text(l, 0, "BAND2"), "40M");
    EXPECT_EQ(l.get(0, "QSODATE3").julianDay(), 0);
    EXPECT_EQ(text(l, 1, "BAND1"), "80M");
    EXPECT_EQ(text(l, 1, "CALL"), "EA1XX");
    // the QSL slot: TNX for a card received, PSE for any other mark, nothing when blank
    EXPECT_EQ(text(l, 0, "QSL1"), "TNX");
    EXPECT_EQ(text(l, 0, "QSL2"), "");
    EXPECT_EQ(text(l, 1, "QSL1"), "PSE");
    // locators: the station's in GRID, ours in MIGRID
    EXPECT_EQ(text(l, 0, "GRID1"), "IN80");
    EXPECT_EQ(text(l, 0, "MIGRID1"), "JN11");
}

TEST(Labels, CallOrOperatorChangeStartsALabel)
{
    const RowSet src = qsos({{"EA1XX", "EA4ZZ", "20M", ""}, {"EA1XX", "EA4YY", "20M", ""},
                             {"DL1AB", "EA4YY", "20M", ""}, {"EA1XX", "EA4YY", "15M", ""}});
    const RowSet l = fillLabels(src, 3);
    ASSERT_EQ(l.rows.size(), 4u);   // not gathered: the source order decides
    EXPECT_EQ(text(l, 1, "OPERATOR"), "EA4YY");
    EXPECT_EQ(text(l, 3, "BAND1"), "15M");
    // a selection drops QSOs without breaking a label
    const RowSet some = fillLabels(qsos({{"EA1XX", "A", "20M", ""}, {"DL1AB", "A", "20M", ""}, {"EA1XX", "A", "40M", ""}}),
                                   3, [](size_t r) { return r != 1; });
    ASSERT_EQ(some.rows.size(), 1u);
    EXPECT_EQ(text(some, 0, "BAND2"), "40M");
    // more than nine QSOs a label is not possible
    RowSet many;
    many.fields = cardFields();
    for (int i = 0; i < 12; ++i)
        many.set(many.appendBlank(), "CALL", Value::text(QByteArray("EA1XX")));
    EXPECT_EQ(fillLabels(many, 20).rows.size(), 2u);
    EXPECT_EQ(fillLabels(many, 0).rows.size(), 12u);
}

TEST(Labels, SheetPositionCarriesAcrossSheets)
{
    EXPECT_EQ(labelsUsedAfter(5, 10, 24), 14);
    EXPECT_EQ(labelsUsedAfter(20, 10, 24), 5);
    EXPECT_EQ(labelsUsedAfter(1, 24, 24), 0);     // a full sheet leaves a fresh one
    EXPECT_EQ(labelsUsedAfter(1, 23, 24), 23);
    EXPECT_EQ(labelsUsedAfter(3, 0, 24), 2);      // blank labels count as used
    EXPECT_EQ(labelsUsedAfter(5, 10, 0), 0);      // not tracked
}
