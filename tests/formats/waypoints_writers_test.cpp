// Waypoints and routes beside the track in KML and GeoJSON, as GDAL's
// ogrinfo reads them; the point spool that holds them; CSV texts too long
// to keep.
#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats_support.h"
#include "run.h"
#include "tracktools/formats/pointspool.h"

namespace {

using formats::Format;
using formats_support::Options;
using formats_support::WritePoints;
using track::Kind;
using track::Text;

constexpr char kOgrinfo[] = "/usr/bin/ogrinfo";

bool Installed(const char* path) {
    return ::access(path, X_OK) == 0;
}

// One feature of ogrinfo's report: its fields, its geometry's type and
// numbers.
struct OgrFeature {
    std::map<std::string, std::string> fields;
    std::string geometry;
    std::vector<double> numbers;
};

std::vector<OgrFeature> OgrFeatures(const std::string& report) {
    std::vector<OgrFeature> features;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("OGRFeature(", 0) == 0) {
            features.emplace_back();
        } else if (features.empty() || line.rfind("  ", 0) != 0) {
            continue;
        } else if (const std::size_t open = line.find(" (");
                   open != std::string::npos && line.find(") = ") != std::string::npos) {
            features.back().fields[line.substr(2, open - 2)] = line.substr(line.find(" = ") + 3);
        } else if (line.find('(') != std::string::npos) {
            features.back().geometry = line.substr(2, line.find(' ', 2) - 2);
            std::string numbers = line.substr(line.find('('));
            for (char& c : numbers) {
                c = c == ',' || c == '(' || c == ')' ? ' ' : c;
            }
            std::istringstream in(numbers);
            for (double value = 0; in >> value;) {
                features.back().numbers.push_back(value);
            }
        }
    }
    return features;
}

track::Point At(double latitude, double longitude, Kind kind, bool begins = false) {
    track::Point point;
    point.SetPosition(latitude, longitude);
    point.kind = kind;
    point.begins_track = point.begins_segment = begins;
    return point;
}

// A waypoint with every text, one inside a route, routes named, unnamed
// and begun by a point left out, and a track between them.
std::vector<track::Point> Mixed() {
    std::vector<track::Point> points;
    track::Point hut = At(46.5, 7.25, Kind::kWaypoint);
    hut.Set(track::kElevation, 1200.5);
    hut.SetTime(track::Instant::FromSeconds(1556685071));
    hut.Set(track::kHeartRate, 96.5);
    const char* const texts[] = {"Hut & \"Co\"", "A <hut>", "open",
                                 "Lodge",        "hut",     "http://x/?a&b"};
    for (std::size_t i = 0; i < track::kTextCount; ++i) {
        hut.texts.Set(static_cast<Text>(i), texts[i]);
    }
    points.push_back(hut);
    points.push_back(At(46.1, 7.1, Kind::kRoute, true));
    points.back().track_name = "Plan A";
    points.back().Set(track::kElevation, 500);
    points.back().texts.Set(Text::kName, "turn left");  // not kept
    points.push_back(At(46.6, 7.3, Kind::kWaypoint));
    points.back().texts.Set(Text::kName, "Spring");
    points.push_back(At(46.2, 7.2, Kind::kRoute));
    points.back().Set(track::kElevation, 510);
    points.push_back(At(46.0, 7.0, Kind::kTrack, true));
    points.back().Set(track::kElevation, 400);
    points.push_back(At(46.01, 7.01, Kind::kTrack));
    points.back().Set(track::kElevation, 401);
    points.push_back(At(46.3, 7.3, Kind::kRoute, true));  // one point, no name
    points.push_back(At(91, 7.4, Kind::kRoute, true));    // left out
    points.back().track_name = "Lost";
    points.push_back(At(46.4, 7.4, Kind::kRoute));
    points.push_back(At(46.45, 7.45, Kind::kRoute));
    points.push_back(At(46.02, 7.02, Kind::kTrack));
    points.back().Set(track::kElevation, 402);
    points.back().texts.Set(Text::kComment, "not kept");
    points.push_back(At(0, 0, Kind::kWaypoint));
    points.back().Clear(track::kPosition);
    return points;
}

