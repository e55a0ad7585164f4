// CSV out and back in: every field but the reserved words comes back bit for
// bit; columns are found by name; quoting as RFC 4180 has it; the errors of
// a file at their lines.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "files.h"
#include "formats_support.h"

namespace {

using formats::Format;
using formats_support::ReadAll;
using formats_support::ReadResult;
using formats_support::WriteAll;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Csv, EveryFieldButTheReservedWordsComesBackBitForBit) {
    const double values[] = {0.1,     -0.0,     5e-324, DBL_MAX, -DBL_MIN, kInf,
                             -kInf,   kNaN,     -kNaN,  M_PI,    1e21,     123456789.123456789,
                             46.9481, -7.44741, 1e-7};
    std::vector<GPL_Data_Point> points;
    const std::uint32_t times[] = {0, 1, 1556685071, 0xFFFFFFFFu};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        GPL_Data_Point point(
            values[i], values[(i + 3) % std::size(values)], values[(i + 5) % std::size(values)],
            values[(i + 7) % std::size(values)], values[(i + 11) % std::size(values)], times[i % 4],
            i == 0 ? 0xFFFFFFFFu : i);
        points.push_back(point);
    }
    const formats_support::WriteResult written = WriteAll(Format::Named("csv"), points);
    EXPECT_EQ(written.written, points.size());
    const ReadResult read = ReadAll(written.bytes, Format::Named("csv"));
    ASSERT_FALSE(read.failed) << read.error.reason;
    ASSERT_EQ(read.points.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(testing_support::Record(read.points[i]), testing_support::Record(points[i]))
            << "line " << i + 2 << " of\n"
            << written.bytes;
    }
    // The text itself: no quoting needed, LF line ends, times as UTC.
    EXPECT_EQ(written.bytes.substr(0, written.bytes.find('\n', written.bytes.find('\n') + 1) + 1),
              "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,"
              "segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c,kind,track,track_name,"
              "name,description,comment,symbol,type,link,lap,sport,sub_sport\n"
              "1,,0.1,1.7976931348623157e+308,inf,nan,123456789.12345679,4294967295,1,,,,,"
              "track,0,,,,,,,,,,\n");
    EXPECT_NE(written.bytes.find("\n2,1970-01-01T00:00:01Z,-0,-2.2250738585072014e-308,-inf,-nan,"),
              std::string::npos);
    EXPECT_NE(written.bytes.find("\n3,2019-05-01T04:31:11Z,5e-324,"), std::string::npos);
}

// Kinds, tracks, texts that need quoting, laps and every sport number come
// back, and a CSV written from what was read is the same bytes.
TEST(Csv, KindsTextsLapsAndSportsComeBack) {
    std::vector<track::Point> points;
    const auto add = [&points](track::Kind kind, std::uint32_t number, bool begins) {
        track::Point point;
        point.SetPosition(1.0 + static_cast<double>(points.size()) * 1e-3, 2.0);
        point.kind = kind;
        point.track = number;
        point.begins_track = point.begins_segment = begins;
        point.tag = static_cast<std::uint32_t>(points.size());
        points.push_back(point);
        return &points.back();
    };
    track::Point* waypoint = add(track::Kind::kWaypoint, 0, false);
    const char* const texts[] = {"Hut, \"Alpine\"", " two\nlines ", "c", "Flag", "hut", "x,y"};
    for (std::size_t i = 0; i < track::kTextCount; ++i) {
        waypoint->texts.Set(static_cast<track::Text>(i), texts[i]);
    }
    add(track::Kind::kRoute, 1, true)->track_name = "plan, \"A\"";
    add(track::Kind::kRoute, 1, false);
    for (unsigned sport = 0; sport < 256; ++sport) {
        track::Point* point = add(track::Kind::kTrack, 2, sport == 0);
        point->begins_lap = sport % 3 != 1;
        point->begins_session = sport % 2 == 0 || sport == 255;
        point->sport = static_cast<std::uint8_t>(sport);
        point->sub_sport = point->begins_session ? static_cast<std::uint8_t>(sport / 2) : 0;
        if (!point->begins_session) {
            point->sport = track::kUnknownSport;
        }
    }
    add(track::Kind::kWaypoint, 2, false)->texts.Set(track::Text::kName, "late");
    add(track::Kind::kTrack, 3, true)->track_name = "second";
    const formats_support::WriteResult written =
        formats_support::WritePoints(Format::Named("csv"), points);
    const ReadResult read = ReadAll(written.bytes, Format::Named("csv"));
    ASSERT_FALSE(read.failed) << read.error.reason << " line " << read.error.where.line;
    ASSERT_EQ(read.model.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const track::Point& a = points[i];
        const track::Point& b = read.model[i];
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(b.kind, a.kind);
        EXPECT_EQ(b.track, a.track);
        EXPECT_EQ(b.begins_track, a.begins_track);
        EXPECT_EQ(b.begins_segment, a.begins_segment);
        EXPECT_EQ(b.track_name, a.track_name);
        EXPECT_EQ(b.texts, a.texts);
        EXPECT_EQ(b.begins_lap, a.begins_lap);
        EXPECT_EQ(b.begins_session, a.begins_session);
        EXPECT_EQ(b.sport, a.sport);
        EXPECT_EQ(b.sub_sport, a.sub_sport);
    }
    EXPECT_EQ(formats_support::WritePoints(Format::Named("csv"), read.model).bytes, written.bytes);
}

