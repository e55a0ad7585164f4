#include "tracktools/track/gpldata.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "files.h"

namespace {

using testing_support::Record;

TEST(GplDataPoint, ConstructorsSetLeadingFieldsAndZeroTheRest) {
    EXPECT_EQ(Record(GPL_Data_Point()), std::string(56, '\0'));

    const GPL_Data_Point six(1, 2, 3, 4, 5, 1000);
    EXPECT_EQ(six.Latitude, 1.0);
    EXPECT_EQ(six.Longitude, 2.0);
    EXPECT_EQ(six.Altitude, 3.0);
    EXPECT_EQ(six.Heading, 4.0);
    EXPECT_EQ(six.Speed, 5.0);
    EXPECT_EQ(six.Time, 1000u);
    EXPECT_EQ(six.Tag, 0u);
    EXPECT_EQ(six.Reserved1, 0u);
    EXPECT_EQ(six.Reserved2, 0u);

    const GPL_Data_Point seven(1, 2, 3, 4, 5, 1000, 7);
    EXPECT_EQ(seven.Tag, 7u);
    EXPECT_EQ(seven.Time, 1000u);

    const GPL_Data_Point two(1.5, -2.5);
    EXPECT_EQ(two.Latitude, 1.5);
    EXPECT_EQ(two.Longitude, -2.5);
    EXPECT_EQ(Record(two).substr(24), std::string(32, '\0'));
}

TEST(GplDataPoint, CopyKeepsReservedWordsButComparisonIgnoresThem) {
    GPL_Data_Point a(1, 2, 3, 4, 5, 6, 7);
    a.Reserved1 = 0xDEADBEEF;
    a.Reserved2 = 0x12345678;
    const GPL_Data_Point copied(a);
    GPL_Data_Point assigned;
    assigned = a;
    EXPECT_EQ(Record(copied), Record(a));
    EXPECT_EQ(Record(assigned), Record(a));

    GPL_Data_Point b(1, 2, 3, 4, 5, 6, 7);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    b.Speed = 5.5;
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    b = GPL_Data_Point(1, 2, 3, 4, 5, 6, 8);
    EXPECT_TRUE(a != b);  // Tag is compared
}

TEST(GplDataPoint, NanIsNotEqualToItself) {
    GPL_Data_Point p(1, 2, 3, std::nan(""), 5);
    EXPECT_FALSE(p == p);
    EXPECT_TRUE(p != p);
}

TEST(GplDataPoint, SamePlaceLooksOnlyAtLatitudeAndLongitude) {
    const GPL_Data_Point a(45.0, 7.0, 100, 0, 0, 10);
    const GPL_Data_Point b(45.0, 7.0, 900, 90, 30, 99999);
    const GPL_Data_Point c(45.0, 7.0000000001);
    EXPECT_TRUE(a.SamePlace(b));
    EXPECT_FALSE(a.SamePlace(c));
}

TEST(GplDataPoint, AdditionAndSubtractionChangeTheLeftOperandInPlace) {
    GPL_Data_Point a(1, 2, 3, 4, 5, 10, 7);
    const GPL_Data_Point b(10, 20, 30, 40, 50, 20, 99);
    GPL_Data_Point& sum = a + b;
    EXPECT_EQ(&sum, &a);
    EXPECT_EQ(a.Latitude, 11);
    EXPECT_EQ(a.Longitude, 22);
    EXPECT_EQ(a.Altitude, 33);
    EXPECT_EQ(a.Heading, 44);
    EXPECT_EQ(a.Speed, 55);
    EXPECT_EQ(a.Time, 30u);
    EXPECT_EQ(a.Tag, 7u);
    EXPECT_EQ(b.Latitude, 10);  // right operand untouched
    EXPECT_EQ(b.Time, 20u);

    GPL_Data_Point t(0, 0, 0, 0, 0, 10);
    t - GPL_Data_Point(0, 0, 0, 0, 0, 20);
    EXPECT_EQ(t.Time, 4294967286u);
    GPL_Data_Point wrap(0, 0, 0, 0, 0, 4294967295u);
    wrap + GPL_Data_Point(0, 0, 0, 0, 0, 2);
    EXPECT_EQ(wrap.Time, 1u);
}

TEST(GplDataPoint, ScalingTruncatesTimeTowardZeroModulo32Bits) {
    struct Case {
        std::uint32_t time;
        double factor;
        bool divide;
        std::uint32_t expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {3, 0.5, false, 1},
        {7, 2.0, true, 3},
        {3, -1.0, false, 4294967293u},
        {4294967295u, 2.0, false, 4294967294u},  // 8589934590 keeps its low 32 bits
        {10, 0.0, true, 0},                      // division by zero: infinite
        {0, 0.0, true, 0},                       // 0/0: not a number
        {5, inf, false, 0},
        {4294967295u, 1e10, false, 0},  // beyond the signed 64-bit range
        {1, 9.2e18, false, static_cast<std::uint32_t>(9200000000000000000ull)},
    };
    for (const Case& c : cases) {
        GPL_Data_Point p(2, 4, 6, 8, 10, c.time, 3);
        GPL_Data_Point& result = c.divide ? p / c.factor : p * c.factor;
        EXPECT_EQ(&result, &p);
        EXPECT_EQ(p.Time, c.expected) << c.time << (c.divide ? " / " : " * ") << c.factor;
        EXPECT_EQ(p.Tag, 3u);
    }
    GPL_Data_Point p(2, 4, 6, 8, 10);
    p * 0.5;
    EXPECT_EQ(Record(p), Record(GPL_Data_Point(1, 2, 3, 4, 5)));
    p / 0.0;
    EXPECT_TRUE(std::isinf(p.Latitude));
}

}  // namespace
