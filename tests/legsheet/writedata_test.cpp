// The report line of legsheet: both position forms, widths, rounding and
// values that are not finite.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "writedata.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

GPL_Data_Point Point(double latitude, double longitude, double heading = 0.0, double speed = 0.0) {
    return GPL_Data_Point(latitude, longitude, 0.0, heading, speed);
}

// The position part of a degrees:minutes:seconds line.
std::string Position(double latitude, double longitude) {
    const std::string line = WriteData(Point(latitude, longitude), 0.0, true);
    const std::string tail = "  0.0000,    0.0000,    0.0000";
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    return line.substr(0, line.size() - tail.size());
}

TEST(LegsheetWriteData, WorkedExamplesInBothForms) {
    const std::string decimal =
        WriteData(Point(42.12345678, -71.5, 45.1234, 12.3456), 0.0123, false);
    const std::string dms = WriteData(Point(42.5, -71.25), 0.0, true);
    EXPECT_EQ(decimal, "42.12345678, -71.50000000,  45.1234,    0.0123,   12.3456");
    EXPECT_EQ(dms, "  42:30:00.0000,  -71:15:00.0000,   0.0000,    0.0000,    0.0000");
    // Every call has a string of its own: the earlier one is not overwritten.
    EXPECT_EQ(decimal, "42.12345678, -71.50000000,  45.1234,    0.0123,   12.3456");
}

TEST(LegsheetWriteData, DegreesMinutesSeconds) {
    // Only the degrees carry the sign, also when they are 0.
    EXPECT_EQ(Position(-0.5, -0.25), "  -0:30:00.0000,   -0:15:00.0000, ");
    // 1 degree, 1 minute, 1.5 seconds; minutes and seconds are zero-filled.
    EXPECT_EQ(Position(1.0 + 1.0 / 60 + 1.5 / 3600, 0.0), "   1:01:01.5000,    0:00:00.0000, ");
    // 0.99999999 degrees are 59 minutes and 59.999964 seconds: the seconds
    // round to 60.0000 and nothing carries into the minutes.
    EXPECT_EQ(Position(10.99999999, -71.99999999), "  10:59:60.0000,  -71:59:60.0000, ");
    // Degrees fill width 4 and are printed whole beyond it.
    EXPECT_EQ(Position(1234.5, -1234.5), "1234:30:00.0000, -1234:30:00.0000, ");
}

TEST(LegsheetWriteData, DecimalRoundingAndWideValues) {
    EXPECT_EQ(WriteData(Point(-0.000000004, 179.999999996, -123.45678, 1e10), 12345.67891, false),
              "-0.00000000, 180.00000000, -123.4568, 12345.6789, 10000000000.0000");
    EXPECT_EQ(WriteData(Point(0.0, 0.0, 359.99996, 0.00004), 0.00005001, false),
              "0.00000000, 0.00000000, 360.0000,    0.0001,    0.0000");
}

TEST(LegsheetWriteData, ValuesThatAreNotFinitePrintTheirNameInTheFieldWidth) {
    // A NaN made by 0/0 carries the sign bit on common hardware; it still
    // prints as "nan".
    const double negative_nan = std::copysign(std::nan(""), -1.0);
    EXPECT_EQ(WriteData(Point(1.0, 2.0, kInf, negative_nan), -kInf, false),
              "1.00000000, 2.00000000,      inf,      -inf,       nan");
    EXPECT_EQ(WriteData(Point(negative_nan, -kInf, negative_nan, -kInf), negative_nan, false),
              "nan, -inf,      nan,       nan,      -inf");
    // In degrees:minutes:seconds every part that is not finite is blank-filled.
    EXPECT_EQ(Position(negative_nan, kInf), " nan:nan:    nan,  inf:00:00.0000, ");
}

// The line printed through printf's "%*.*f", for finite values.
std::string PrintfLine(const GPL_Data_Point& p, double miles) {
    char line[2048];
    std::snprintf(line, sizeof line, "%.8f, %.8f, %8.4f, %9.4f, %9.4f", p.Latitude, p.Longitude,
                  p.Heading, miles, p.Speed);
    return line;
}

TEST(LegsheetWriteData, DecimalFormAgreesWithPrintfOnRandomValues) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int i = 0; i < 100000; ++i) {
        const auto value = [&] { return unit(random) * std::pow(10.0, exponent(random)); };
        const GPL_Data_Point p = Point(value(), value(), value(), value());
        const double miles = value();
        ASSERT_EQ(WriteData(p, miles, false), PrintfLine(p, miles));
    }
    const GPL_Data_Point huge = Point(-1e300, 1e308, 1e200, -1e-300);
    EXPECT_EQ(WriteData(huge, 5e307, false), PrintfLine(huge, 5e307));
}

}  // namespace