TEST(Csv, ColumnsByNameQuotingAndWhatSpreadsheetsWrite) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Notes, Speed_MPH ,LONGITUDE,\"latitude\",time,\"comma, \"\"quote\"\"\"\r\n"
        "\"a, b\nc\",+1.5, 7.25 ,46.5,2019-05-01T06:31:11+02:00,x\r\n"
        "\r\n"
        "\n"
        ",,-0,\"-1e-3\",,\"\"\r\n"
        "\"\"\"\",INF,nan,-INFINITY,,";  // a last line without its line end
    const ReadResult result = ReadAll(text, Format::Named("csv"));
    ASSERT_FALSE(result.failed) << result.error.reason << " line " << result.error.where.line;
    ASSERT_EQ(result.points.size(), 3u);
    const GPL_Data_Point& first = result.points[0];
    EXPECT_EQ(first.Latitude, 46.5);
    EXPECT_EQ(first.Longitude, 7.25);
    EXPECT_EQ(first.Speed, 1.5);
    EXPECT_EQ(first.Time, 1556685071u);
    // Columns that are not there give 0; so do empty fields.
    EXPECT_EQ(first.Altitude, 0.0);
    EXPECT_EQ(first.Heading, 0.0);
    EXPECT_EQ(first.Tag, 0u);
    EXPECT_EQ(result.points[1].Latitude, -1e-3);
    EXPECT_TRUE(std::signbit(result.points[1].Longitude));
    EXPECT_EQ(result.points[1].Time, 0u);
    EXPECT_EQ(result.points[2].Speed, kInf);
    EXPECT_TRUE(std::isnan(result.points[2].Longitude));
    EXPECT_EQ(result.points[2].Latitude, -kInf);
}

TEST(Csv, ErrorsOfTheFileAtTheirLines) {
    const std::string header =
        "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag\n";
    const std::string line = "1,,46.5,7.25,0,0,0,1\n";
    const struct {
        std::string text;
        const char* reason;
        std::uint64_t line;
    } cases[] = {
        {"", "no header line: the file is empty", 1},
        {"\n\n", "no header line: the file is empty", 1},
        {"1,,46.5,7.25,0,0,0,1\n", "no header line: the first line names no latitude and", 1},
        {"lat,lon\n1,2\n", "no header line: the first line names no latitude and", 1},
        {"latitude,longitude,Latitude\n", "column latitude is named twice", 1},
        {header + line + "2,,46.5,7.25,0,0,0,2,9\n", "9 fields, but the header has 8", 3},
        {header + "\n" + line + "2,,46.5\n", "3 fields, but the header has 8", 4},
        {header + line + "2,,\"46.5,7.25,0,0,0,2\n3,,1,1,0,0,0,3\n",
         "a quoted field without its closing quote", 3},
        {header + "2,,\"46.5\"x,7.25,0,0,0,2\n", "text after the closing quote of a field", 2},
        {header + "2,,46.5,east,0,0,0,2\n", "longitude is not a number: \"east\"", 2},
        {header + "2,,46.5,7.25,1.2.3,0,0,2\n", "altitude_ft is not a number: \"1.2.3\"", 2},
        {header + "2,,46.5,7.25,0,0,0,-1\n", "tag is not a whole number from 0 to 4294967295", 2},
        {header + "2,,46.5,7.25,0,0,0,4294967296\n", "tag is not a whole number", 2},
        {header + "2,noon,46.5,7.25,0,0,0,2\n", "time is not a date and time: \"noon\"", 2},
        {header + "2,,46.5," + std::string(100, '1') + ",0,0,0,2\n",
         "longitude is not a number: \"1111", 2},
        {std::string("latitude,longitude") + std::string(1000, ',') + "\n",
         "more than 1000 columns", 1},
    };
    for (const auto& c : cases) {
        const ReadResult result = ReadAll(c.text, Format::Named("csv"));
        EXPECT_TRUE(result.failed) << c.reason;
        EXPECT_EQ(result.error.reason.compare(0, std::strlen(c.reason), c.reason), 0)
            << result.error.reason;
        EXPECT_EQ(result.error.where.line, c.line) << c.reason;
        EXPECT_EQ(result.error.where.column, 0u);
    }
}

