// The GeoJSON reader: our writer's output reads back as the points written,
// GDAL's GeoJSON and KML of GPX files read as the GPX does, the forms other
// programs write, the errors of the file, and salvaging a cut file.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "formats_support.h"

namespace {

using formats::Format;
using formats_support::Describe;
using formats_support::Options;
using formats_support::ReadAll;
using formats_support::ReadResult;
using formats_support::WritePoints;

const Format kGeoJson = Format::Named("geojson");
const std::string kData = std::string(TRACKTOOLS_SOURCE_DIR) + "/tests/formats/data/";

// A point as the tests describe it, with its kind and name.
std::string Line(const track::Point& point) {
    const char* kinds[] = {"", "route ", "waypoint "};
    std::string name(point.texts.Get(track::Text::kName));
    return kinds[static_cast<int>(point.kind)] + Describe(point) +
           (name.empty() ? "" : " '" + name + "'");
}

std::vector<std::string> Lines(const std::vector<track::Point>& points) {
    std::vector<std::string> lines;
    for (const track::Point& point : points) {
        lines.push_back(Line(point));
    }
    return lines;
}

track::Point At(double latitude, double longitude) {
    track::Point point;
    point.SetPosition(latitude, longitude);
    return point;
}

track::Instant Time(std::int64_t seconds, std::int64_t nanoseconds = 0) {
    return track::Instant::FromNanoseconds(seconds * 1000000000 + nanoseconds);
}

// What our writer keeps of `points`: one track named `name` whose segments
// begin where a segment or a track did, and no speed or course.
std::vector<track::Point> AsWritten(std::vector<track::Point> points, const std::string& name) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        track::Point& point = points[i];
        point.begins_segment = i == 0 || point.begins_segment || point.begins_track;
        point.begins_track = i == 0;
        point.track_name = i == 0 ? name : "";
        point.track = 0;
        point.Clear(track::kSpeed);
        point.Clear(track::kCourse);
    }
    return points;
}

TEST(GeoJsonReader, OurOwnGeoJsonReadsBackAsThePointsWritten) {
    // A long line (it goes through the temporary files), values at the
    // edges of their ranges, segments and tracks of one point.
    std::vector<track::Point> line;
    for (int i = 0; i < 150; ++i) {
        track::Point point = At(46.5 + i * 1e-5, 7.25 - i * 3e-6);
        if (i % 7 != 3) {
            point.Set(track::kElevation, 500.1 + i / 3.0);
        }
        if (i % 11 != 5) {
            point.SetTime(Time(1718357400 + i, i * 1000003));
        }
        const double sensors[] = {120.0 + i % 9, 80.5, 250.0 + i, -3.25};
        for (std::size_t s = 0; s < track::kSensorCount; ++s) {
            if ((i + s) % 5 != 0) {
                point.Set(track::kSensorFields[s], sensors[s]);
            }
        }
        point.Set(track::kSpeed, 3.5);
        line.push_back(point);
    }
    std::vector<track::Point> edges = {At(90, 180),        At(-90, -180),   At(0.1, -0.0),
                                       At(1e-300, 5e-324), At(-33.9, 18.4), At(1, 2)};
    edges[0].SetTime(Time(track::kFirstSecond));
    edges[1].SetTime(Time(track::kLastSecond, 999999999));
    edges[1].Set(track::kElevation, -430.5);
    edges[2].Set(track::kHeartRate, 0);
    edges[3].begins_segment = true;  // a segment of one point
    edges[4].begins_track = true;    // a track of one point, then one of two
    edges[4].track_name = "second";
    edges[5].begins_track = true;
    edges[5].SetTime(Time(0));
    // Two points at one place that differ in time are two points.
    track::Point later = edges[0];
    later.SetTime(Time(track::kFirstSecond + 1));
    const std::vector<std::vector<track::Point>> tracks = {
        line, edges, {edges[4]}, {edges[0], later}, {edges[2], edges[3]}};
    for (const std::vector<track::Point>& points : tracks) {
        SCOPED_TRACE(Line(points[0]) + " and " + std::to_string(points.size() - 1) + " more");
        const std::string written = WritePoints(kGeoJson, points, Options("ride")).bytes;
        const ReadResult read = ReadAll(written, kGeoJson);
        ASSERT_FALSE(read.failed) << read.error.reason;
        EXPECT_EQ(Lines(read.model), Lines(AsWritten(points, "ride")));
        // And written again, the same bytes.
        EXPECT_EQ(WritePoints(kGeoJson, read.model, Options("ride")).bytes, written);
    }
}

