// The text form of a track point: writer, reader and the round trip between
// them, in UTC and in zones with daylight-saving time. Expected time stamps
// come from `date -d` run with the zone in TZ.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>
#include <sstream>
#include <string>

#include "tracktools/track/gpldata.h"

namespace {

// Sets TZ for the life of the object and puts the previous value back.
class ZoneScope {
  public:
    explicit ZoneScope(const char* zone) {
        const char* previous = std::getenv("TZ");
        had_previous_ = previous != nullptr;
        if (had_previous_) {
            previous_ = previous;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope() {
        if (had_previous_) {
            ::setenv("TZ", previous_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

  private:
    bool had_previous_ = false;
    std::string previous_;
};

std::string Text(const GPL_Data_Point& point) {
    std::ostringstream out;
    out << point;
    return out.str();
}

// A point with every field, the reserved words included, away from zero, so
// that a reader that fails to reset one is seen.
GPL_Data_Point Dirty() {
    GPL_Data_Point point(1, 2, 3, 4, 5, 6, 7);
    point.Reserved1 = 0xAAAAAAAAu;
    point.Reserved2 = 0x55555555u;
    return point;
}

GPL_Data_Point Read(const std::string& line, bool* accepted = nullptr) {
    GPL_Data_Point point = Dirty();
    std::string text = line;
    const bool result = point.ExtractFromString(text);
    EXPECT_EQ(text, line) << "the reader must not change its text";
    if (accepted != nullptr) {
        *accepted = result;
    }
    return point;
}

void ExpectExamplePoint(const GPL_Data_Point& p, std::uint32_t time) {
    EXPECT_EQ(p.Tag, 3u);
    EXPECT_EQ(p.Latitude, 40.5);
    EXPECT_EQ(p.Longitude, -75.25);
    EXPECT_EQ(p.Heading, 90.0);
    EXPECT_EQ(p.Speed, 12.345);
    EXPECT_EQ(p.Altitude, 1234.5);
    EXPECT_EQ(p.Time, time);
    EXPECT_EQ(p.Reserved1, 0u);
    EXPECT_EQ(p.Reserved2, 0u);
}

void ExpectReset(const GPL_Data_Point& p, std::uint32_t tag, double latitude) {
    EXPECT_EQ(p.Tag, tag);
    EXPECT_EQ(p.Latitude, latitude);
    EXPECT_EQ(p.Longitude, 500.0);
    EXPECT_EQ(p.Altitude, 0.0);
    EXPECT_EQ(p.Heading, 0.0);
    EXPECT_EQ(p.Speed, 0.0);
    EXPECT_EQ(p.Time, 0u);
    EXPECT_EQ(p.Reserved1, 0u);
    EXPECT_EQ(p.Reserved2, 0u);
}

const char kExampleText[] =
    "3, 40.50000000, -75.25000000, 12-Sep-2002, 10:20:30,  90.00, 12.34500, 1234.50000";

TEST(GplText, WriterExampleLine) {
    struct Case {
        const char* zone;
        std::uint32_t time;  // 10:20:30 on 12 September 2002 in that zone
    };
    for (const Case& c : {Case{"UTC", 1031826030u}, Case{"America/New_York", 1031840430u},
                          Case{"Europe/Berlin", 1031818830u}}) {
        ZoneScope zone(c.zone);
        EXPECT_EQ(Text(GPL_Data_Point(40.5, -75.25, 1234.5, 90, 12.345, c.time, 3)), kExampleText)
            << c.zone;
    }
}

TEST(GplText, WriterPadsHeadingAndSpeedButNeverCutsANumber) {
    ZoneScope zone("UTC");
    EXPECT_EQ(Text(GPL_Data_Point(-0.000000004, 179.999999996, -12.345678, -123.456, 123456.78, 0u,
                                  4294967295u)),
              "4294967295, -0.00000000, 180.00000000, 01-Jan-1970, 00:00:00, -123.46, "
              "123456.78000, -12.34568");
    EXPECT_EQ(Text(GPL_Data_Point(0, 0, 0, 5, 0, 86399u, 0)),
              "0, 0.00000000, 0.00000000, 01-Jan-1970, 23:59:59,   5.00,  0.00000, 0.00000");
}

TEST(GplText, WriterLeavesStreamFixedWithPointAndPrecisionFive) {
    ZoneScope zone("UTC");
    std::ostringstream out;
    out << GPL_Data_Point() << '|';
    out.width(0);
    out << 2.0 << '|' << 1.0 / 3;
    EXPECT_EQ(out.str(),
              "0, 0.00000000, 0.00000000, 01-Jan-1970, 00:00:00,   0.00,  0.00000, 0.00000"
              "|2.00000|0.33333");
    EXPECT_EQ(out.precision(), 5);
    EXPECT_EQ(out.flags() & std::ios::floatfield, std::ios::fixed);
    EXPECT_TRUE(out.flags() & std::ios::showpoint);

    std::ostringstream again;
    again << GPL_Data_Point();
    EXPECT_EQ(again.width(), 0) << "the width was used up by the padded numbers";
}

TEST(GplText, WriterShowsStampsOf2To31AndMoreAfter2038) {
    ZoneScope utc("UTC");
    EXPECT_NE(Text(GPL_Data_Point(0, 0, 0, 0, 0, 2147483648u)).find("19-Jan-2038, 03:14:08"),
              std::string::npos);
    EXPECT_NE(Text(GPL_Data_Point(0, 0, 0, 0, 0, 4294967295u)).find("07-Feb-2106, 06:28:15"),
              std::string::npos);
    ZoneScope new_york("America/New_York");
    EXPECT_NE(Text(GPL_Data_Point(0, 0, 0, 0, 0, 2147483648u)).find("18-Jan-2038, 22:14:08"),
              std::string::npos);
    EXPECT_NE(Text(GPL_Data_Point(0, 0, 0, 0, 0, 0u)).find("31-Dec-1969, 19:00:00"),
              std::string::npos);
}

TEST(GplText, ReaderAcceptsTheWrittenFormWithOrWithoutBlanks) {
    struct Case {
        const char* zone;
        std::uint32_t time;
    };
    for (const Case& c : {Case{"UTC", 1031826030u}, Case{"Europe/Berlin", 1031818830u}}) {
        ZoneScope zone(c.zone);
        for (const std::string& line :
             {std::string("7:") + kExampleText,
              std::string("7:3,40.5,-75.25,12-Sep-2002,10:20:30,90,12.345,1234.5"),
              std::string("7:3,40.5,-75.25,12-Sep-2002 10:20:30 90.0,12.345,1234.5"),
              std::string("  7:3,\t40.5,  -75.25,  12-Sep-2002,\n 10:20:30, 90,12.345,1234.5 x"),
              std::string("7:3,40.5,-75.25,12-Sep-2002,10:20:30,90,12.345,1234.5\r"),
              // The month is found without regard to case.
              std::string("7:3,40.5,-75.25,12-SEP-2002,10:20:30,90,12.345,1234.5"),
              std::string("7:3,40.5,-75.25,12-sEp-2002,10:20:30,90,12.345,1234.5")}) {
            bool accepted = false;
            const GPL_Data_Point point = Read(line, &accepted);
            EXPECT_TRUE(accepted) << c.zone << ": " << line;
            ExpectExamplePoint(point, c.time);
        }
    }
    ZoneScope zone("UTC");
    EXPECT_EQ(Text(Read(std::string("7:") + kExampleText)), kExampleText);
}

TEST(GplText, ReaderRejectsTextsThatHoldNoPoint) {
    struct Case {
        const char* line;
        std::uint32_t tag;
        double latitude;
    };
    for (const Case& c : {
             Case{"", 0, 500.0},
             Case{" \t\r", 0, 500.0},
             Case{"# a comment, 12-Sep-2002", 0, 500.0},
             Case{kExampleText, 0, 500.0},  // the 3 is taken as the leading number
             Case{"7 : 3, 40.5, -75.25, 12-Sep-2002, 10:20:30", 0, 500.0},
             Case{"7:3 ,40.5,-75.25", 3, 500.0},  // no blank allowed before a comma
             Case{"7:3,40.5", 3, 40.5},
             Case{"7:3,40.5,", 3, 40.5},
             Case{"7:3,40.5,x", 3, 40.5},
             Case{"7:", 0, 500.0},
             Case{"-:3,40.5,-75.25", 0, 500.0},
         }) {
        bool accepted = true;
        const GPL_Data_Point point = Read(c.line, &accepted);
        EXPECT_FALSE(accepted) << c.line;
        ExpectReset(point, c.tag, c.latitude);
    }
}

TEST(GplText, ReaderLetsTheCalendarDecideDaylightSavingTime) {
    struct Case {
        const char* zone;
        const char* date;
        std::uint32_t time;  // 10:20:30 local on that date
    };
    for (const Case& c : {
             Case{"America/New_York", "12-Jul-2002,", 1026483630u},
             Case{"America/New_York", "12-Jan-2002,", 1010848830u},
             Case{"Europe/Berlin", "12-Jul-2002,", 1026462030u},
             Case{"Europe/Berlin", "12-Dec-2002,", 1039684830u},
             Case{"UTC", "12-Jul-2002,", 1026469230u},
         }) {
        ZoneScope zone(c.zone);
        EXPECT_EQ(Read(std::string("1:2,3,4,") + c.date + "10:20:30,5,6,7").Time, c.time)
            << c.zone << " " << c.date;
    }
}

TEST(GplText, ReaderTakesNumbersByThe32BitUnsignedRule) {
    struct Case {
        const char* line;
        std::uint32_t tag;
    };
    for (const Case& c : {
             Case{"0:4294967295,1,2", 4294967295u},
             Case{"0:4294967296,1,2", 4294967295u},
             Case{"0:99999999999999999999999,1,2", 4294967295u},
             Case{"0:-1,1,2", 4294967295u},
             Case{"0:-5,1,2", 4294967291u},
             Case{"0:+17,1,2", 17u},
             Case{"0: 017,1,2", 17u},  // decimal even with a leading zero
             Case{"99999999999999999999:8,1,2", 8u},
             Case{"-3:8,1,2", 8u},
         }) {
        bool accepted = false;
        const GPL_Data_Point point = Read(c.line, &accepted);
        EXPECT_TRUE(accepted) << c.line;
        EXPECT_EQ(point.Tag, c.tag) << c.line;
        EXPECT_EQ(point.Latitude, 1.0) << c.line;
        EXPECT_EQ(point.Longitude, 2.0) << c.line;
    }
}

TEST(GplText, ReaderCountsWhatTheTextDoesNotSupplyAsZero) {
    ZoneScope zone("UTC");
    struct Case {
        const char* line;
        std::uint32_t time;
    };
    for (const Case& c : {
             Case{"7:3,40.5,-75.25", 0u},  // no date text: no time stamp
             Case{"7:3,40.5,-75.25,  ", 0u},
             Case{"7:3,40.5,-75.25,12-Sep-2002,", 1031788800u},  // midnight
             Case{"7:3,40.5,-75.25,12-Sep-2002,10:20", 1031826000u},
             Case{"7:3,40.5,-75.25,12-Sep-2002,10:20:", 1031826000u},
             Case{"7:3,40.5,-75.25,12-Sep-2002,10", 1031824800u},
             Case{"7:3,40.5,-75.25,12-Sep-2002,x", 1031788800u},
             // Day 0 is the last day of the month before.
             Case{"7:3,40.5,-75.25,00-Mar-2002,00:00:00", 1014854400u},
             Case{"7:3,40.5,-75.25,xx-Mar-2002,00:00:00", 1014854400u},
             // No month matches: month number 255 runs on to April, 21 years on.
             Case{"7:3,40.5,-75.25,12-Xyz-2002,10:20:30", 1681294830u},
             // A one-digit day shifts the positions: month "ep-", year 2.
             Case{"7:3,40.5,-75.25,1-Sep-2002, 10:20:30", 2990949870u},  // 0023-04-01
             // Too short for a month or a year: month 255, year 0.
             Case{"7:3,40.5,-75.25,12-Se 10:20:30", 2928828270u},  // 0021-04-12
         }) {
        bool accepted = false;
        const GPL_Data_Point point = Read(c.line, &accepted);
        EXPECT_TRUE(accepted) << c.line;
        EXPECT_EQ(point.Time, c.time) << c.line;
        EXPECT_EQ(point.Heading, 0.0) << c.line;
        EXPECT_EQ(point.Speed, 0.0) << c.line;
        EXPECT_EQ(point.Altitude, 0.0) << c.line;
    }
    // Heading and Speed read, Altitude missing.
    const GPL_Data_Point partial = Read("7:3,40.5,-75.25,12-Sep-2002,10:20:30,90,12.345,");
    EXPECT_EQ(partial.Heading, 90.0);
    EXPECT_EQ(partial.Speed, 12.345);
    EXPECT_EQ(partial.Altitude, 0.0);
}

TEST(GplText, ReaderSurvivesNumbersBeyondTheIntRange) {
    // Run under the sanitizers, these show that no conversion overflows.
    ZoneScope zone("America/New_York");
    for (const char* line : {
             "1:2,3,4,999999999999 999999999 5,6,7",
             "1:2,3,4,-99999999999 -99999999 5,6,7",
             "1:2,3,4,12-Sep-99999,99:99:99 5,6,7",
             "1:2,3,4,12-Sep--9999,-99:-99:-9 5,6,7",
             "1:2,3,4,12-Sep-2002,10:20:30,1e999,-1e999,nan",
         }) {
        bool accepted = false;
        const GPL_Data_Point point = Read(line, &accepted);
        EXPECT_TRUE(accepted) << line;
        EXPECT_EQ(point.Tag, 2u) << line;
        EXPECT_EQ(point.Longitude, 4.0) << line;
    }
    // 99 hours, minutes and seconds carry into the next units: 12 Sep 2002
    // 99:99:99 is 16 Sep 2002 04:40:39 (EDT).
    EXPECT_EQ(Read("1:2,3,4,12-Sep-2002,99:99:99").Time, 1032165639u);
    // A day beyond the int range is held at 2147483647 (month "147" is 255,
    // year 83648): 1 April 83669 plus 2147483646 days, modulo 2^32.
    ZoneScope utc("UTC");
    EXPECT_EQ(Read("1:2,3,4,002147483648 00:00:00").Time, 1198732800u);
}

TEST(GplText, ReaderEndsTheTextAtAZeroCharacter) {
    ZoneScope zone("UTC");
    bool accepted = true;
    ExpectReset(Read(std::string("7:3,40.5\0,-75.25", 16), &accepted), 3, 40.5);
    EXPECT_FALSE(accepted);
    const GPL_Data_Point point =
        Read(std::string("7:3,40.5,-75.25\0,12-Sep-2002,10:20:30,1,2,3", 43), &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(point.Time, 0u);
    EXPECT_EQ(point.Heading, 0.0);
}

// Times within three hours of a change of the zone's offset are left out:
// the hour repeated when clocks go back has two meanings.
bool NearOffsetChange(std::time_t t) {
    std::tm before{};
    std::tm after{};
    const std::time_t earlier = t - 3 * 3600;
    const std::time_t later = t + 3 * 3600;
    ::localtime_r(&earlier, &before);
    ::localtime_r(&later, &after);
    return before.tm_gmtoff != after.tm_gmtoff;
}

TEST(GplText, WriterThenReaderRoundTripsRandomPoints) {
    for (const char* zone_name : {"UTC", "America/New_York", "Europe/Berlin"}) {
        ZoneScope zone(zone_name);
        std::mt19937_64 random(20020912);
        std::uniform_int_distribution<std::uint32_t> word;
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        int summer = 0;
        int winter = 0;
        for (int i = 0; i < 3000; ++i) {
            GPL_Data_Point point(unit(random) * 180 - 90, unit(random) * 360 - 180,
                                 unit(random) * 40000 - 2000, unit(random) * 720 - 360,
                                 unit(random) * 600, word(random), word(random));
            const std::time_t stamp = point.Time;
            if (NearOffsetChange(stamp)) {
                continue;
            }
            std::tm local{};
            ::localtime_r(&stamp, &local);
            (local.tm_isdst > 0 ? summer : winter) += 1;

            std::string text = std::to_string(i) + ":" + Text(point);
            GPL_Data_Point back = Dirty();
            ASSERT_TRUE(back.ExtractFromString(text)) << zone_name << ": " << text;
            EXPECT_EQ(back.Tag, point.Tag) << text;
            EXPECT_EQ(back.Time, point.Time) << zone_name << ": " << text;
            EXPECT_NEAR(back.Latitude, point.Latitude, 0.5e-8) << text;
            EXPECT_NEAR(back.Longitude, point.Longitude, 0.5e-8) << text;
            EXPECT_NEAR(back.Heading, point.Heading, 0.5e-2) << text;
            EXPECT_NEAR(back.Speed, point.Speed, 0.5e-5) << text;
            EXPECT_NEAR(back.Altitude, point.Altitude, 0.5e-5) << text;
            EXPECT_EQ(back.Reserved1, 0u);
            EXPECT_EQ(back.Reserved2, 0u);
        }
        if (std::string(zone_name) != "UTC") {
            EXPECT_GT(summer, 500) << zone_name;
        }
        EXPECT_GT(winter, 500) << zone_name;
    }
}

}  // namespace