// The columns after tag, empty fields as values a point does not have,
// segments where the number changes; and what the writer makes of such
// points reads back the same.
TEST(Csv, SegmentsSensorValuesAndEmptyFields) {
    const std::string text =
        "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,"
        "segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c\n"
        "1,2025-06-14T20:15:00.25Z,46.5,7.25,,,,1,1,120,80,250,-2.5\n"
        "2,,46.6,7.26,1000,,,2,1,,,,\n"
        "3,,,7.27,,,,3,7,,,,\n"
        "4,,46.7,7.27,,90,0,4,7,,,0,\n"
        "5,,46.8,7.28,,,,5,,,,,\n"
        "6,1899-12-31T23:59:59Z,46.9,7.29,,,,6,1,,,,\n"
        "7,1969-12-31T23:59:59.5Z,47,7.3,,,,7,1,,,,\n";
    const std::vector<std::string> expected = {
        "track 0 '' 46.5,7.25 time=2025-06-14T20:15:00.25Z hr=120 cad=80 power=250 temp=-2.5",
        "46.6,7.26 ele=304.8",
        "segment nowhere",
        "46.7,7.27 speed=0 course=90 power=0",
        "46.8,7.28",
        "segment 46.9,7.29",
        "47,7.3 time=1969-12-31T23:59:59.5Z",
    };
    const ReadResult read = ReadAll(text, Format::Named("csv"));
    ASSERT_FALSE(read.failed) << read.error.reason;
    EXPECT_EQ(formats_support::Describe(read.model), expected);
    EXPECT_EQ(read.Count("points with a time outside 1900 to 2200"), 1u);
    // The GPL record of what the fields say: feet as written, Time 0 for a
    // time no Time stamp holds.
    EXPECT_EQ(read.points[1].Altitude, 1000.0);
    EXPECT_EQ(read.points[6].Time, 0u);

    const ReadResult back = ReadAll(
        formats_support::WritePoints(Format::Named("csv"), read.model).bytes, Format::Named("csv"));
    EXPECT_EQ(formats_support::Describe(back.model), expected);
    for (std::size_t i = 0; i < read.points.size(); ++i) {
        EXPECT_EQ(testing_support::Record(back.points[i]), testing_support::Record(read.points[i]))
            << "line " << i + 2;
    }
}

// A speed or course of 0 is a value: GPX through CSV back to GPX keeps it,
// where GPL, which has no absent value, gives neither.
TEST(Csv, ASpeedOrCourseOfZeroGoesThroughAndBack) {
    const std::string gpx =
        "<gpx xmlns:x=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"><trk><trkseg>"
        "<trkpt lat=\"1\" lon=\"2\"><extensions><x:e><x:speed>0</x:speed></x:e></extensions>"
        "</trkpt><trkpt lat=\"1\" lon=\"2\"><extensions><x:e><x:course>0</x:course></x:e>"
        "</extensions></trkpt></trkseg></trk></gpx>";
    const ReadResult read = ReadAll(gpx, Format::Named("gpx"));
    ASSERT_EQ(formats_support::Describe(read.model),
              (std::vector<std::string>{"track 0 '' 1,2 speed=0", "1,2 course=0"}));
    const ReadResult csv = ReadAll(
        formats_support::WritePoints(Format::Named("csv"), read.model).bytes, Format::Named("csv"));
    const ReadResult back = ReadAll(
        formats_support::WritePoints(Format::Named("gpx"), csv.model).bytes, Format::Named("gpx"));
    EXPECT_EQ(formats_support::Describe(back.model), formats_support::Describe(read.model));
}

}  // namespace
