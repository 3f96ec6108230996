// The band of a frequency and the band-plan segment of the BandMap table.
#include "refdata/bands.h"

#include "../store/home_fixture.h"

#include "store/access.h"
#include "store/catalogue.h"

#include <gtest/gtest.h>

using namespace refdata;

TEST(Band, EdgesBelongToTheBand)
{
    EXPECT_EQ(BAND(14.35), "20M");
    EXPECT_EQ(BAND(14.351), "");
    EXPECT_EQ(BAND(14.0), "20M");
    EXPECT_EQ(BAND(13.999), "");
    EXPECT_EQ(BAND(0), "");
    EXPECT_EQ(BAND(3.8), "80M");
    EXPECT_EQ(BAND(3.85), "");
    EXPECT_EQ(BAND(7.15), "40M");
    EXPECT_EQ(BAND(7.25), "");
    EXPECT_EQ(BAND(29.7), "10M");
    EXPECT_EQ(BAND(432.1), "70CM");
    EXPECT_EQ(BAND(2400), "");
}

namespace {

class BandModeTest : public store::testing::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ASSERT_TRUE(store::catalogue::create(store::catalogue::bandMap(), data + "BandMap.dbf").isOk());
        ASSERT_TRUE(store::NETUSE("BandMap", true, 1, "BandMap"));
        map = ws().area("BandMap");
        ASSERT_NE(map, nullptr);
    }

    void segment(const QString& band, double from, double to, const QString& mode)
    {
        ASSERT_TRUE(map->append().isOk());
        map->put("BAND", band);
        map->put("FREQINI", from);
        map->put("FREQFIN", to);
        map->put("MODE", mode);
        ASSERT_TRUE(map->unlock().isOk());
    }

    // Mode of the segment found, or "-" when none.
    QString modeAt(double mhz) { return BANDMODE(mhz) ? map->str("MODE").trimmed() : QStringLiteral("-"); }

    store::WorkArea* map = nullptr;
};

} // namespace

TEST_F(BandModeTest, TheNarrowestSegmentHoldingTheFrequencyWins)
{
    segment("20M", 14.000, 14.350, "SSB");
    segment("20M", 14.070, 14.099, "RTTY");
    segment("40M", 7.000, 7.040, "CW");
    segment("20M", 14.000, 14.070, "CW");
    segment("20M", 14.0895, 14.0905, "FT4");
    EXPECT_EQ(modeAt(14.080), "RTTY");
    EXPECT_EQ(modeAt(14.070), "RTTY");        // also in the wider CW and SSB segments
    EXPECT_EQ(modeAt(14.099), "RTTY");        // both limits belong to the segment
    EXPECT_EQ(modeAt(14.0995), "SSB");
    EXPECT_EQ(modeAt(14.090), "FT4");
    EXPECT_EQ(modeAt(14.200), "SSB");
    EXPECT_EQ(modeAt(7.010), "CW");
    EXPECT_EQ(map->str("BAND"), "40M   ");
}

TEST_F(BandModeTest, OnlySegmentsOfTheFrequencysBandCount)
{
    segment("20M", 14.000, 14.350, "SSB");
    segment("30M", 14.050, 14.060, "XX");     // mistyped band: narrower, but not 20M
    segment("2M", 14.050, 14.055, "YY");
    segment("40M", 7.000, 7.040, "CW");
    EXPECT_EQ(modeAt(14.055), "SSB");
    EXPECT_EQ(modeAt(7.100), "-");            // in the band but in no segment
    EXPECT_TRUE(map->eof() || map->str("BAND") != "40M   ");
    EXPECT_EQ(modeAt(3.85), "-");             // in no band
    EXPECT_EQ(modeAt(21.2), "-");             // a band without segments
}

TEST_F(BandModeTest, WithoutTheTableThereIsNoSegment)
{
    segment("20M", 14.000, 14.350, "SSB");
    ws().close("BandMap");
    EXPECT_FALSE(BANDMODE(14.1));
}
