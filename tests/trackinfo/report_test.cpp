// Numbers, times and names as the reports write them, and what the reports
// say of the points a reader of another format changed or left out.
#include <gtest/gtest.h>

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
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(1e300), "1e+300");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");
}

TEST(Formatting, TimesInUtcWhateverTheZone) {
    // Leap days, the end of a century and the last 32-bit time stamp.
    EXPECT_EQ(UtcText(1), "1970-01-01 00:00:01");
    EXPECT_EQ(UtcText(951782400), "2000-02-29 00:00:00");
    EXPECT_EQ(UtcText(1709251199), "2024-02-29 23:59:59");
    EXPECT_EQ(IsoTime(4102444800u), "2100-01-01T00:00:00Z");
    EXPECT_EQ(IsoTime(4294967295u), "2106-02-07T06:28:15Z");
    EXPECT_EQ(TimeOfDay(1700000000), "22:13");
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
    const std::string text = Text(FileRows(file, Units(true)));
    EXPECT_NE(text.find("Finding         3 sentences with a bad checksum were skipped\n"
                        "Note            2 points without a date were given Time 0\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("left out by the reader"), std::string::npos);
    // The total has no reader's words: the count alone.
    const std::string total = Text(TotalRows(file.figures, 1, Units(true)));
    EXPECT_NE(total.find("Finding         3 points were left out by the reader\n"),
              std::string::npos);

    JsonReport json;
    const std::string object = json.File(file);
    EXPECT_NE(object.find("\"format\": \"nmea\""), std::string::npos);
    EXPECT_NE(object.find("\"skipped_points\": 3"), std::string::npos);
    EXPECT_NE(object.find("\"reader\": [{\"count\": 3, \"what\": \"sentences with a bad checksum "
                          "were skipped\", \"skipped\": true}, {\"count\": 2, \"what\": "
                          "\"points without a date were given Time 0\", \"skipped\": false}]"),
              std::string::npos)
        << object;
}

}  // namespace