TEST(WaypointWriters, OgrinfoReadsTheWaypointsAndRoutesOfKmlAndGeoJson) {
    if (!Installed(kOgrinfo)) {
        GTEST_SKIP() << "ogrinfo is not installed (Debian package gdal-bin)";
    }
    struct Expected {
        std::string name;
        bool route;
        std::vector<double> numbers;  // lon, lat[, ele] of each position
        bool altitudes;
    };
    const std::vector<Expected> lines = {
        {"Spring", false, {7.3, 46.6}, false},
        {"Plan A", true, {7.1, 46.1, 500, 7.2, 46.2, 510}, true},
        {"input", true, {7.3, 46.3, 7.3, 46.3}, false},
        {"Lost", true, {7.4, 46.4, 7.45, 46.45}, false},
    };
    const std::vector<double> track = {7, 46, 400, 7.01, 46.01, 401, 7.02, 46.02, 402};
    // Laid on the ground, the positions have no altitudes.
    const auto on_ground = [](std::vector<double> numbers, bool clamp) {
        for (std::size_t i = 2; clamp && i < numbers.size(); i += 2) {
            numbers.erase(numbers.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return numbers;
    };
    const struct {
        Format format;
        bool clamp;
        const char* name;  // the fields ogrinfo gives the texts
        const char* desc;
        const char* time;
        std::size_t track_feature;  // after the waypoints and routes
    } cases[] = {
        {Format::Named("kml"), false, "Name", "description", "timestamp", 6},
        {Format::Named("kml"), true, "Name", "description", "timestamp", 6},
        {Format::Named("geojson"), false, "name", "desc", "time", 5},
    };
    for (const auto& c : cases) {
        const std::string format = c.format.Name();
        const bool kml = format == "kml";
        SCOPED_TRACE(format + (c.clamp ? " -clamp" : ""));
        const auto written = WritePoints(c.format, Mixed(),
                                         c.clamp ? Options("input", {"clamp"}) : Options("input"));
        EXPECT_EQ(written.written, 10u);
        std::uint64_t skipped = 0;
        std::uint64_t texts = 0;
        std::uint64_t heart_rates = 0;
        for (const formats::Tally& tally : written.tallies) {
            const std::string words = tally.many;
            skipped += tally.skipped ? tally.count : 0;
            texts += words.find("texts") != std::string::npos ? tally.count : 0;
            heart_rates += words.find("heart rates") != std::string::npos ? tally.count : 0;
        }
        EXPECT_EQ(skipped, 2u);
        EXPECT_EQ(texts, 2u);
        // KML has no place for a waypoint's heart rate; GeoJSON has.
        EXPECT_EQ(heart_rates, kml ? 1u : 0u);

        testing_support::TempDir dir;
        const std::string path = dir / ("out." + format);
        testing_support::WriteFile(path, written.bytes);
        testing_support::RunResult report =
            testing_support::Run(kOgrinfo, {"-ro", "-q", "-al", path});
        ASSERT_EQ(report.exit_status, 0) << report.err;
        const std::vector<OgrFeature> features = OgrFeatures(report.out);
        ASSERT_EQ(features.size(), c.track_feature + (kml ? 2 : 1)) << report.out;

        const OgrFeature& hut = features[0];
        EXPECT_EQ(hut.geometry, "POINT");
        EXPECT_EQ(hut.numbers, on_ground({7.25, 46.5, 1200.5}, c.clamp));
        EXPECT_EQ(hut.fields.at(c.name), "Hut & \"Co\"");
        EXPECT_EQ(hut.fields.at(c.desc), "A <hut>");
        EXPECT_EQ(hut.fields.at("cmt"), "open");
        EXPECT_EQ(hut.fields.at("sym"), "Lodge");
        EXPECT_EQ(hut.fields.at("type"), "hut");
        EXPECT_EQ(hut.fields.at("link"), "http://x/?a&b");
        EXPECT_EQ(hut.fields.at(c.time), "2019/05/01 04:31:11+00");
        EXPECT_EQ(hut.fields.count("heartRate") != 0 ? hut.fields.at("heartRate") : "",
                  kml ? "" : "96.5");
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const OgrFeature& feature = features[i + 1];
            SCOPED_TRACE(lines[i].name);
            EXPECT_EQ(feature.fields.at(c.name), lines[i].name);
            EXPECT_EQ(feature.geometry, lines[i].route ? "LINESTRING" : "POINT");
            EXPECT_EQ(feature.fields.count("kind") != 0 ? feature.fields.at("kind") : "",
                      lines[i].route ? "route"
                      : kml          ? ""
                                     : "waypoint");
            EXPECT_EQ(feature.numbers, on_ground(lines[i].numbers, c.clamp && lines[i].altitudes));
        }
        // The track follows, altitudes and all unless laid on the ground.
        const OgrFeature& line = features[c.track_feature];
        EXPECT_EQ(line.geometry, "LINESTRING");
        EXPECT_EQ(line.numbers, on_ground(track, c.clamp));
        EXPECT_EQ(line.fields.count("kind"), 0u);
    }
}

// The spool gives back every point as it was set aside, texts of any
// length included, and starts again empty.
TEST(WaypointWriters, TheSpoolKeepsKindsNamesAndTexts) {
    std::vector<track::Point> points;
    for (int i = 0; i < 3000; ++i) {
        track::Point point = At(i * 1e-3, -i * 1e-3, static_cast<Kind>(i % 3), i % 7 == 0);
        point.tag = static_cast<std::uint32_t>(i);
        if (i % 7 == 0) {
            point.track_name = "track " + std::to_string(i);
        }
        if (i % 5 == 0) {
            point.texts.Set(static_cast<Text>(i % track::kTextCount), std::to_string(i));
            point.texts.Set(Text::kLink, std::string(i % 2 == 0 ? 3 : 0, 'x'));
        }
        points.push_back(point);
    }
    // Longer than the buffer the spool reads through.
    points[1].texts.Set(Text::kDescription, std::string(300000, 'd'));
    formats::PointSpool spool;
    ASSERT_TRUE(spool.Open());
    const auto check = [&spool](const std::vector<track::Point>& expected) {
        ASSERT_TRUE(spool.StartReading());
        track::Point point;
        std::size_t i = 0;
        for (; spool.Next(point); ++i) {
            ASSERT_LT(i, expected.size());
            EXPECT_EQ(point.kind, expected[i].kind) << i;
            EXPECT_EQ(point.tag, expected[i].tag) << i;
            EXPECT_EQ(point.latitude, expected[i].latitude) << i;
            EXPECT_EQ(point.begins_track, expected[i].begins_track) << i;
            EXPECT_EQ(point.track_name, expected[i].track_name) << i;
            EXPECT_EQ(point.texts, expected[i].texts) << i;
        }
        EXPECT_EQ(spool.Error(), 0);
        EXPECT_EQ(i, expected.size());
    };
    for (const track::Point& point : points) {
        ASSERT_TRUE(spool.Add(point));
    }
    check(points);
    ASSERT_TRUE(spool.Restart());
    EXPECT_EQ(spool.Size(), 0u);
    const std::vector<track::Point> second(points.begin() + 5, points.begin() + 9);
    for (const track::Point& point : second) {
        ASSERT_TRUE(spool.Add(point));
    }
    check(second);
}

TEST(WaypointWriters, CsvTextsTooLongToKeepAreCutAndCounted) {
    const std::string long_name(1500, 'n');
    const auto read =
        formats_support::ReadAll("latitude,longitude,kind,name,track_name\n1,2,waypoint," +
                                     long_name + ",\n3,4,route,a," + long_name + "\n",
                                 Format::Named("csv"));
    ASSERT_EQ(read.model.size(), 2u);
    EXPECT_EQ(read.model[0].texts.Get(Text::kName), long_name.substr(0, 1024));
    EXPECT_EQ(read.model[1].track_name, long_name.substr(0, 1024));
    EXPECT_EQ(read.Count("texts longer than 1024 bytes"), 2u);
}

}  // namespace