// The points of `path` as our reader of its format reads them.
ReadResult ReadFile(const std::string& path) {
    formats::ReadError error;
    const auto reader = formats::OpenReader(path, Format(), error);
    if (!reader) {
        ADD_FAILURE() << path << ": " << error.reason;
        return {};
    }
    ReadResult read = formats_support::ReadAll(*reader);
    EXPECT_FALSE(read.failed) << path << ": " << read.error.reason;
    return read;
}

std::vector<track::Point> OfKind(const std::vector<track::Point>& points, track::Kind kind) {
    std::vector<track::Point> kept;
    for (const track::Point& point : points) {
        if (point.kind == kind) {
            kept.push_back(point);
        }
    }
    return kept;
}

// GDAL's lines (make_gdal_readings.sh) give each point its elevation, 0 for
// none; its track points are Point features with their times.
TEST(GeoJsonReader, GdalsGeoJsonAndKmlOfGpxFilesReadAsTheGpx) {
    for (const char* name : {"hikes", "dateline"}) {
        SCOPED_TRACE(name);
        const std::string base = kData + name;
        const ReadResult gpx = ReadFile(base + ".gpx");
        const std::vector<track::Point> track = OfKind(gpx.model, track::Kind::kTrack);
        ASSERT_FALSE(track.empty());
        const struct {
            std::string file;
            bool times;
        } readings[] = {{".tracks.geojson", false}, {".kml", false}};
        for (const auto& reading : readings) {
            SCOPED_TRACE(reading.file);
            const ReadResult read = ReadFile(base + reading.file);
            const std::vector<track::Point> lines = OfKind(read.model, track::Kind::kTrack);
            ASSERT_EQ(lines.size(), track.size());
            for (std::size_t i = 0; i < track.size(); ++i) {
                EXPECT_EQ(lines[i].latitude, track[i].latitude) << i;
                EXPECT_EQ(lines[i].longitude, track[i].longitude) << i;
                EXPECT_EQ(lines[i].elevation,
                          track[i].Has(track::kElevation) ? track[i].elevation : 0)
                    << i;
                EXPECT_EQ(lines[i].begins_segment, track[i].begins_segment) << i;
                EXPECT_EQ(lines[i].begins_track, track[i].begins_track) << i;
                EXPECT_EQ(lines[i].track_name, track[i].track_name) << i;
            }
        }
        for (const std::string file : {".track_points.geojson", ".kml"}) {
            SCOPED_TRACE(file);
            const ReadResult read = ReadFile(base + file);
            const std::vector<track::Point> points = OfKind(read.model, track::Kind::kWaypoint);
            ASSERT_EQ(points.size(), track.size());
            for (std::size_t i = 0; i < track.size(); ++i) {
                track::Point expected = track[i];
                expected.begins_segment = expected.begins_track = false;
                expected.track_name.clear();
                if (file == ".kml") {
                    expected.Clear(track::kTime);  // GDAL writes it as a text of its own
                }
                EXPECT_EQ(Describe(points[i]), Describe(expected)) << i;
            }
        }
        const ReadResult waypoints = ReadFile(base + ".waypoints.geojson");
        EXPECT_EQ(Lines(waypoints.model), Lines(OfKind(gpx.model, track::Kind::kWaypoint)));
    }
}

