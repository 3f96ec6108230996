// The counts behind the charts: the selection of QSOs, the order and the
// rest column of the entity chart, the band table's order, the fixed
// continents and the hour buckets.
#include "reports_home.h"

#include "reports/chart_data.h"

#include <gtest/gtest.h>

namespace {

using reports::ChartData;
using reports::ChartKind;
using reports::ChartRequest;

class Charts : public reports::testing::ReportsHome {
protected:
    ChartData chart(ChartKind kind, reports::QsoSelection sel = {}, int top = 10, bool rest = false)
    {
        ChartRequest r;
        r.kind = kind;
        r.selection = sel;
        r.top = top;
        r.withRest = rest;
        ChartData c;
        QString err;
        EXPECT_TRUE(reports::chartOf(r, &c, &err)) << err.toStdString();
        return c;
    }
    static QStringList pairs(const ChartData& c)
    {
        QStringList out;
        for (int i = 0; i < c.labels.size(); ++i)
            out << c.labels[i] + u'=' + QString::number(c.values[size_t(i)]);
        return out;
    }
};

TEST_F(Charts, EntitiesTopNWithTheRestSummed)
{
    // Germany 3, France 2, Spain 2 (met after France), Japan 1, Canada 1
    for (int i = 0; i < 3; ++i)
        add({.call = "DL1AA", .ent = "225"});
    add({.call = "F5AA", .ent = "222"});
    add({.call = "EA1AA", .ent = " 89"});
    add({.call = "F6BB", .ent = "222"});
    add({.call = "EA2BB", .ent = " 89"});
    add({.call = "JA1AA", .ent = "311"});
    add({.call = "VE3AA", .ent = "  1"});
    ChartData c = chart(ChartKind::Entities, {}, 2, true);
    EXPECT_EQ(c.title, QStringLiteral("Nº QSO por Entidades "));
    EXPECT_EQ(c.categoryTitle, QStringLiteral("Entidades"));
    EXPECT_EQ(c.axisTitle, QStringLiteral("Contactos"));
    // among equal counts the entity met later comes first; the rest sums everything left
    EXPECT_EQ(pairs(c), (QStringList{"ALEMANIA=3", "ESPAÑA=2", "RESTO=4"}));
    // 0 means ten; without the rest column nothing is added
    c = chart(ChartKind::Entities, {}, 0, false);
    EXPECT_EQ(c.labels.size(), 5);
    EXPECT_FALSE(c.labels.contains(QStringLiteral("RESTO")));
    EXPECT_EQ(c.qsos, 9);
}

TEST_F(Charts, SelectionByDatesBandModeAndOperator)
{
    add({.call = "DL1AA", .ent = "225", .band = "20M", .mode = "SSB", .time = "23:59", .day = 1});
    add({.call = "DL2AA", .ent = "225", .band = "40M", .mode = "CW", .time = "00:00", .day = 2, .op = "EA9ZZ"});
    add({.call = "DL3AA", .ent = "225", .band = "20M", .mode = "CW", .day = 3});
    // a new book's blank record is no QSO
    EXPECT_EQ(chart(ChartKind::Modes).qsos, 3);
    // whole days: the QSO at 23:59 of the last day counts
    reports::QsoSelection s;
    s.from = QDate(2024, 4, 1);
    s.to = QDate(2024, 4, 2);
    EXPECT_EQ(chart(ChartKind::Modes, s).qsos, 2);
    s.to = QDate(2024, 4, 1);
    EXPECT_EQ(pairs(chart(ChartKind::Modes, s)), (QStringList{"SSB=1"}));
    // one date alone does not limit
    s.to = QDate();
    EXPECT_EQ(chart(ChartKind::Modes, s).qsos, 3);
    EXPECT_EQ(pairs(chart(ChartKind::Modes, {.mode = "cw"})), (QStringList{"CW=2"}));
    EXPECT_EQ(chart(ChartKind::Modes, {.band = "20M", .mode = "CW"}).qsos, 1);
    EXPECT_EQ(chart(ChartKind::Modes, {.op = "ea9zz"}).qsos, 1);
    // modes in order of first appearance
    EXPECT_EQ(pairs(chart(ChartKind::Modes)), (QStringList{"SSB=1", "CW=2"}));
}

TEST_F(Charts, BandsContinentsAndHours)
{
    add({.call = "DL1AA", .ent = "225", .band = "20M", .cont = "EU", .time = "23:59"});
    add({.call = "W1AW", .ent = "291", .band = "40M", .cont = "NA", .time = "00:30"});
    add({.call = "KC4AAA", .ent = " 13", .band = "20M", .cont = "AN", .time = "7:05"});
    add({.call = "ZZ1ZZ", .ent = "108", .band = "XX", .cont = "SA", .time = ""});
    // bands in the band table's order, the unknown band ignored, empty bands left out
    const ChartData b = chart(ChartKind::Bands);
    EXPECT_EQ(pairs(b), (QStringList{"40M=1", "20M=2"}));
    EXPECT_EQ(b.title, QStringLiteral("QSO por Bandas"));
    // six fixed continents; Antarctica is not one of them; empty ones stay
    EXPECT_EQ(pairs(chart(ChartKind::Continents)),
              (QStringList{"EUROPA=1", "S.AMERICA=1", "OCEANIA=0", "N.AMERICA=1", "AFRICA=0", "ASIA=0"}));
    // hours " 0" to "23"; an empty time is hour 0
    const ChartData h = chart(ChartKind::Hours);
    ASSERT_EQ(h.labels.size(), 24);
    EXPECT_EQ(h.labels.first(), QStringLiteral(" 0"));
    EXPECT_EQ(h.values[0], 2);
    EXPECT_EQ(h.values[7], 1);
    EXPECT_EQ(h.values[23], 1);
}

} // namespace
