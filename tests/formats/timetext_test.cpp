// UTC times of the text formats, checked against the C library's timegm and
// gmtime over the whole range of a Time stamp.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "tracktools/formats/timetext.h"

namespace {

std::string Format(std::uint32_t time) {
    char text[formats::kUtcTimeLength];
    formats::FormatUtcTime(time, text);
    return std::string(text, sizeof text);
}

TEST(TimeText, FormatsAndReadsEveryDayOfThe32BitRangeAsTheCLibraryDoes) {
    for (std::uint64_t time = 0; time <= 0xFFFFFFFFu; time += 86400 - 7) {
        const auto stamp = static_cast<std::time_t>(time);
        std::tm parts{};
        ASSERT_NE(::gmtime_r(&stamp, &parts), nullptr);
        char expected[32];
        std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%SZ", &parts);
        const std::string text = Format(static_cast<std::uint32_t>(time));
        ASSERT_EQ(text, expected);
        std::int64_t seconds = -1;
        ASSERT_TRUE(formats::ParseIsoTime(text.data(), text.size(), seconds)) << text;
        ASSERT_EQ(seconds, static_cast<std::int64_t>(time));
    }
    EXPECT_EQ(Format(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(Format(0xFFFFFFFFu), "2106-02-07T06:28:15Z");
}

// Every day of the years a point keeps, with a fraction of a second in its
// fewest digits, against the C library's 64-bit gmtime.
TEST(TimeText, FormatsAndReadsInstantsOf1900To2200WithTheirFractions) {
    std::int64_t step = 0;
    for (std::int64_t time = track::kFirstSecond; time <= track::kLastSecond;
         time += 86400 - 7, ++step) {
        const auto stamp = static_cast<std::time_t>(time);
        std::tm parts{};
        ASSERT_NE(::gmtime_r(&stamp, &parts), nullptr);
        char whole[32];
        std::strftime(whole, sizeof whole, "%Y-%m-%dT%H:%M:%S", &parts);
        const auto nanoseconds = static_cast<std::uint32_t>(step * 7919 % 1000 * 1000000 +
                                                            (step % 3 == 0 ? step % 1000 : 0));
        std::string expected = whole;
        if (nanoseconds != 0) {
            char fraction[16];
            std::snprintf(fraction, sizeof fraction, ".%09u", nanoseconds);
            std::string digits = fraction;
            expected += digits.substr(0, digits.find_last_not_of('0') + 1);
        }
        expected += 'Z';
        char text[formats::kMaxUtcTimeLength];
        const std::string formatted(
            text, formats::FormatUtcTime(
                      track::Instant::FromNanoseconds(time * 1000000000 + nanoseconds), text));
        ASSERT_EQ(formatted, expected);
        std::int64_t seconds = 0;
        std::uint32_t read_nanoseconds = 0;
        ASSERT_TRUE(
            formats::ParseIsoTime(formatted.data(), formatted.size(), seconds, read_nanoseconds));
        ASSERT_EQ(seconds, time);
        ASSERT_EQ(read_nanoseconds, nanoseconds);
    }
}

TEST(TimeText, ReadsOffsetsFractionsAndRefusesWhatIsNoTime) {
    const struct {
        const char* text;
        bool valid;
        std::int64_t seconds;
        std::uint32_t nanoseconds = 0;
    } cases[] = {
        {"2019-05-01T04:31:11Z", true, 1556685071},
        {"2019-05-01T04:31:11", true, 1556685071},  // no offset: UTC
        {"2019-05-01t04:31:11z", true, 1556685071},
        {"2019-05-01T04:31:11.999Z", true, 1556685071, 999000000},
        {"2019-05-01T04:31:11,5Z", true, 1556685071, 500000000},
        {"2019-05-01T04:31:11.1234567899Z", true, 1556685071, 123456789},  // past ns: dropped
        {"2019-05-01T06:31:11+02:00", true, 1556685071},
        {"2019-05-01T01:31:11.25-0300", true, 1556685071, 250000000},
        {"2019-05-01T05:31:11+01", true, 1556685071},
        {"1969-12-31T23:59:59Z", true, -1},
        {"2106-02-07T06:28:16Z", true, 4294967296},
        {"2016-12-31T23:59:60Z", true, 1483228800},  // a leap second: the next minute
        {"2016-12-31T23:59:60.5Z", true, 1483228800, 500000000},
        {"2020-02-29T00:00:00Z", true, 1582934400},
        {"2019-02-29T00:00:00Z", false, 0},
        {"2019-13-01T00:00:00Z", false, 0},
        {"2019-05-01T24:00:00Z", false, 0},
        {"2019-05-01T04:60:00Z", false, 0},
        {"2019-05-01T04:31Z", false, 0},
        {"2019-05-01 04:31:11Z", false, 0},
        {"2019-05-01T04:31:11.Z", false, 0},
        {"2019-05-01T04:31:11+2:00", false, 0},
        {"2019-05-01T04:31:11+02:00x", false, 0},
        {"2019-05-01T04:31:11Zx", false, 0},
        {"19-05-01T04:31:11Z", false, 0},
        {" 2019-05-01T04:31:11Z", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        const std::string text = c.text;
        EXPECT_EQ(formats::ParseIsoTime(text.data(), text.size(), seconds, nanoseconds), c.valid)
            << c.text;
        if (c.valid) {
            EXPECT_EQ(seconds, c.seconds) << c.text;
            EXPECT_EQ(nanoseconds, c.nanoseconds) << c.text;
        }
    }
    EXPECT_TRUE(formats::FitsTime(0) && formats::FitsTime(4294967295));
    EXPECT_FALSE(formats::FitsTime(-1) || formats::FitsTime(4294967296));
}

}  // namespace