// The forms other programs write: members in any order, properties before
// the geometry, bare geometries, collections, strings with escapes.
TEST(GeoJsonReader, FormsOthersWrite) {
    const std::string many = [] {
        std::string times = "\"coordTimes\":[";
        std::string positions;
        for (int i = 0; i < 100; ++i) {
            const int second = i % 60;
            times += std::string(i > 0 ? "," : "") +
                     "\"2024-01-01T00:00:" + (second < 10 ? "0" : "") + std::to_string(second) +
                     "Z\"";
            positions += std::string(i > 0 ? "," : "") + "[" + std::to_string(i) + ",1]";
        }
        return "{\"properties\":{" + times + "]},\"geometry\":{\"coordinates\":[" + positions +
               "],\"type\":\"LineString\"},\"type\":\"Feature\"}";
    }();
    const struct {
        std::string json;
        std::vector<std::string> points;
    } cases[] = {
        {"{\"type\":\"LineString\",\"coordinates\":[[7.5,46.5,1e3],[7.6,46.6]]}",
         {"track 0 '' 46.5,7.5 ele=1000", "46.6,7.6"}},
        // The type after the coordinates, positions of four values.
        {" {\"coordinates\":[[[1,2,3,4]],[[5,6],[7,8]]],\"type\":\"MultiLineString\"}",
         {"track 0 '' 2,1 ele=3", "segment 6,5", "8,7"}},
        {"{\"coordinates\":[1,2],\"type\":\"Point\"}", {"waypoint 2,1"}},
        {"{\"coordinates\":[[1,2],[3,4]],\"type\":\"MultiPoint\"}",
         {"waypoint 2,1", "waypoint 4,3"}},
        // Properties first, times an array per line; a Feature of each kind.
        {"{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{"
         "\"name\":\"Caf\\u00e9 \\ud83d\\ude00 "
         "\\ud800\\n\",\"coordTimes\":[[\"2024-05-01T10:00:00Z\","
         "null],[\"2024-05-01T10:05:00.5+01:00\"]],\"heartRates\":[[120,null],[1e999]]},"
         "\"geometry\":{\"type\":\"MultiLineString\",\"coordinates\":[[[0.1,0.2],[0.3,0.4]],"
         "[[0.5,0.6]]]}},{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":"
         "[-0.0,-90,12]},\"properties\":{\"name\":\"Hut\",\"desc\":\"d\",\"time\":"
         "\"2024-05-01T12:00:00Z\",\"elevation\":{\"nested\":[1,{}]}}},{\"type\":\"Feature\","
         "\"geometry\":null,\"properties\":null},{\"type\":\"Feature\",\"geometry\":{\"type\":"
         "\"Polygon\",\"coordinates\":[[[0,0],[1,0],[1,1],[0,0]]]}},{\"type\":\"Feature\","
         "\"geometry\":{\"type\":\"GeometryCollection\",\"geometries\":[{\"geometries\":[{"
         "\"type\":\"Point\",\"coordinates\":[3,4]}],\"type\":\"GeometryCollection\"},{\"type\":"
         "\"LineString\",\"coordinates\":[[5,6],[5,6]]}]},"
         "\"properties\":{\"name\":\"Both\"}}]}",
         {"track 0 'Caf\xC3\xA9 \xF0\x9F\x98\x80 \xEF\xBF\xBD\n' 0.2,0.1 time=2024-05-01T10:00:00Z "
          "hr=120",
          "0.4,0.3", "segment 0.6,0.5 time=2024-05-01T09:05:00.5Z",
          "waypoint -90,-0 time=2024-05-01T12:00:00Z ele=12 'Hut'", "waypoint 4,3 'Both'",
          "track 1 'Both' 6,5"}},
        // Positions that are none are counted; numbers are read exactly.
        {"{\"type\":\"LineString\",\"coordinates\":[[181,0],[0,-90.5],[1],[0."
         "1000000000000000055511151231257827,"
         "46.94810000000000000001,-1.5E-3]]}",
         {"track 0 '' 46.9481,0.1 ele=-0.0015"}},
        // What the "kind" property says.
        {"{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":"
         "{\"kind\":\"route\",\"name\":\"r\"},\"geometry\":{\"type\":\"LineString\","
         "\"coordinates\":[[1,2],[3,4]]}},{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\","
         "\"coordinates\":[5,6]},\"properties\":{\"kind\":\"track\"}},{\"type\":\"Feature\","
         "\"geometry\":{\"type\":\"Point\",\"coordinates\":[7,8]},\"properties\":{\"kind\":"
         "\"waypoint\",\"coordTimes\":[\"2024-01-01T00:00:00Z\"]}}]}",
         {"route track 0 'r' 2,1", "route 4,3", "track 1 '' 6,5", "waypoint 8,7"}},
        {many, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 80));
        const ReadResult read = ReadAll(c.json, kGeoJson);
        ASSERT_FALSE(read.failed) << read.error.reason;
        if (c.json == many) {
            ASSERT_EQ(read.model.size(), 100u);
            for (std::size_t i = 0; i < 100; ++i) {
                EXPECT_EQ(read.model[i].longitude, static_cast<double>(i));
                EXPECT_EQ(read.model[i].time, Time(1704067200 + i % 60));
            }
            continue;
        }
        EXPECT_EQ(Lines(read.model), c.points);
    }
    EXPECT_EQ(ReadAll(cases[5].json, kGeoJson).Count("positions without"), 3u);
    const ReadResult hut = ReadAll(cases[4].json, kGeoJson);
    EXPECT_EQ(hut.model[3].texts.Get(track::Text::kDescription), "d");
}

