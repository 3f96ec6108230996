// The zoom of the path map, the samples of the elevation profile, the corner
// of a grid square and the colours of the view map's lines.
#include "maps/map_rules.h"

#include "geo/distance.h"

#include <gtest/gtest.h>

using namespace maps;

TEST(MapRules, ZoomFollowsTheDistanceAtEveryBoundary)
{
    EXPECT_EQ(pathZoom(300), 6);
    EXPECT_EQ(pathZoom(499.9), 6);
    EXPECT_EQ(pathZoom(500), 5);
    EXPECT_EQ(pathZoom(999), 5);
    EXPECT_EQ(pathZoom(1000), 4);
    EXPECT_EQ(pathZoom(1200), 4);
    EXPECT_EQ(pathZoom(1400), 3);
    EXPECT_EQ(pathZoom(2000), 2);
    EXPECT_EQ(pathZoom(15000), 2);
    EXPECT_EQ(pathZoom(15000.5), 1);
    EXPECT_EQ(pathZoom(16000), 1);
    // Through real locators: Madrid to London is about 1260 km.
    EXPECT_EQ(pathZoom(geo::DIST("IN80DO", "IO91WM")), 4);
}

TEST(MapRules, ElevationSamplesWrapAt512AndNeverFallBelow100)
{
    EXPECT_EQ(elevationSamples(6000), 100);   // 600 % 512 = 88
    EXPECT_EQ(elevationSamples(4000), 400);
    EXPECT_EQ(elevationSamples(5119), 511);
    EXPECT_EQ(elevationSamples(5120), 100);
    EXPECT_EQ(elevationSamples(0), 100);
    EXPECT_EQ(elevationSamples(-5), 100);
}

TEST(MapRules, GridSquareCornersAndLineColours)
{
    int lat = 0, lon = 0;
    ASSERT_TRUE(gridSquareCorner("IN80", &lat, &lon));
    EXPECT_EQ(lat, 40);
    EXPECT_EQ(lon, -4);
    ASSERT_TRUE(gridSquareCorner(" jo62 ", &lat, &lon));
    EXPECT_EQ(lat, 52);
    EXPECT_EQ(lon, 12);
    ASSERT_TRUE(gridSquareCorner("AA00", &lat, &lon));
    EXPECT_EQ(lat, -90);
    EXPECT_EQ(lon, -180);
    for (const char* bad : {"", "IN8", "IN8O", "ZZ00", "12AB", "IN80DO"})
        EXPECT_FALSE(gridSquareCorner(bad, &lat, &lon)) << bad;

    EXPECT_EQ(viewLineColour("MS", "FSK441"), "#0000FF");
    EXPECT_EQ(viewLineColour("TR", "JT65"), "#008000");   // propagation first
    EXPECT_EQ(viewLineColour("EME", ""), "#000000");
    EXPECT_EQ(viewLineColour("FAI", "SSB"), "#808080");
    EXPECT_EQ(viewLineColour("", "FSK441"), "#0000FF");
    EXPECT_EQ(viewLineColour("", "JT6M"), "#0000FF");
    EXPECT_EQ(viewLineColour("", "JT65B"), "#000000");
    EXPECT_EQ(viewLineColour("F2", "CW"), "#ff0000");
}
