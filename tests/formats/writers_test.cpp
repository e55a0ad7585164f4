// What each writer leaves out and counts, how it begins and ends a track of
// none, one or more points, how it escapes a name, and how it fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "formats_support.h"

namespace {

using formats::Format;
using formats_support::Options;
using formats_support::WriteAll;
using formats_support::WritePoints;
using formats_support::WriteResult;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

TEST(Writers, PointsTheFormatCannotHoldAreLeftOutAndCounted) {
    const std::vector<GPL_Data_Point> points = {{46.5, 7.25, 1000, 90, 10, 1556685071},
                                                {kNaN, 7.25},
                                                {46.5, kInf},
                                                {90.5, 7.25},
                                                {46.5, -180.5},
                                                {-90, 180, kNaN, kNaN, kInf},
                                                {46.5, 7.25, -kInf},
                                                {0, 0, 0, 0, 0, 0}};
    const struct {
        Format format;
        formats::WriterOptions options;
        std::uint64_t written;
    } cases[] = {
        {Format::Named("gpl"), {}, 8},     {Format::Named("csv"), {}, 8},
        {Format::Named("gpx"), {}, 4},     {Format::Named("kml"), {}, 2},
        {Format::Named("geojson"), {}, 2}, {Format::Named("kml"), Options("t", {"clamp"}), 4},
    };
    for (const auto& c : cases) {
        const WriteResult result = WriteAll(c.format, points, c.options);
        EXPECT_EQ(result.written, c.written) << c.format.Name();
        std::uint64_t skipped = 0;
        for (const formats::Tally& tally : result.tallies) {
            skipped += tally.skipped ? tally.count : 0;
        }
        EXPECT_EQ(skipped, points.size() - c.written) << c.format.Name();
    }
    // GPX leaves out what it cannot hold of a point it writes.
    const std::string gpx = WriteAll(Format::Named("gpx"), points).bytes;
    EXPECT_NE(gpx.find("<trkpt lat=\"46.5\" lon=\"7.25\"><ele>304.8</ele>"
                       "<time>2019-05-01T04:31:11Z</time><extensions><gpxtpx:TrackPointExtension>"
                       "<gpxtpx:speed>4.4704</gpxtpx:speed><gpxtpx:course>90</gpxtpx:course>"
                       "</gpxtpx:TrackPointExtension></extensions></trkpt>\n"),
              std::string::npos);
    EXPECT_NE(gpx.find("<trkpt lat=\"-90\" lon=\"180\"></trkpt>\n"), std::string::npos);
    EXPECT_NE(gpx.find("<trkpt lat=\"46.5\" lon=\"7.25\"></trkpt>\n"), std::string::npos);
    EXPECT_NE(gpx.find("<trkpt lat=\"0\" lon=\"0\"><ele>0</ele></trkpt>\n"), std::string::npos);
}

// XML Schema's decimal has no exponent.
TEST(Writers, XmlNumbersAreDecimalsWithoutExponent) {
    const std::string gpx =
        WriteAll(Format::Named("gpx"), {{1e-7, -1e-300 / 1e8, 1e-300, 0, 1e20, 5}}).bytes;
    EXPECT_NE(gpx.find("lat=\"0.0000001\" lon=\"-0." + std::string(307, '0') + "1\""),
              std::string::npos);
    const std::size_t start = gpx.find("<trkpt");
    const std::string line = gpx.substr(start, gpx.find('\n', start) - start);
    for (std::size_t i = 1; i < line.size(); ++i) {
        EXPECT_FALSE(line[i] == 'e' && line[i - 1] >= '0' && line[i - 1] <= '9') << line;
    }
    EXPECT_NE(line.find("<gpxtpx:speed>44704000000000008192</gpxtpx:speed>"), std::string::npos);
}

TEST(Writers, NoneOneAndMorePoints) {
    const std::vector<GPL_Data_Point> track = {
        {46.5, 7.25, 1000, 0, 0, 1556685071}, {46.6, 7.35, 1100, 0, 0, 0}, {46.7, 7.45, 0}};
    for (std::size_t size = 0; size <= 3; ++size) {
        const std::vector<GPL_Data_Point> points(track.begin(), track.begin() + size);
        const std::string kml = WriteAll(Format::Named("kml"), points).bytes;
        EXPECT_EQ(Count(kml, "<Placemark>"), size == 0 ? 0 : size == 1 ? 2 : 3) << size;
        EXPECT_EQ(Count(kml, "<LineString>"), size >= 2 ? 1 : 0) << size;
        EXPECT_EQ(Count(kml, "<TimeStamp>"), size == 0 ? 0 : size == 1 ? 2 : 1) << size;
        EXPECT_EQ(kml.substr(kml.size() - 19), "</Document>\n</kml>\n");

        const std::string json = WriteAll(Format::Named("geojson"), points).bytes;
        EXPECT_EQ(Count(json, "\"type\":\"Feature\""), size == 0 ? 0 : 1) << size;
        EXPECT_EQ(Count(json, "\"Point\""), size == 1 ? 1 : 0) << size;
        EXPECT_EQ(Count(json, "\"LineString\""), size >= 2 ? 1 : 0) << size;
    }
    EXPECT_EQ(WriteAll(Format::Named("geojson"), {}).bytes,
              "{\"type\":\"FeatureCollection\",\"features\":[\n]}\n");
    EXPECT_EQ(WriteAll(Format::Named("geojson"), {track[0]}, Options("one")).bytes,
              "{\"type\":\"FeatureCollection\",\"features\":[\n"
              "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":"
              "[7.25,46.5,304.8]},\"properties\":{\"name\":\"one\",\"coordTimes\":"
              "[\"2019-05-01T04:31:11Z\"]}}\n]}\n");
}

TEST(Writers, NamesAreEscapedAndMadeValidUtf8) {
    const formats::WriterOptions options = Options("a<b>&\"c\"\x01\tUrs\xC3\xA4l\xFF\xC3");
    const std::string gpx = WriteAll(Format::Named("gpx"), {}, options).bytes;
    EXPECT_NE(
        gpx.find(
            "<name>a&lt;b&gt;&amp;&quot;c&quot;\xEF\xBF\xBD\tUrs\xC3\xA4l\xEF\xBF\xBD\xEF\xBF\xBD"
            "</name>"),
        std::string::npos);
    const std::string json = WriteAll(Format::Named("geojson"), {{1, 2}, {3, 4}}, options).bytes;
    EXPECT_NE(
        json.find("\"name\":\"a<b>&\\\"c\\\"\\u0001\\u0009Urs\xC3\xA4l\xEF\xBF\xBD\xEF\xBF\xBD\""),
        std::string::npos);
}

TEST(Writers, AFullDiskFailsEveryWriterWithItsReason) {
    const std::vector<GPL_Data_Point> points(5000, GPL_Data_Point(46.5, 7.25, 1000, 90, 10, 1));
    for (const Format format : {Format::Named("gpl"), Format::Named("gpx"), Format::Named("kml"),
                                Format::Named("geojson"), Format::Named("csv")}) {
        const int fd = ::open("/dev/full", O_WRONLY);
        ASSERT_GE(fd, 0);
        const auto writer = formats::OpenWriter(format, fd, {});
        bool ok = true;
        track::Point point;
        for (const GPL_Data_Point& record : points) {
            track::FromRecord(record, point);
            ok = ok && writer->Write(point);
        }
        ok = ok && writer->Finish();
        EXPECT_FALSE(ok) << format.Name();
        EXPECT_TRUE(writer->Failed());
        EXPECT_EQ(writer->Error().reason, "No space left on device");
        EXPECT_FALSE(writer->Write(point));
        ::close(fd);
    }
}

// KML and GeoJSON hold the points in a temporary file until the end.
TEST(Writers, KmlAndGeoJsonSayWhenTheirTemporaryFileFails) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("TMPDIR", "/nonexistent", 1);
    for (const Format format : {Format::Named("kml"), Format::Named("geojson")}) {
        const int fd = ::open("/dev/null", O_WRONLY);
        const auto writer = formats::OpenWriter(format, fd, {});
        track::Point point;
        track::FromRecord({1, 2}, point);
        EXPECT_FALSE(writer->Write(point) && writer->Finish()) << format.Name();
        EXPECT_EQ(writer->Error().reason,
                  "temporary file in /nonexistent: No such file or directory");
        ::close(fd);
    }
    if (old != nullptr) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

// A point left out passes the track or segment it begins on to the next
// point written, and a track without a name of its own takes the writer's.
TEST(Writers, TracksAndSegmentsAroundPointsLeftOut) {
    std::vector<track::Point> points(6);
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i].SetPosition(46.5, 7.0 + static_cast<double>(i) / 8);
        points[i].tag = static_cast<std::uint32_t>(i + 1);
    }
    points[0].begins_track = points[0].begins_segment = true;
    points[0].track_name = "first";
    points[2].Clear(track::kPosition);  // begins a segment, left out
    points[2].begins_segment = true;
    points[4].latitude = 91;  // begins a track, left out
    points[4].begins_track = points[4].begins_segment = true;
    const std::string gpx = WritePoints(Format::Named("gpx"), points, Options("input")).bytes;
    EXPECT_EQ(Count(gpx, "<trk>"), 2u);
    EXPECT_EQ(Count(gpx, "<trkseg>"), 3u);
    EXPECT_NE(gpx.find("<name>first</name>"), std::string::npos);
    EXPECT_NE(gpx.find("<name>input</name>"), std::string::npos);
    const std::string kml = WritePoints(Format::Named("kml"), points).bytes;
    EXPECT_EQ(Count(kml, "<LineString>"), 3u);
    EXPECT_EQ(Count(kml, "<MultiGeometry>"), 1u);
    // A segment of one point is a line from it to itself.
    EXPECT_EQ(Count(kml, "\n7.375,46.5\n7.375,46.5\n</coordinates>"), 1u);
    const std::string json = WritePoints(Format::Named("geojson"), points).bytes;
    EXPECT_NE(json.find("\"MultiLineString\",\"coordinates\":[\n[\n[7,46.5],\n[7.125,46.5]\n],\n"
                        "[\n[7.375,46.5],\n[7.375,46.5]\n],\n[\n[7.625,46.5],\n[7.625,46.5]\n]\n]"),
              std::string::npos)
        << json;
}

}  // namespace
