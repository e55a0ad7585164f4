// Waypoints and routes beside the track in KML and GeoJSON, as GDAL's
// ogrinfo reads them; the point spool that holds them; CSV texts too long
// to keep.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
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

track::Point At(double latitude, double longitude, Kind kind, bool begins = false,
                double elevation = std::nan("")) {
    track::Point point;
    point.SetPosition(latitude, longitude);
    point.kind = kind;
    point.begins_track = point.begins_segment = begins;
    if (!std::isnan(elevation)) {
        point.Set(track::kElevation, elevation);
    }
    return point;
}

// A waypoint with every text, one inside a route, routes named, unnamed
// and begun by a point left out, and a track between them.
std::vector<track::Point> Mixed() {
    std::vector<track::Point> points = {At(46.5, 7.25, Kind::kWaypoint, false, 1200.5),
                                        At(46.1, 7.1, Kind::kRoute, true, 500),
                                        At(46.6, 7.3, Kind::kWaypoint),
                                        At(46.2, 7.2, Kind::kRoute, false, 510),
                                        At(46.0, 7.0, Kind::kTrack, true, 400),
                                        At(46.01, 7.01, Kind::kTrack, false, 401),
                                        At(46.3, 7.3, Kind::kRoute, true),
                                        At(91, 7.4, Kind::kRoute, true),
                                        At(46.4, 7.4, Kind::kRoute),
                                        At(46.45, 7.45, Kind::kRoute),
                                        At(46.02, 7.02, Kind::kTrack, false, 402),
                                        At(0, 0, Kind::kWaypoint)};
    track::Point& hut = points[0];
    hut.SetTime(track::Instant::FromSeconds(1556685071));
    hut.Set(track::kHeartRate, 96.5);
    const char* const texts[] = {"Hut & \"Co\"", "A <hut>", "open",
                                 "Lodge",        "hut",     "http://x/?a&b"};
    for (std::size_t i = 0; i < track::kTextCount; ++i) {
        hut.texts.Set(static_cast<Text>(i), texts[i]);
    }
    points[1].track_name = "Plan A";
    points[1].texts.Set(Text::kName, "turn left");  // not kept
    points[2].texts.Set(Text::kName, "Spring");
    points[4].track_name = "Morning";  // the line is named after the input: counted
    points[7].track_name = "Lost";  // out of range: the next point takes the name
    points[10].texts.Set(Text::kComment, "not kept");
    points[11].Clear(track::kPosition);
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
        std::uint64_t track_names = 0;
        for (const formats::Tally& tally : written.tallies) {
            const std::string words = tally.many;
            track_names += words.find("tracks' own names") != std::string::npos ? tally.count : 0;
            skipped += tally.skipped ? tally.count : 0;
            texts += words.find("texts") != std::string::npos ? tally.count : 0;
            heart_rates += words.find("heart rates") != std::string::npos ? tally.count : 0;
        }
        EXPECT_EQ(skipped, 2u);
        EXPECT_EQ(texts, 2u);
        EXPECT_EQ(track_names, 1u);
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
        const std::map<std::string, std::string> fields = {
            {c.name, "Hut & \"Co\""},
            {c.desc, "A <hut>"},
            {"cmt", "open"},
            {"sym", "Lodge"},
            {"type", "hut"},
            {"link", "http://x/?a&b"},
            {c.time, "2019/05/01 04:31:11+00"},
            {"heartRate", kml ? "" : "96.5"}};  // KML has no place for it
        for (const auto& [field, value] : fields) {
            EXPECT_EQ(hut.fields.count(field) != 0 ? hut.fields.at(field) : "", value) << field;
        }
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

// The spool gives back every point as it was set aside, texts longer than
// its buffer included, and starts again empty.
TEST(WaypointWriters, TheSpoolKeepsKindsNamesAndTexts) {
    std::vector<track::Point> points;
    for (int i = 0; i < 3000; ++i) {
        points.push_back(At(i * 1e-3, -i * 1e-3, static_cast<Kind>(i % 3), i % 7 == 0));
        points.back().tag = static_cast<std::uint32_t>(i);
        points.back().track_name = i % 7 == 0 ? "track " + std::to_string(i) : "";
        points.back().texts.Set(static_cast<Text>(i % track::kTextCount),
                                i % 5 == 0 ? std::to_string(i) : "");
    }
    points[1].texts.Set(Text::kDescription, std::string(300000, 'd'));
    const auto key = [](const track::Point& point) {
        return std::make_tuple(point.kind, point.tag, point.latitude, point.begins_track,
                               point.track_name, point.texts.Get(Text::kDescription),
                               point.texts == track::Texts());
    };
    formats::PointSpool spool;
    ASSERT_TRUE(spool.Open());
    for (const std::size_t size : {points.size(), std::size_t{4}}) {
        ASSERT_TRUE(spool.Restart());
        for (std::size_t i = 0; i < size; ++i) {
            ASSERT_TRUE(spool.Add(points[i]));
        }
        ASSERT_TRUE(spool.StartReading());
        std::size_t i = 0;
        for (track::Point point; spool.Next(point); ++i) {
            ASSERT_LT(i, size);
            EXPECT_EQ(key(point), key(points[i])) << i;
            EXPECT_EQ(point.texts, points[i].texts) << i;
        }
        EXPECT_EQ(spool.Error(), 0);
        EXPECT_EQ(i, size);
    }
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
