// Numbers with thousands grouped, ISO dates and the padding of entry fields.
#include "refdata/formatting.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace refdata;

TEST(Comas, GroupsThousandsInTheGivenWidth)
{
    EXPECT_EQ(COMAS(1234567.5, 12, 2), "1.234.567,50");
    EXPECT_EQ(COMAS(12345, 6), "12.345");
    EXPECT_EQ(COMAS(1234567.5, 12, 2, -1, false), "1,234,567.50");
    EXPECT_EQ(COMAS(5, 6), "     5");
    EXPECT_EQ(COMAS(999999, 8), " 999.999");
    EXPECT_EQ(COMAS(38766, 6, 0, 9), "   38.766");
    EXPECT_EQ(COMAS(0.5, 5, 2), " 0,50");
    EXPECT_EQ(COMAS(1000, 4), "****");      // four places make the mask "999": the separator needs a fifth
    EXPECT_EQ(COMAS(1000, 5), "1.000");
}

TEST(Comas, RoundsHalfAwayFromZeroWithoutMinusZero)
{
    EXPECT_EQ(COMAS(2.5, 3), "  3");
    EXPECT_EQ(COMAS(-2.5, 3), " -3");
    EXPECT_EQ(COMAS(-0.4, 3), "  0");
    EXPECT_EQ(COMAS(-1234, 6), "-1.234");
}

TEST(Comas, WhatDoesNotFitIsARowOfStars)
{
    EXPECT_EQ(COMAS(123456, 6), "******");
    EXPECT_EQ(COMAS(1234567, 8), "********");     // "999,999" holds six digits
    EXPECT_EQ(COMAS(-12345, 6), "******");        // the sign needs a place too
    EXPECT_EQ(COMAS(99999.996, 8, 2), "********");
    EXPECT_EQ(COMAS(123456, 6, 0, 8), "  ******");
    EXPECT_EQ(COMAS(1234, 6, 0, 3), "***");
    EXPECT_EQ(COMAS(std::nan(""), 4), "****");
    EXPECT_EQ(COMAS(INFINITY, 4), "****");
    EXPECT_EQ(COMAS(1e300, 60), QString(60, u'*'));
}

TEST(IsoDate, DigitsWithDashes)
{
    EXPECT_EQ(ISODATE(QDate(2024, 6, 21)), "2024-06-21");
    EXPECT_EQ(ISODATE(QDate(987, 1, 2)), "0987-01-02");
    EXPECT_EQ(ISODATE(QDate()), "    -  -  ");
    EXPECT_EQ(ISODATE(), ISODATE(QDate::currentDate()));
}

TEST(Ajusta, FillsEntryFields)
{
    EXPECT_EQ(AJUSTA("5", 3), "005");
    EXPECT_EQ(AJUSTA("EA", 5, " ", "I"), "EA   ");
    EXPECT_EQ(AJUSTA(" 2 8", 3), "028");
    EXPECT_EQ(AJUSTA("28", 3, " "), " 28");
    EXPECT_EQ(AJUSTA("28", 3, "xyz", "d"), "x28");
    EXPECT_EQ(AJUSTA("28", 3, "", "I"), "28 ");
    EXPECT_EQ(AJUSTA("", 3), "000");
    EXPECT_EQ(AJUSTA(" 2 8", 3, "0", "C"), " 2 8");    // unknown side: as it was
}
