// trackinfo run as a user runs it: exact reports of small tracks whose
// figures are worked out by hand, every definition of the report, bad
// inputs, exit statuses, and the distance against GeodSolve.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Latitudes on the meridian 0 at a known distance north of the equator, from
//   printf '0 0 0 %s\n' 100 200 300 1609.344 3218.688 | GeodSolve -p 15
constexpr double k100m = 0.000904369477050;
constexpr double k200m = 0.001808738954095;
constexpr double k300m = 0.002713108431131;
constexpr double kOneMile = 0.014554415913598;
constexpr double kTwoMiles = 0.029108831808335;

constexpr std::uint32_t kT0 = 1700000000;  // 2023-11-14 22:13:20 UTC

GPL_Data_Point At(double latitude, double longitude, std::uint32_t time, double feet = 0.0) {
    GPL_Data_Point point(latitude, longitude, feet, 0.0, 0.0, time);
    return point;
}

// The report of a track without points, after its "File" line.
const char kNothing[] =
    "Points          0\n"
    "Segments        0\n"
    "Start           -\n"
    "End             -\n"
    "Duration        -\n"
    "Moving time     -\n"
    "Stopped time    -\n"
    "Breaks          -\n"
    "Distance        0.000 mi\n"
    "Average speed   -\n"
    "Moving average  -\n"
    "Max speed       -\n"
    "Elevation       -\n"
    "Climb           -\n"
    "Descent         -\n"
    "Latitude        -\n"
    "Longitude       -\n";

class TrackinfoTest : public ::testing::Test {
  protected:
    RunResult Trackinfo(const std::vector<std::string>& args, const std::string& stdout_path = "") {
        RunOptions options;
        options.cwd = dir.path();
        options.stdout_path = stdout_path;
        return RunTool("trackinfo", args, options);
    }
    void Track(const std::string& name, const std::vector<GPL_Data_Point>& points) {
        WriteFile(dir / name, Records(points));
    }
    // The value of `key` in the first object of a JSON report that has it
    // (one "key": value per line), as written.
    static std::string Field(const std::string& json, const std::string& key,
                             std::size_t from = 0) {
        const std::string marker = "\"" + key + "\": ";
        const std::size_t at = json.find(marker, from);
        if (at == std::string::npos) {
            return "(missing)";
        }
        const std::size_t begin = at + marker.size();
        std::size_t end = json.find('\n', begin);
        if (json[end - 1] == ',') {
            --end;
        }
        return json.substr(begin, end - begin);
    }
    static double Number(const std::string& json, const std::string& key) {
        return std::strtod(Field(json, key).c_str(), nullptr);
    }
    // The FIT files of the tests' encoder, in dir/cases.
    void MakeFitCases() {
        ASSERT_EQ(testing_support::Run("/usr/bin/python3", {std::string(TRACKTOOLS_SOURCE_DIR) +
                                                                "/tests/fit/fitencode.py",
                                                            "cases", dir / "cases"})
                      .exit_status,
                  0);
    }

    TempDir dir;
};

// Two hikes of a GPX file, each a mile due north in a minute, a day apart:
// no bridge between them in the figures or on the page; a point without an
// elevation is no elevation of 0; the heart rate of each leg's end point,
// weighted by time.
TEST_F(TrackinfoTest, TwoHikesOfAGpxFile) {
    const auto point = [](bool north, const char* time, const char* rest) {
        return std::string("<trkpt lat=\"") + (north ? "0.014554415913598" : "0") +
               "\" lon=\"0\">" + rest + "<time>" + time +
               "</time><extensions><t:TrackPointExtension><t:hr>" + (north ? "150" : "100") +
               "</t:hr></t:TrackPointExtension></extensions></trkpt>";
    };
    WriteFile(dir / "hikes.gpx",
              "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
              "xmlns:t=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">"
              "<trk><name>Saturday</name><trkseg>" +
                  point(false, "2023-11-14T10:00:00Z", "<ele>100</ele>") +
                  point(true, "2023-11-14T10:01:00.5Z", "") +
                  "</trkseg></trk><trk><name>Sunday</name><trkseg>" +
                  point(false, "2023-11-15T10:00:00Z", "<ele>120</ele>") +
                  point(true, "2023-11-15T10:01:00Z", "<ele>130</ele>") + "</trkseg></trk></gpx>");
    const RunResult r = Trackinfo({"-json", "-html", "hikes.html", "hikes.gpx"});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "segments"), "2");
    EXPECT_NEAR(Number(r.out, "distance_m"), 2 * 1609.344, 1e-3);
    EXPECT_EQ(Field(r.out, "duration_s"), "86460");
    EXPECT_EQ(Field(r.out, "breaks_s"), "86339.5");
    EXPECT_EQ(Field(r.out, "lowest_m"), "100");
    // 60.5 s at 150 bpm and 60 s at 150 bpm: the start points' 100 weigh nothing.
    EXPECT_EQ(Field(r.out, "heart_rate_avg_bpm"), "150");
    const std::string page = ReadFile(dir / "hikes.html");
    const std::size_t plan = page.find("Plan view");
    const std::size_t plan_end = page.find("</svg>", plan);
    std::size_t lines = 0;
    for (std::size_t at = page.find("<polyline", plan); at < plan_end;
         at = page.find("<polyline", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 2u);
}

