// Numbers, times and names as the reports write them, and what the reports
// say of the points a reader of another format changed or left out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

#include "formatting.h"
#include "jsonreport.h"
#include "textreport.h"

namespace {

using namespace trackinfo;

TEST(Formatting, NumbersAndDurations) {
    EXPECT_EQ(Fixed(-0.04, 1), "0.0");
    EXPECT_EQ(Fixed(-0.05, 1), "-0.1");
    EXPECT_EQ(Fixed(2.5e15, 1), "2.5e+15");
    EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 1), "-");
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity(), 3), "-");
    EXPECT_EQ(Clock(0), "0:00:00");
    EXPECT_EQ(Clock(90061), "25:01:01");
    EXPECT_EQ(Clock(-120), "-0:02:00");
    EXPECT_EQ(Clock(-4294967295LL), "-1193046:28:15");
    EXPECT_EQ(Clock(59.5), "0:01:00");
    EXPECT_EQ(Pace(125.4), "2:05");
    EXPECT_EQ(Pace(std::numeric_limits<double>::infinity()), "-");
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(1e300), "1e+300");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");
}

TEST(Formatting, TimesInUtcWhateverTheZoneAndInLocalTime) {
    const auto at = [](std::int64_t seconds, std::int64_t nanoseconds = 0) {
        return track::Instant::FromNanoseconds(seconds * 1000000000 + nanoseconds);
    };
    // Leap days, the end of a century, past the last 32-bit time stamp and
    // before 1970; fractions of a second in the fewest digits.
    ::setenv("TZ", "Europe/Zurich", 1);
    ::tzset();
    const TimeStyle utc;
    EXPECT_EQ(utc.Text(at(1)), "1970-01-01 00:00:01 UTC");
    EXPECT_EQ(utc.Text(at(951782400)), "2000-02-29 00:00:00 UTC");
    EXPECT_EQ(IsoTime(at(4102444800)), "2100-01-01T00:00:00Z");
    EXPECT_EQ(IsoTime(at(7289654399)), "2200-12-31T23:59:59Z");
    EXPECT_EQ(IsoTime(at(-2208988800, 250000000)), "1900-01-01T00:00:00.25Z");
    EXPECT_EQ(IsoTime(at(1, 123000000)), "1970-01-01T00:00:01.123Z");
    EXPECT_EQ(utc.Minutes(at(1700000000)), "22:13");
    // Summer and winter time of one zone, and a zone west of Greenwich.
    const TimeStyle local(true);
    EXPECT_EQ(local.Text(at(1556685071)), "2019-05-01 06:31:11 +02:00");
    EXPECT_EQ(local.Text(at(1700000000)), "2023-11-14 23:13:20 +01:00");
    ::setenv("TZ", "America/St_Johns", 1);
    ::tzset();
    EXPECT_EQ(local.Text(at(1700000000)), "2023-11-14 18:43:20 -03:30");
    ::unsetenv("TZ");
    ::tzset();
}

TEST(Formatting, NamesInJsonAndHtml) {
    EXPECT_EQ(JsonString("a\"b\\c\td\x01"), "\"a\\\"b\\\\c\\u0009d\\u0001\"");
    EXPECT_EQ(HtmlText("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
    // Bytes that are no UTF-8 character become U+FFFD; characters stay.
    EXPECT_EQ(
        ValidUtf8("caf\xC3\xA9 \xFF\xC3 \xE2\x82\xAC \xED\xA0\x80"),
        "caf\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD \xE2\x82\xAC \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");  // an overlong "/"
}

// A reader of a text format tallies what it changed and what it left out,
// with its own words; the report keeps them.
TEST(Reports, ReaderTalliesInTextAndJson) {
    FileReport file;
    file.name = "ride.nmea";
    file.format = formats::Format::Named("nmea");
    file.figures.points = 10;
    file.figures.findings.skipped_points = 3;
    file.tallies = {
        formats::Tally{3, "sentence with a bad checksum was skipped",
                       "sentences with a bad checksum were skipped", true},
        formats::Tally{2, "point without a date was given Time 0",
                       "points without a date were given Time 0", false},
    };
    Style style;
    style.units = Units(true);
    const std::string text = Text(FileRows(file, style));
    EXPECT_NE(text.find("Finding         3 sentences with a bad checksum were skipped\n"
                        "Note            2 points without a date were given Time 0\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("left out by the reader"), std::string::npos);
    // The total has no reader's words: the count alone.
    const std::string total = Text(TotalRows(file.figures, 1, style));
    EXPECT_NE(total.find("Finding         3 points were left out by the reader\n"),
              std::string::npos);

    std::string object;
    JsonReport json(false, [&](const std::string& text) { object += text; });
    json.File(file, nullptr);
    EXPECT_NE(object.find("\"format\": \"nmea\""), std::string::npos);
    EXPECT_NE(object.find("\"skipped_points\": 3"), std::string::npos);
    EXPECT_NE(object.find("\"reader\": [{\"count\": 3, \"what\": \"sentences with a bad checksum "
                          "were skipped\", \"skipped\": true}, {\"count\": 2, \"what\": "
                          "\"points without a date were given Time 0\", \"skipped\": false}]"),
              std::string::npos)
        << object;
}

}  // namespace