TEST(GeoJsonReader, ErrorsOfTheFileSayWhereTheyAre) {
    const std::string deep = "{\"a\":" + std::string(512, '[');
    const struct {
        std::string json;
        const char* reason;
        std::uint64_t line, column;
    } cases[] = {
        {"", "not valid JSON: the file holds no value", 1, 1},
        {"{\"type\":\"Point\",}", "not valid JSON: expected a member name in quotes", 1, 17},
        {"{\"type\" \"Point\"}", "not valid JSON: expected ':' after a member name", 1, 9},
        {"{\"a\":[1 2]}", "not valid JSON: expected ',' or ']'", 1, 9},
        {"{\"a\":01}", "not valid JSON: a number with a leading zero", 1, 6},
        {"{\"a\":1.}", "not valid JSON: a number without its digits", 1, 8},
        {"{\"a\":-}", "not valid JSON: a number without its digits", 1, 7},
        {"{\"a\":tru}", "not valid JSON: expected a value", 1, 6},
        {"{\"\xC3\xA9\":\"\\x\"}", "not valid JSON: an invalid escape in a string", 1, 8},
        {"{\"a\":\"\\u12g4\"}", "not valid JSON: an escape \\u without four hexadecimal digits", 1,
         11},
        {"{\"a\":\"\t\"}", "not valid JSON: a control character in a string", 1, 7},
        {"{\"a\":\"\xC3(\"}", "not valid JSON: a string that is not UTF-8", 1, 7},
        {"{\n\"a\":\"b", "not valid JSON: the file ends within a string", 2, 7},
        {"{\"type\":\"Point\"\n\n", "not valid JSON: the file ends within an object", 3, 1},
        {"{\"type\":\"Point\",\"coordinates\":[1,2]} x",
         "not valid JSON: text after the end of "
         "the document",
         1, 38},
        {deep, "not valid JSON: nested more than 512 deep", 1, 517},
        {" [1]", "not a GeoJSON file: the document is an array, not an object", 1, 2},
        {"\"x\"", "not a GeoJSON file: the document is not an object", 1, 1},
        {"{\"features\":[]}", "not a GeoJSON file: the document has no type", 1, 1},
        {"{\"type\":\"Topology\"}", "not a GeoJSON file: the type is \"Topology\"", 1, 9},
        {"{\"type\":7}", "not a GeoJSON file: a type that is not a string", 1, 9},
        {"{\"type\":\"FeatureCollection\",\"features\":[[]]}",
         "not a GeoJSON file: a feature that is not an object", 1, 41},
        {"{\"type\":\"LineString\",\"coordinates\":[[1,[2]]]}",
         "not a GeoJSON file: coordinates that are not positions", 1, 40},
        {"{\"coordinates\":[1,2],\"type\":\"LineString\"}",
         "not a GeoJSON file: coordinates that are not positions", 1, 1},
        {"{\"type\":\"Point\",\"coordinates\":[1,\"2\"]}",
         "not a GeoJSON file: coordinates that are not positions", 1, 34},
        {"{\"type\":\"Feature\",\"geometry\":{\"coordinates\":[]}}",
         "not a GeoJSON file: a geometry without a type", 1, 30},
        {"{\"type\":\"Feature\",\"properties\":{\"coordTimes\":[\"noon\"]}}",
         "coordTimes holds a value that is not a date and time: \"noon\"", 1, 47},
        {"{\"type\":\"Feature\",\"properties\":{\"powers\":[true]}}",
         "powers holds a value that is not a number", 1, 43},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 60));
        const ReadResult read = ReadAll(c.json, kGeoJson);
        EXPECT_TRUE(read.failed);
        EXPECT_EQ(read.error.reason, c.reason);
        EXPECT_EQ(read.error.where.line, c.line);
        EXPECT_EQ(read.error.where.column, c.column);
    }
}

// Cut anywhere, our own file salvaged gives its points up to the cut (and
// fails without a point); without salvage it fails.
TEST(GeoJsonReader, ACutFileIsSalvagedUpToTheCut) {
    std::vector<track::Point> points;
    for (int i = 0; i < 6; ++i) {
        points.push_back(At(10 + i, 20 - i));
        points.back().SetTime(Time(1000000000 + i));
        points.back().begins_segment = i == 3;
    }
    const std::string whole = WritePoints(kGeoJson, points, Options("cut")).bytes;
    testing_support::TempDir dir;
    for (std::size_t size = 0; size + 2 < whole.size(); ++size) {
        SCOPED_TRACE(whole.substr(0, size));
        testing_support::WriteFile(dir / "cut.geojson", whole.substr(0, size));
        for (const bool salvage : {false, true}) {
            formats::ReadError error;
            const auto reader = formats::OpenReader(dir / "cut.geojson", Format(), error);
            ASSERT_TRUE(reader);
            reader->Salvage(salvage);
            const ReadResult read = formats_support::ReadAll(*reader);
            ASSERT_LE(read.model.size(), points.size());
            EXPECT_EQ(read.failed, !salvage || read.model.empty());
            EXPECT_EQ(reader->Remarks().size(), read.failed ? 0u : 1u);
            for (std::size_t i = 0; i < read.model.size(); ++i) {
                EXPECT_EQ(read.model[i].latitude, points[i].latitude);
                EXPECT_EQ(read.model[i].begins_segment, i == 0 || i == 3);
            }
        }
    }
}

}  // namespace