// Waypoints and routes beside a track are no part of its measures: the
// figures are those of the track alone. They are counted apart, each
// route with its length (the length of a track through the same points),
// and the page marks the waypoints by name and dashes the routes.
TEST_F(TrackinfoTest, WaypointsAndRoutesAreCountedApart) {
    const std::string track =
        "<trk><name>Walk</name><trkseg>"
        "<trkpt lat=\"0\" lon=\"0\"><ele>100</ele><time>2023-11-14T22:13:20Z</time></trkpt>"
        "<trkpt lat=\"0.01\" lon=\"0.002\"><ele>130</ele><time>2023-11-14T22:14:20Z</time>"
        "</trkpt><trkpt lat=\"0.02\" lon=\"0.001\"><ele>120</ele>"
        "<time>2023-11-14T22:15:00Z</time></trkpt></trkseg></trk>";
    const std::string planned =
        "<rtept lat=\"0\" lon=\"0\"/><rtept lat=\"0.01\" lon=\"0.002\"/>"
        "<rtept lat=\"0.02\" lon=\"0.001\"/>";
    const auto gpx = [](const std::string& body) {
        return "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">" +
               body + "</gpx>";
    };
    WriteFile(dir / "alone.gpx", gpx(track));
    WriteFile(dir / "all.gpx",
              gpx("<wpt lat=\"10\" lon=\"10\"><ele>900</ele><time>2023-11-13T10:00:00Z</time>"
                  "<name>Hut &lt;1&gt;</name></wpt><wpt lat=\"-5\" lon=\"3\"/>"
                  "<rte><name>Plan</name>" +
                  planned + "</rte><rte>" + planned.substr(0, planned.rfind("<rtept")) + "</rte>" +
                  track));
    const RunResult alone = Trackinfo({"-json", "alone.gpx"});
    const RunResult all = Trackinfo({"-json", "-html", "all.html", "all.gpx"});
    ASSERT_EQ(all.exit_status, 0) << all.err;
    // Every line of the track's report, findings included, is the same.
    const auto measures = [](const std::string& json) {
        const std::size_t from = json.find("\"points\"");
        return json.substr(from, json.find("\"waypoints\"") - from);
    };
    EXPECT_EQ(measures(all.out), measures(alone.out));
    EXPECT_EQ(Field(all.out, "points"), "3");
    EXPECT_EQ(Field(all.out, "waypoints"), "2");
    EXPECT_EQ(Field(all.out, "routes"), "2");
    EXPECT_EQ(Field(alone.out, "routes"), "0");
    const std::string plan =
        "{\"name\": \"Plan\", \"points\": 3, \"distance_m\": " + Field(alone.out, "distance_m") +
        "}";
    EXPECT_NE(all.out.find(plan), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("{\"name\": \"\", \"points\": 2, \"distance_m\": "), std::string::npos);

    // printf '0 0 0.01 0.002\n0.01 0.002 0.02 0.001\n' | GeodSolve -i -p 3
    // gives 1127.934 and 1111.332 m.
    const RunResult text = Trackinfo({"-metric", "all.gpx"});
    EXPECT_NE(text.out.find("Longitude       0.000000 to 0.002000\n"
                            "Waypoints       2\n"
                            "Routes          2\n"
                            "Route 1         Plan, 2.239 km, 3 points\n"
                            "Route 2         1.128 km, 2 points\n"),
              std::string::npos)
        << text.out;
    const std::string page = ReadFile(dir / "all.html");
    EXPECT_NE(page.find("<title>Hut &lt;1&gt;</title></path>"), std::string::npos);
    std::size_t dashed = 0;
    for (std::size_t at = page.find("stroke-dasharray=\"8 5\""); at != std::string::npos;
         at = page.find("stroke-dasharray=\"8 5\"", at + 1)) {
        ++dashed;
    }
    EXPECT_EQ(dashed, 2u);
    EXPECT_NE(page.find("2 routes as dashed black lines, 2 waypoints as yellow triangles"),
              std::string::npos);
}

// The values of `key` on each line of `text` that holds `marker`: a number
// or a string as written, the quotes dropped ("" where the line has none).
std::vector<std::string> Each(const std::string& text, const std::string& marker,
                              const std::string& key) {
    std::vector<std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(marker) == std::string::npos) {
            continue;
        }
        const std::size_t at = line.find("\"" + key + "\":");
        std::string value;
        if (at != std::string::npos) {
            std::size_t from = line.find_first_not_of(' ', at + key.size() + 3);
            const bool quoted = line[from] == '"';
            from += quoted ? 1 : 0;
            value = line.substr(from, line.find_first_of(quoted ? "\"" : ",}", from) - from);
        }
        values.push_back(value == "null" ? "" : value);
    }
    return values;
}

std::string IsoOfUnix(const std::string& seconds) {
    const std::time_t time = std::strtoll(seconds.c_str(), nullptr, 10);
    std::tm parts{};
    ::gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

// Laps and sports against the file's own lap and session messages, as
// fit-file-parser read them (tests/fit/readings): a multisport file of the
// tests' encoder, and the recordings of the samples where they are.
TEST_F(TrackinfoTest, LapsAndSportsAsTheFitFileRecordsThem) {
    const std::string source = TRACKTOOLS_SOURCE_DIR;
    MakeFitCases();
    const std::vector<std::pair<std::string, std::string>> files = {
        {"multisport", dir / "cases/multisport.fit"},
        {"edge820-bike", source + "/../shared/samples/edge820-bike.fit"},
        {"elemnt-bolt", source + "/../shared/samples/elemnt-bolt.fit"},
        {"fenix5-run", source + "/../shared/samples/fenix5-run.fit"},
    };
    for (const auto& [name, path] : files) {
        if (::access(path.c_str(), R_OK) != 0) {
            continue;  // a sample that is not here
        }
        SCOPED_TRACE(name);
        const std::string reading = ReadFile(source + "/tests/fit/readings/" + name + ".json");
        const RunResult r = Trackinfo({"-json", path});
        ASSERT_EQ(r.exit_status, 0) << r.err;
        const std::vector<std::string> starts = Each(r.out, "{\"start\": ", "start");
        const std::vector<std::string> ended = Each(r.out, "{\"start\": ", "ended_by");
        const std::vector<std::string> lap_starts = Each(reading, "{\"lap\":", "lap");
        const std::vector<std::string> triggers = Each(reading, "{\"lap\":", "trigger");
        ASSERT_EQ(starts.size(), lap_starts.size()) << r.out;
        for (std::size_t k = 0; k < starts.size(); ++k) {
            EXPECT_EQ(starts[k], IsoOfUnix(lap_starts[k])) << k;
            // What ended a lap is known from the lap after it.
            EXPECT_EQ(ended[k], k + 1 < starts.size() ? triggers[k] : "") << k;
        }
        std::string sports = "[";
        for (const std::string& sport : Each(reading, "{\"session\":", "sport")) {
            sports += (sports.size() > 1 ? ", \"" : "\"") + sport + "\"";
        }
        EXPECT_EQ(Field(r.out, "sports"), sports + "]");
        // The laps share the distance out.
        double metres = 0.0;
        for (const std::string& lap : Each(r.out, "{\"start\": ", "distance_m")) {
            metres += std::strtod(lap.c_str(), nullptr);
        }
        EXPECT_NEAR(metres, Number(r.out, "distance_m"), 1e-6);
    }
    const RunResult text = Trackinfo({"-laps", dir / "cases/multisport.fit"});
    EXPECT_NE(text.out.find("\nSport           swimming, transition, cycling, running\nPoints"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\nLap 9           2024-05-04 07:30:32 UTC, 0:00:04, moving 0:00:04"),
              std::string::npos);
    EXPECT_EQ(Trackinfo({dir / "cases/multisport.fit"}).out.find("\nLap 1 "), std::string::npos);
}

// Points without a position: the legs across them are measured from place
// to place, as in the GPX trackconvert writes of the same points (which
// leaves them out), but not across a new segment.
TEST_F(TrackinfoTest, GapsMeasureAsTheGpxWeWrite) {
    WriteFile(dir / "gap.csv",
              "time,latitude,longitude,segment\n"
              "2023-11-14T22:13:20Z,0,0,1\n"
              "2023-11-14T22:13:50Z,,,1\n"
              "2023-11-14T22:14:20Z,0.01,0,1\n"
              "2023-11-14T22:14:50Z,,,1\n"
              "2023-11-14T22:15:00Z,,,1\n"
              "2023-11-14T22:15:20Z,0.02,0.01,1\n"
              "2023-11-14T22:15:50Z,,,2\n"
              "2023-11-14T22:16:20Z,0.03,0.01,2\n"
              "2023-11-14T22:16:50Z,0.03,0.02,2\n");
    ASSERT_EQ(RunTool("trackconvert", {dir / "gap.csv", dir / "gap.gpx"}).exit_status, 0);
    const RunResult csv = Trackinfo({"-json", "gap.csv"});
    const RunResult gpx = Trackinfo({"-json", "gap.gpx"});
    EXPECT_EQ(Field(csv.out, "distance_m"), Field(gpx.out, "distance_m"));
    EXPECT_EQ(Field(csv.out, "moving_time_s"), Field(gpx.out, "moving_time_s"));
    EXPECT_EQ(Field(gpx.out, "segments"), "2");
    EXPECT_NE(csv.out.find("\"unmeasured_legs\": 0"), std::string::npos);
}

// The device's distance: the distance where the records have no position,
// and beside the measured one where they have both, as fit-file-parser
// reads the records' distances.
TEST_F(TrackinfoTest, TheDevicesDistanceBesideTheMeasuredOne) {
    MakeFitCases();
    for (const char* name : {"no-gps", "basic"}) {
        SCOPED_TRACE(name);
        const std::string reading =
            ReadFile(std::string(TRACKTOOLS_SOURCE_DIR) + "/tests/fit/readings/" + name + ".json");
        const std::vector<std::string> distances = Each(reading, "{\"time\":", "distance");
        ASSERT_GT(distances.size(), 2u);
        const double device = std::strtod(distances.back().c_str(), nullptr) -
                              std::strtod(distances.front().c_str(), nullptr);
        const RunResult r = Trackinfo({"-json", std::string("cases/") + name + ".fit"});
        ASSERT_EQ(r.exit_status, 0) << r.err;
        EXPECT_NEAR(Number(r.out, "device_distance_m"), device, 1e-9);
        if (std::string(name) == "no-gps") {
            EXPECT_NEAR(Number(r.out, "distance_m"), device, 1e-9);
            EXPECT_NEAR(Number(r.out, "average_speed_m_s"), device / Number(r.out, "duration_s"),
                        1e-9);
        } else {
            EXPECT_GT(std::fabs(Number(r.out, "distance_m") - device), 1.0);
        }
    }
    Track("a.gpl", {At(0, 0, kT0), At(kOneMile, 0, kT0 + 60)});
    EXPECT_EQ(Field(Trackinfo({"-json", "a.gpl"}).out, "device_distance_m"), "null");
}

// Two miles north along the meridian 0, with a stop of a minute between them.
TEST_F(TrackinfoTest, HandMadeTrackInMilesExactly) {
    Track("a.gpl", {At(0, 0, kT0, 100), At(kOneMile, 0, kT0 + 60, 100),
                    At(kOneMile, 0, kT0 + 120, 100), At(kTwoMiles, 0, kT0 + 240, 200)});
    const RunResult r = Trackinfo({"a.gpl"});
    // Legs: 1 mi in 60 s (60 mph), 0 mi in 60 s (stopped), 1 mi in 120 s
    // (30 mph). Duration 240 s, moving 180 s, stopped 60 s. Average 2 mi /
    // 4 min = 30 mph; moving 2 mi / 3 min = 40 mph. Max speed: the stretches
    // of 10 s or more are the first leg (60 mph) and longer ones that take
    // in the stop (30, 20 mph) or the last leg (30 mph): 60 mph. 100 ft to
    // 200 ft is 30.48 m, above the 5 m dead band: climb 100 ft.
    EXPECT_EQ(r.out,
              "File            a.gpl\n"
              "Points          4\n"
              "Segments        1\n"
              "Start           2023-11-14 22:13:20 UTC\n"
              "End             2023-11-14 22:17:20 UTC\n"
              "Duration        0:04:00\n"
              "Moving time     0:03:00\n"
              "Stopped time    0:01:00\n"
              "Breaks          0:00:00\n"
              "Distance        2.000 mi\n"
              "Average speed   30.0 mph\n"
              "Moving average  40.0 mph\n"
              "Max speed       60.0 mph\n"
              "Elevation       100.0 to 200.0 ft\n"
              "Climb           100.0 ft\n"
              "Descent         0.0 ft\n"
              "Latitude        0.000000 to 0.029109\n"
              "Longitude       0.000000 to 0.000000\n"
              "Finding         1 record is at the place of the one before\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
}

// A burst of 5 s is not a max speed: the stretch must last 10 s or more.
TEST_F(TrackinfoTest, HandMadeTrackInKilometresExactly) {
    Track("b.gpl",
          {At(0, 0, kT0), At(k200m, 0, kT0 + 5), At(k200m, 0, kT0 + 10), At(k300m, 0, kT0 + 20)});
    const RunResult r = Trackinfo({"-metric", "b.gpl"});
    // Legs: 200 m in 5 s (40 m/s), 0 m in 5 s, 100 m in 10 s (10 m/s).
    // Moving 15 s, stopped 5 s; average 300 m / 20 s = 15 m/s = 54 km/h,
    // moving 300 m / 15 s = 72 km/h. Stretches of 10 s or more: 200 m in
    // 10 s (20 m/s = 72 km/h), 300 m in 20 s, 100 m in 15 s, 100 m in 10 s.
    EXPECT_EQ(r.out,
              "File            b.gpl\n"
              "Points          4\n"
              "Segments        1\n"
              "Start           2023-11-14 22:13:20 UTC\n"
              "End             2023-11-14 22:13:40 UTC\n"
              "Duration        0:00:20\n"
              "Moving time     0:00:15\n"
              "Stopped time    0:00:05\n"
              "Breaks          0:00:00\n"
              "Distance        0.300 km\n"
              "Average speed   54.0 km/h\n"
              "Moving average  72.0 km/h\n"
              "Max speed       72.0 km/h\n"
              "Elevation       0.0 to 0.0 m\n"
              "Climb           0.0 m\n"
              "Descent         0.0 m\n"
              "Latitude        0.000000 to 0.002713\n"
              "Longitude       0.000000 to 0.000000\n"
              "Finding         1 record is at the place of the one before\n");
    EXPECT_EQ(r.exit_status, 0);
}

// The sample drive of the demo, made by logpack from the listing. Its
// distance is checked against GeodSolve below; its times are those of the
// listing (09:30:00 to 09:42:30, 376 points).
TEST_F(TrackinfoTest, SampleDrive) {
    ASSERT_TRUE(PackSampleDrive(dir.path(), "drive.gpl"));
    const RunResult r = Trackinfo({"drive.gpl"});
    EXPECT_EQ(r.out,
              "File            drive.gpl\n"
              "Points          376\n"
              "Segments        1\n"
              "Start           2025-06-14 09:30:00 UTC\n"
              "End             2025-06-14 09:42:30 UTC\n"
              "Duration        0:12:30\n"
              "Moving time     0:10:24\n"
              "Stopped time    0:02:06\n"
              "Breaks          0:00:00\n"
              "Distance        5.005 mi\n"
              "Average speed   24.0 mph\n"
              "Moving average  28.9 mph\n"
              "Max speed       45.1 mph\n"
              "Elevation       1766.5 to 2977.7 ft\n"
              "Climb           1206.7 ft\n"
              "Descent         482.8 ft\n"
              "Latitude        46.945535 to 46.952807\n"
              "Longitude       7.447400 to 7.490471\n"
              "Finding         63 records are at the place of the one before\n");
    EXPECT_EQ(r.exit_status, 0);
}

// The same two miles in kilometre splits, with paces and the time of
// Zurich: a mile in 60 s, a minute's stop, a mile in 120 s. The JSON stays
// in UTC.
TEST_F(TrackinfoTest, SplitsPacesAndLocalTime) {
    Track("a.gpl", {At(0, 0, kT0), At(kOneMile, 0, kT0 + 60), At(kOneMile, 0, kT0 + 120),
                    At(kTwoMiles, 0, kT0 + 240)});
    RunOptions options;
    options.cwd = dir.path();
    options.tz = "Europe/Zurich";
    const RunResult r =
        RunTool("trackinfo", {"-metric", "-splits", "-pace", "-local", "a.gpl"}, options);
    EXPECT_NE(r.out.find("Start           2023-11-14 23:13:20 +01:00\n"), std::string::npos)
        << r.out;
    // 2 miles in 240 s: 48.3 km/h, 1:15 a kilometre.
    EXPECT_NE(r.out.find("Average speed   48.3 km/h (1:15 /km)\n"), std::string::npos);
    // 1000 m of the first mile in 37.28 s, then 609 m of it, the stop and
    // 391 m of the second mile; the last part is 219 m in 16.3 s.
    EXPECT_NE(r.out.find("Split 1         1.000 km in 0:00:37, moving 0:00:37 (0:37 /km), climb "
                         "0.0 m, descent 0.0 m\n"
                         "Split 2         1.000 km in 0:01:52, moving 0:00:52 (0:52 /km)"),
              std::string::npos);
    EXPECT_NE(r.out.find("Split 4         0.219 km in 0:00:16, moving 0:00:16 (1:15 /km)"),
              std::string::npos);
    const RunResult json = RunTool("trackinfo", {"-json", "-splits", "-local", "a.gpl"}, options);
    EXPECT_EQ(Field(json.out, "start"), "\"2023-11-14T22:13:20Z\"");
    // Per mile without -metric: two rows, the second with the stop; what
    // the rounding leaves of a third is no row.
    std::vector<double> times;
    for (std::size_t at = json.out.find("\"time_s\": "); at != std::string::npos;
         at = json.out.find("\"time_s\": ", at + 1)) {
        times.push_back(std::strtod(json.out.c_str() + at + 10, nullptr));
    }
    ASSERT_EQ(times.size(), 2u) << json.out;
    EXPECT_NEAR(times[0], 60, 1e-6);
    EXPECT_NEAR(times[1], 180, 1e-6);
}

// Each definition on a track made for it, read back from the JSON report.
struct Definition {
    const char* what;
    std::vector<GPL_Data_Point> points;
    std::vector<std::string> options;
    std::vector<std::pair<const char*, const char*>> fields;  // key, exact JSON text
};

const Definition kDefinitions[] = {
    // 100 m in 10 s is 10 m/s = 22.4 mph: moving at the default 1 mph, not
    // above a stop speed of 30 mph.
    {"stop speed",
     {At(0, 0, kT0), At(k100m, 0, kT0 + 10)},
     {"-stop", "30"},
     {{"moving_time_s", "0"}, {"stopped_time_s", "10"}, {"moving_average_speed_m_s", "null"}}},
    {"stop speed in km/h",
     {At(0, 0, kT0), At(k100m, 0, kT0 + 10)},
     {"-metric", "-stop", "35.99"},
     {{"moving_time_s", "10"}, {"stopped_time_s", "0"}}},
    // Altitudes 0, 3, 1, 4, 0 m: within a dead band of 5 m nothing counts;
    // without one, +3 -2 +3 -4.
    {"dead band",
     {At(0, 0, kT0, 0), At(0, 0, kT0 + 1, 3 / 0.3048), At(0, 0, kT0 + 2, 1 / 0.3048),
      At(0, 0, kT0 + 3, 4 / 0.3048), At(0, 0, kT0 + 4, 0)},
     {},
     {{"climb_m", "0"}, {"descent_m", "0"}, {"lowest_m", "0"}}},
    {"no dead band",
     {At(0, 0, kT0, 0), At(0, 0, kT0 + 1, 3 / 0.3048), At(0, 0, kT0 + 2, 1 / 0.3048),
      At(0, 0, kT0 + 3, 4 / 0.3048), At(0, 0, kT0 + 4, 0)},
     {"-climb", "0"},
     {{"climb_m", "6"}, {"descent_m", "6"}}},
    // A change of exactly the dead band counts: 0 m, then 5 m.
    {"dead band reached",
     {At(0, 0, kT0, 0), At(0, 0, kT0 + 1, 5 / 0.3048)},
     {},
     {{"climb_m", "5"}}},
    // 300 m in 10 s then 300 m in 10 s after the time went back: no stretch
    // spans the backward leg, so 30 m/s, not 600 m in 20 s.
    {"max speed never spans a backward leg",
     {At(0, 0, kT0), At(k300m, 0, kT0 + 10), At(k300m, 0, kT0 + 5), At(0, 0, kT0 + 15)},
     {},
     {{"max_speed_start", "\"2023-11-14T22:13:20Z\""},
      {"max_speed_end", "\"2023-11-14T22:13:30Z\""},
      {"backward_legs", "1"}}},
    // Stretches of 5 s on both sides of a record without a time: none long enough.
    {"max speed never spans a missing time",
     {At(0, 0, kT0), At(k100m, 0, kT0 + 5), At(k200m, 0, 0), At(k300m, 0, kT0 + 15),
      At(k300m, 0, kT0 + 20)},
     {},
     {{"max_speed_m_s", "null"}, {"untimed_records", "1"}, {"duration_s", "20"}}},
    // Three records of one second, then 300 m in 9 s: 300 m / 10 s from the
    // first record of that second.
    {"max speed over records of one time",
     {At(0, 0, kT0), At(0, 0, kT0), At(k100m, 0, kT0), At(k300m, 0, kT0 + 9),
      At(k300m, 0, kT0 + 10)},
     {},
     {{"max_speed_start", "\"2023-11-14T22:13:20Z\""},
      {"max_speed_m_s", "30"},
      {"zero_time_legs", "2"}}},
    // One mile in 5 s is 720 mph: a jump.
    {"jump",
     {At(0, 0, kT0), At(kOneMile, 0, kT0 + 5), At(kOneMile, 0, kT0 + 10)},
     {},
     {{"jumps", "1"}, {"same_place_records", "1"}}},
    // Positions outside the globe and values that are not numbers: the legs
    // to and from them have no length and add nothing.
    {"bad positions",
     {At(0, 0, kT0), At(95, 0, kT0 + 10), At(0, 190, kT0 + 20), At(kNaN, 0, kT0 + 30),
      At(k100m, 0, kT0 + 40, kInf), At(k200m, 0, kT0 + 50)},
     {},
     {{"off_globe_records", "2"},
      {"non_finite_records", "2"},
      {"unmeasured_legs", "4"},
      {"north", "0.001808738954095"},
      {"east", "0"},
      {"highest_m", "0"}}},
};

TEST_F(TrackinfoTest, EveryDefinitionOnATrackMadeForIt) {
    for (const Definition& definition : kDefinitions) {
        SCOPED_TRACE(definition.what);
        Track("d.gpl", definition.points);
        std::vector<std::string> args = definition.options;
        args.insert(args.end(), {"-json", "d.gpl"});
        const RunResult r = Trackinfo(args);
        EXPECT_EQ(r.exit_status, 0);
        for (const auto& [key, value] : definition.fields) {
            const std::string actual = Field(r.out, key);
            if (std::string(value) != "null" && value[0] != '"') {
                // Within rounding of the unit factors: 3 / 0.3048 * 0.3048 is not 3.
                EXPECT_NEAR(std::strtod(actual.c_str(), nullptr), std::strtod(value, nullptr), 1e-9)
                    << key << ": " << actual;
            } else {
                EXPECT_EQ(actual, value) << key;
            }
        }
    }
}

// The bad inputs of the issue: a report for each, no crash, no nan.
TEST_F(TrackinfoTest, EmptyOnePointAndUntimedTracksExactly) {
    Track("empty.gpl", {});
    Track("one.gpl", {At(42.5, -71.25, kT0, 10)});
    Track("untimed.gpl", {At(0, 0, 0), At(kOneMile, 0, 0)});
    const RunResult r = Trackinfo({"empty.gpl", "one.gpl", "untimed.gpl"});
    // One point: a duration of 0, nothing to divide by it.
    const std::string one =
        "File            one.gpl\n"
        "Points          1\n"
        "Segments        1\n"
        "Start           2023-11-14 22:13:20 UTC\n"
        "End             2023-11-14 22:13:20 UTC\n"
        "Duration        0:00:00\n"
        "Moving time     0:00:00\n"
        "Stopped time    0:00:00\n"
        "Breaks          0:00:00\n"
        "Distance        0.000 mi\n"
        "Average speed   -\n"
        "Moving average  -\n"
        "Max speed       -\n"
        "Elevation       10.0 to 10.0 ft\n"
        "Climb           0.0 ft\n"
        "Descent         0.0 ft\n"
        "Latitude        42.500000 to 42.500000\n"
        "Longitude       -71.250000 to -71.250000\n";
    // No time at all: a mile, and nothing about when.
    const std::string untimed =
        "File            untimed.gpl\n"
        "Points          2\n"
        "Segments        1\n"
        "Start           -\n"
        "End             -\n"
        "Duration        -\n"
        "Moving time     -\n"
        "Stopped time    -\n"
        "Breaks          -\n"
        "Distance        1.000 mi\n"
        "Average speed   -\n"
        "Moving average  -\n"
        "Max speed       -\n"
        "Elevation       0.0 to 0.0 ft\n"
        "Climb           0.0 ft\n"
        "Descent         0.0 ft\n"
        "Latitude        0.000000 to 0.014554\n"
        "Longitude       0.000000 to 0.000000\n"
        "Finding         2 records have no time\n";
    // The total: durations add up (0 s), the earliest start and latest end.
    const std::string total =
        "Total           3 files\n"
        "Points          3\n"
        "Segments        2\n"
        "Start           2023-11-14 22:13:20 UTC\n"
        "End             2023-11-14 22:13:20 UTC\n"
        "Duration        0:00:00\n"
        "Moving time     0:00:00\n"
        "Stopped time    0:00:00\n"
        "Breaks          0:00:00\n"
        "Distance        1.000 mi\n"
        "Average speed   -\n"
        "Moving average  -\n"
        "Max speed       -\n"
        "Elevation       0.0 to 10.0 ft\n"
        "Climb           0.0 ft\n"
        "Descent         0.0 ft\n"
        "Latitude        0.000000 to 42.500000\n"
        "Longitude       -71.250000 to 0.000000\n"
        "Finding         2 records have no time\n";
    EXPECT_EQ(r.out, std::string("File            empty.gpl\n") + kNothing + "\n" + one + "\n" +
                         untimed + "\n" + total);
    EXPECT_EQ(r.exit_status, 0);
}

TEST_F(TrackinfoTest, BackwardTimesAndAStandstillExactly) {
    Track("back.gpl", {At(0, 0, kT0 + 120), At(kOneMile, 0, kT0 + 60), At(kTwoMiles, 0, kT0)});
    Track("still.gpl", {At(1, 2, kT0), At(1, 2, kT0 + 10), At(1, 2, kT0 + 20)});
    const RunResult r = Trackinfo({"-metric", "back.gpl"});
    // End - Start is -120 s; no leg moves forward in time.
    EXPECT_EQ(r.out,
              "File            back.gpl\n"
              "Points          3\n"
              "Segments        1\n"
              "Start           2023-11-14 22:15:20 UTC\n"
              "End             2023-11-14 22:13:20 UTC\n"
              "Duration        -0:02:00\n"
              "Moving time     0:00:00\n"
              "Stopped time    -0:02:00\n"
              "Breaks          0:00:00\n"
              "Distance        3.219 km\n"
              "Average speed   -\n"
              "Moving average  -\n"
              "Max speed       -\n"
              "Elevation       0.0 to 0.0 m\n"
              "Climb           0.0 m\n"
              "Descent         0.0 m\n"
              "Latitude        0.000000 to 0.029109\n"
              "Longitude       0.000000 to 0.000000\n"
              "Finding         2 legs go back in time\n");
    // Twenty seconds in one place: stopped throughout, a max speed of 0.
    const RunResult still = Trackinfo({"-metric", "still.gpl"});
    EXPECT_NE(still.out.find("Moving time     0:00:00\nStopped time    0:00:20\n"
                             "Breaks          0:00:00\n"
                             "Distance        0.000 km\nAverage speed   0.0 km/h\n"
                             "Moving average  -\nMax speed       0.0 km/h\n"),
              std::string::npos)
        << still.out;
    EXPECT_NE(still.out.find("Finding         2 records are at the place of the one before\n"),
              std::string::npos);
}

// Records of nothing but NaNs and infinities, and random bytes: a report
// with "-" where nothing can be computed, never "nan" or "inf".
TEST_F(TrackinfoTest, FieldsThatAreNotNumbers) {
    std::vector<GPL_Data_Point> points;
    for (std::uint32_t i = 0; i < 3; ++i) {
        points.push_back(GPL_Data_Point(kNaN, kInf, -kInf, kNaN, kInf, kT0 + i));
    }
    // Huge altitudes whose differences are not finite.
    points.push_back(At(0, 0, kT0 + 3, 1e308));
    points.push_back(At(0, 0, kT0 + 4, -1e308));
    Track("odd.gpl", points);
    std::mt19937 random(17);
    std::string bytes(56 * 300 + 13, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    WriteFile(dir / "random.gpl", bytes);
    for (const char* name : {"odd.gpl", "random.gpl"}) {
        SCOPED_TRACE(name);
        const RunResult r = Trackinfo({name});
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(r.out.find("nan"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("inf"), std::string::npos) << r.out;
    }
    // The legs from and between the three records of NaNs have no length;
    // the descent from 1e308 ft to -1e308 ft is beyond any double.
    const RunResult r = Trackinfo({"odd.gpl"});
    EXPECT_NE(r.out.find("Distance        0.000 mi\n"), std::string::npos);
    EXPECT_NE(r.out.find("Elevation       -1e+308 to 1e+308 ft\nClimb           0.0 ft\n"
                         "Descent         -\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Finding         3 records have a field that is not a finite number\n"
                         "Finding         1 record is at the place of the one before\n"
                         "Finding         3 legs have no length\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(Trackinfo({"random.gpl"})
                  .out.find("Finding         13 bytes of a partial last record were ignored\n"),
              std::string::npos);
}

// A file that cannot be read among good ones: the others are reported, the
// reason goes to standard error, the run fails.
TEST_F(TrackinfoTest, FilesThatCannotBeReadAmongGoodOnes) {
    Track("a.gpl", {At(0, 0, kT0), At(kOneMile, 0, kT0 + 60)});
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    const RunResult alone = Trackinfo({"a.gpl"});
    const RunResult r = Trackinfo({"missing.gpl", "a.gpl", "folder", "/proc/self/mem", "-check"});
    EXPECT_EQ(r.err,
              "trackinfo: missing.gpl: No such file or directory\n"
              "trackinfo: folder: Is a directory\n"
              "trackinfo: /proc/self/mem: Input/output error\n"
              "trackinfo: -check: No such file or directory\n");
    // The file that was read, then the total of that one file.
    ASSERT_EQ(r.out.compare(0, alone.out.size(), alone.out), 0) << r.out;
    EXPECT_EQ(r.out.substr(alone.out.size(), 24), "\nTotal           1 file\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-1));

    // In JSON every file has its object, with the reason where it failed.
    const RunResult json = Trackinfo({"-json", "missing.gpl", "a.gpl"});
    EXPECT_EQ(Field(json.out, "error"), "\"No such file or directory\"");
    EXPECT_EQ(Field(json.out, "error", json.out.find("\"a.gpl\"")), "null");
    EXPECT_EQ(Field(json.out, "files"), "1");
    EXPECT_EQ(json.exit_status, ShellStatus(-1));
}

TEST_F(TrackinfoTest, CheckFailsOnFindingsOnly) {
    Track("clean.gpl", {At(0, 0, kT0), At(kOneMile, 0, kT0 + 60)});
    Track("stop.gpl", {At(0, 0, kT0), At(0, 0, kT0 + 60)});
    WriteFile(dir / "partial.gpl", ReadFile(dir / "clean.gpl") + "xyz");
    EXPECT_EQ(Trackinfo({"-check", "clean.gpl"}).exit_status, 0);
    EXPECT_EQ(Trackinfo({"clean.gpl", "stop.gpl"}).exit_status, 0);
    EXPECT_EQ(Trackinfo({"-check", "clean.gpl", "stop.gpl"}).exit_status, 1);
    EXPECT_EQ(Trackinfo({"-json", "-check", "partial.gpl"}).exit_status, 1);
    // A file that failed outranks the findings.
    EXPECT_EQ(Trackinfo({"-check", "stop.gpl", "missing.gpl"}).exit_status, ShellStatus(-1));
}

TEST_F(TrackinfoTest, UsageErrors) {
    Track("a.gpl", {At(0, 0, kT0)});
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no file named"},
        {{"-json"}, "no file named"},
        {{"-x", "a.gpl"}, "-x: unknown option"},
        {{"-stop"}, "-stop: a value is missing"},
        {{"-stop", "fast", "a.gpl"}, "-stop: not a number of 0 or more: fast"},
        {{"-climb", "-1", "a.gpl"}, "-climb: not a number of 0 or more: -1"},
        {{"-climb", "nan", "a.gpl"}, "-climb: not a number of 0 or more: nan"},
        {{"-stop", "2x", "a.gpl"}, "-stop: not a number of 0 or more: 2x"},
        {{"-html", "", "a.gpl"}, "-html: the page needs a name"},
        {{"-html"}, "-html: a value is missing"},
    };
    const std::string usage = Trackinfo({"--help"}).out;
    EXPECT_EQ(usage.rfind("Usage: trackinfo [", 0), 0u) << usage;
    for (const auto& [args, why] : cases) {
        SCOPED_TRACE(why);
        const RunResult r = Trackinfo(args);
        EXPECT_EQ(r.out, usage);
        EXPECT_EQ(r.err, "trackinfo: " + why + "\n");
        EXPECT_EQ(r.exit_status, ShellStatus(-3));
    }
    // After "--", and after the first file, everything is a file name.
    const RunResult named = Trackinfo({"--", "-json"});
    EXPECT_EQ(named.err, "trackinfo: -json: No such file or directory\n");
    EXPECT_EQ(named.exit_status, ShellStatus(-1));
    EXPECT_EQ(Trackinfo({"--version"}).out, "trackinfo (tracktools) " TRACKTOOLS_VERSION "\n");
}

TEST_F(TrackinfoTest, OutputsThatCannotBeWritten) {
    Track("a.gpl", {At(0, 0, kT0), At(kOneMile, 0, kT0 + 60)});
    RunResult r = Trackinfo({"a.gpl"}, "/dev/full");
    EXPECT_EQ(r.err, "trackinfo: write error\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));

    // A page that cannot be written leaves the page of that name as it was.
    WriteFile(dir / "page.html", "old page");
    ASSERT_EQ(::symlink("/dev/full", (dir / "full.html").c_str()), 0);
    r = Trackinfo({"-html", "full.html", "a.gpl"});
    EXPECT_EQ(r.err, "trackinfo: full.html: No space left on device\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
    EXPECT_NE(r.out.find("Distance        1.000 mi\n"), std::string::npos);
    r = Trackinfo({"-html", "nodir/page.html", "a.gpl"});
    EXPECT_EQ(r.err, "trackinfo: nodir/page.html: No such file or directory\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
    // Neither an input nor standard output becomes the page.
    r = Trackinfo({"-html", "a.gpl", "a.gpl"});
    EXPECT_EQ(r.err, "trackinfo: a.gpl: is the input file\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
    r = Trackinfo({"-html", "page.html", "a.gpl"}, dir / "page.html");
    EXPECT_EQ(r.err, "trackinfo: page.html: is this program's standard output\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
    EXPECT_EQ(ReadFile(dir / "a.gpl").size(), 112u);

    // A run that reads no input leaves the page as it was; with one input
    // read among refused ones, the page is that input's.
    WriteFile(dir / "page.html", "old page");
    WriteFile(dir / "ride_svg.xml", "<svg/>\n");
    for (const std::vector<std::string>& inputs : {std::vector<std::string>{"ride_svg.xml"},
                                                   {"missing.gpl"},
                                                   {"ride_svg.xml", "missing.gpl"}}) {
        std::vector<std::string> args = {"-html", "page.html"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        r = Trackinfo(args);
        EXPECT_EQ(r.exit_status, ShellStatus(-1)) << inputs[0];
        EXPECT_EQ(ReadFile(dir / "page.html"), "old page") << inputs[0];
    }
    r = Trackinfo({"-html", "page.html", "ride_svg.xml", "a.gpl"});
    EXPECT_EQ(r.exit_status, ShellStatus(-1));
    EXPECT_NE(ReadFile(dir / "page.html").find("a.gpl"), std::string::npos);
}

// A text listing given as a track is read as records all the same, with a
// warning on standard error.
TEST_F(TrackinfoTest, WarnsAboutATextFileReadAsRecords) {
    WriteFile(dir / "ride.txt", "1:1, 46.9481, 7.4474, 14-Jun-2025, 09:30:00, 60, 0, 1771\n");
    const RunResult r = Trackinfo({"ride.txt"});
    EXPECT_EQ(r.err,
              "trackinfo: ride.txt looks like a text listing, not a GPL track; convert it with: "
              "logpack ride.txt ride.gpl\n");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_NE(r.out.find("Points          1\n"), std::string::npos);
}

// The distance against GeographicLib: a few hundred random legs of up to
// about 50 km, summed, within 1e-9.
TEST_F(TrackinfoTest, DistanceAgreesWithGeodSolve) {
    if (::access("/usr/bin/GeodSolve", X_OK) != 0) {
        GTEST_SKIP() << "GeodSolve is not installed (Debian geographiclib-tools)";
    }
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> latitude(-80.0, 80.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::uniform_real_distribution<double> step(-0.3, 0.3);
    std::vector<GPL_Data_Point> points;
    std::ostringstream legs;
    legs.precision(17);
    GPL_Data_Point here = At(latitude(random), longitude(random), kT0);
    for (int i = 0; i < 400; ++i) {
        points.push_back(here);
        // Now and then a jump to anywhere, mostly short legs.
        GPL_Data_Point next = i % 50 == 49
                                  ? At(latitude(random), longitude(random), kT0 + i * 100000)
                                  : At(std::clamp(here.Latitude + step(random), -89.0, 89.0),
                                       here.Longitude + step(random), kT0 + i * 100000);
        if (next.Longitude > 180) {
            next.Longitude -= 360;
        }
        if (i < 399) {
            legs << here.Latitude << " " << here.Longitude << " " << next.Latitude << " "
                 << next.Longitude << "\n";
        }
        here = next;
    }
    Track("random.gpl", points);
    RunOptions options;
    options.stdin_text = legs.str();
    const RunResult geod = testing_support::Run("/usr/bin/GeodSolve", {"-i", "-p", "9"}, options);
    ASSERT_EQ(geod.exit_status, 0) << geod.err;
    std::istringstream lines(geod.out);
    double azimuth1, azimuth2, metres, sum = 0.0;
    int count = 0;
    while (lines >> azimuth1 >> azimuth2 >> metres) {
        sum += metres;
        ++count;
    }
    ASSERT_EQ(count, 399);
    const RunResult r = Trackinfo({"-json", "random.gpl"});
    const double distance = Number(r.out, "distance_m");
    EXPECT_NEAR(distance / sum, 1.0, 1e-9) << distance << " against " << sum;
}

// The other formats the suite reads, through the same reader interface: a
// mile due north in a minute.
struct OtherFormat {
    const char* name;
    std::string text;
    const char* format;
    bool climbs;  // 100 m to 130 m
};

void PrintTo(const OtherFormat& format, std::ostream* out) {
    *out << format.name;
}

class TrackinfoFormatTest : public TrackinfoTest,
                            public ::testing::WithParamInterface<OtherFormat> {};

TEST_P(TrackinfoFormatTest, GivesTheSameFigures) {
    const OtherFormat& format = GetParam();
    WriteFile(dir / format.name, format.text);
    const RunResult r = Trackinfo({"-json", format.name});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "format"), format.format);
    EXPECT_EQ(Field(r.out, "points"), "2");
    EXPECT_EQ(Field(r.out, "duration_s"), "60");
    EXPECT_NEAR(Number(r.out, "distance_m"), 1609.344, 1e-3);
    if (format.climbs) {
        EXPECT_NEAR(Number(r.out, "climb_m"), 30.0, 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readers, TrackinfoFormatTest,
    ::testing::Values(
        OtherFormat{"mile.gpx",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<gpx version=\"1.1\" creator=\"test\" "
                    "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n"
                    "<trkpt lat=\"0\" lon=\"0\"><ele>100</ele>"
                    "<time>2023-11-14T22:13:20Z</time></trkpt>\n"
                    "<trkpt lat=\"0.014554415913598\" lon=\"0\"><ele>130</ele>"
                    "<time>2023-11-14T22:14:20Z</time></trkpt>\n"
                    "</trkseg></trk>\n</gpx>\n",
                    "\"gpx\"", true},
        // 0.014554415913598 degrees are 0.87326495478 minutes.
        OtherFormat{
            "mile.nmea",
            NmeaSentence("GPRMC,221320,A,0000.00000000,N,00000.0000,E,0.0,0.0,141123,,") +
                NmeaSentence("GPRMC,221420,A,0000.87326495,N,00000.0000,E,52.1,0.0,141123,,"),
            "\"nmea\"", false},
        // 100 m and 130 m are these feet of 0.3048 m.
        OtherFormat{"mile.csv",
                    "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag\n"
                    "1,2023-11-14T22:13:20Z,0,0,328.0839895013123,0,0,1\n"
                    "2,2023-11-14T22:14:20Z,0.014554415913598,0,426.509186351706,0,0,2\n",
                    "\"csv\"", true}),
    [](const ::testing::TestParamInfo<OtherFormat>& info) {
        return std::string(info.param.name).substr(5);
    });

}  // namespace
