// The TCX reader beside Python's xml.etree reading of the sample recordings
// and on small documents of every shape; the TCX that trackconvert writes,
// checked by xmllint against the schema, by xml.etree for the structure that
// training sites read, by our reader for its points, and its distances by
// GeographicLib's GeodSolve.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "fitsupport.h"
#include "run.h"

namespace {

using namespace fit_support;
using namespace testing_support;

constexpr char kXmllint[] = "/usr/bin/xmllint";
constexpr char kGeodSolve[] = "/usr/bin/GeodSolve";

std::vector<std::vector<std::string>> Words(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        lines.emplace_back();
        for (std::string word; words >> word;) {
            lines.back().push_back(word);
        }
    }
    return lines;
}

// The track points of a TCX file as xml.etree finds them, a line each: the
// number of its Track, then Time (Unix seconds), latitude, longitude,
// altitude, distance, heart rate, cadence (or RunCadence), speed, watts,
// each as written ("-" where absent).
constexpr char kEtreePoints[] = R"(
import sys, datetime, xml.etree.ElementTree as ET
T = '{http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2}'
X = '{http://www.garmin.com/xmlschemas/ActivityExtension/v2}'
root = ET.parse(sys.argv[1]).getroot()
tracks = (root.findall(f'{T}Activities/{T}Activity/{T}Lap/{T}Track') +
          root.findall(f'{T}Courses/{T}Course/{T}Track'))
for n, track in enumerate(tracks):
    for p in track.findall(f'{T}Trackpoint'):
        def text(path):
            e = p.find(path)
            return e.text.strip() if e is not None and e.text and e.text.strip() else '-'
        time = text(f'{T}Time')
        if time != '-':
            time = str(int(datetime.datetime.fromisoformat(time).timestamp() // 1))
        cadence = text(f'{T}Cadence')
        if cadence == '-':
            cadence = text(f'{T}Extensions/{X}TPX/{X}RunCadence')
        tpx = f'{T}Extensions/{X}TPX/{X}'
        print(n, time, text(f'{T}Position/{T}LatitudeDegrees'),
              text(f'{T}Position/{T}LongitudeDegrees'), text(f'{T}AltitudeMeters'),
              text(f'{T}DistanceMeters'), text(f'{T}HeartRateBpm/{T}Value'), cadence,
              text(tpx + 'Speed'), text(tpx + 'Watts'))
)";

// Our reader's points of `path` are those xml.etree finds, with segments
// and laps beginning at the points given.
void ExpectAsEtreeReads(const std::string& path, const Read& read,
                        const std::vector<std::size_t>& segments,
                        const std::vector<std::size_t>& laps) {
    SCOPED_TRACE(path);
    const RunResult etree = Run(kPython, {"-c", kEtreePoints, path});
    ASSERT_EQ(etree.exit_status, 0) << etree.err;
    const auto lines = Words(etree.out);
    ASSERT_FALSE(read.failed) << read.error.reason;
    ASSERT_EQ(read.points.size(), lines.size());
    const track::Field kValues[] = {track::kElevation, track::kDistance, track::kHeartRate,
                                    track::kCadence,   track::kSpeed,    track::kPower};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        const std::vector<std::string>& line = lines[i];
        const track::Point& point = read.points[i];
        ASSERT_EQ(line.size(), 10u);
        const auto among = [i](const std::vector<std::size_t>& starts) {
            return std::find(starts.begin(), starts.end(), i) != starts.end();
        };
        EXPECT_EQ(point.begins_segment, among(segments));
        EXPECT_EQ(point.begins_lap, among(laps));
        // Times beyond 1900 to 2200, and positions off the globe, are none.
        ASSERT_EQ(point.Has(track::kTime), line[1] != "-" && track::KeepsTime(std::stoll(line[1])));
        if (point.Has(track::kTime)) {
            EXPECT_EQ(point.time.Seconds(), std::stoll(line[1]));
        }
        ASSERT_EQ(point.Has(track::kPosition),
                  line[2] != "-" && line[3] != "-" &&
                      std::fabs(std::strtod(line[2].c_str(), nullptr)) <= 90 &&
                      std::fabs(std::strtod(line[3].c_str(), nullptr)) <= 180);
        if (point.Has(track::kPosition)) {
            EXPECT_EQ(point.latitude, std::strtod(line[2].c_str(), nullptr));
            EXPECT_EQ(point.longitude, std::strtod(line[3].c_str(), nullptr));
        }
        for (std::size_t v = 0; v < 6; ++v) {
            const std::string& text = line[4 + v];
            ASSERT_EQ(point.Has(kValues[v]), text != "-") << v;
            if (text != "-") {
                EXPECT_EQ(point.Get(kValues[v]), std::strtod(text.c_str(), nullptr)) << v;
            }
        }
    }
}

TEST(TcxReader, TheSampleRecordingsReadAsXmlEtreeReadsThem) {
    if (!testing_support::FileExists(SamplesDir() + "/fr410-run.tcx")) {
        GTEST_SKIP() << "the sample recordings are not at " << SamplesDir();
    }
    // Neither recording paused: the Forerunner's laps follow one another
    // on its timer, 4 s between their points.
    ExpectAsEtreeReads(SamplesDir() + "/fr410-run.tcx", ReadPoints(SamplesDir() + "/fr410-run.tcx"),
                       {0}, {0, 129, 257});
    ExpectAsEtreeReads(SamplesDir() + "/edge520-ride.tcx",
                       ReadPoints(SamplesDir() + "/edge520-ride.tcx"), {0}, {0});
}

std::string Tcx(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n"
           "<TrainingCenterDatabase"
           " xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\""
           " xmlns:x=\"http://www.garmin.com/xmlschemas/ActivityExtension/v2\">\n" +
           body + "</TrainingCenterDatabase>\n";
}

std::string Point(const std::string& time, const std::string& rest = "") {
    return "<Trackpoint><Time>" + time + "</Time>" + rest + "</Trackpoint>\n";
}

std::string Position(const std::string& latitude, const std::string& longitude) {
    return "<Position><LatitudeDegrees>" + latitude + "</LatitudeDegrees><LongitudeDegrees>" +
           longitude + "</LongitudeDegrees></Position>";
}

// A document of every shape: laps with one Track and with three (the one
// after a pause begins a segment), a course, track points where no track is, every value,
// white space and empty values, positions and times that are none. Our
// reader finds what xml.etree finds, and counts what it left out.
TEST(TcxReader, ADocumentOfEveryShape) {
    const std::string t0 = "2020-01-01T00:00:00Z";
    const std::string t1 = "2020-01-01T00:00:01.75Z";
    const std::string t2 = "2020-01-01T01:00:02+01:00";
    TempDir dir;
    WriteFile(dir / "doc.tcx",
              Tcx("<Activities><Activity Sport=\"Running\"><Id>" + t0 + "</Id>" + "<Lap><Track>" +
                  Point(t0) + Point(t1) + "</Track><Track>" +
                  Point(t2, Position(" 46.5\n", "-7.25") +
                                "<AltitudeMeters></AltitudeMeters><DistanceMeters>12.5"
                                "</DistanceMeters><HeartRateBpm><Value>140</Value></HeartRateBpm>"
                                "<Extensions><x:TPX><x:Speed>3.5</x:Speed><x:RunCadence>88"
                                "</x:RunCadence><x:Watts>250</x:Watts></x:TPX></Extensions>") +
                  "</Track><Track>" + Point("2020-01-01T00:10:00Z") + "</Track>" + Point(t0) +
                  "</Lap><Lap><Track>" + Point(t1, "<Cadence>90</Cadence><Value>7</Value>") +
                  Point(t2, "<Position><LatitudeDegrees>46</LatitudeDegrees></Position>") +
                  Point(t0, Position("95", "7") + "<Extensions>" + Point(t1) + "</Extensions>") +
                  Point("2300-01-01T00:00:00Z", Position("1", "2")) +
                  "</Track></Lap></Activity></Activities>"
                  "<Workouts><Track>" +
                  Point(t2) + "</Track></Workouts><Courses><Course><Name>c</Name><Track>" +
                  Point(t0, Position("-46.5", "180") + "<AltitudeMeters>500</AltitudeMeters>") +
                  "</Track></Course></Courses>"));
    const Read read = ReadPoints(dir / "doc.tcx");
    ExpectAsEtreeReads(dir / "doc.tcx", read, {0, 3, 8}, {0, 4});
    ASSERT_EQ(read.tallies.size(), 2u);
    EXPECT_EQ(read.tallies[0].count, 2u);  // without a valid position
    EXPECT_EQ(read.tallies[1].count, 1u);  // a time out of range
    EXPECT_EQ(read.sport, formats::Sport::kRunning);

    WriteFile(dir / "bad.tcx",
              Tcx("<Activities><Activity Sport=\"Running\"><Lap><Track>\n" +
                  Point(t0, "\n <AltitudeMeters>high</AltitudeMeters>") + "</Track>"));
    const Read bad = ReadPoints(dir / "bad.tcx");
    EXPECT_TRUE(bad.failed);
    EXPECT_EQ(formats::Where("bad.tcx", bad.error.where) + ": " + bad.error.reason,
              "bad.tcx:5:2: AltitudeMeters is not a number: \"high\"");
    WriteFile(dir / "gpx.tcx", "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"/>");
    EXPECT_EQ(ReadPoints(dir / "gpx.tcx").error.reason,
              "not a TCX file: the root element is gpx, not TrainingCenterDatabase");
}

class TcxWriter : public ::testing::Test {
  protected:
    // Runs trackconvert in the temporary directory; it must succeed. Its
    // messages.
    std::string Convert(const std::vector<std::string>& args) {
        RunOptions options;
        options.cwd = dir.path();
        const RunResult result = RunTool("trackconvert", args, options);
        EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
        return result.out;
    }

    TempDir dir;
};

// What a training site reads, found by xml.etree: the Activities (in a
// MultiSportSession when there are several) with their Sport and an Id
// that is their first lap's start, each Lap's totals before its Tracks, in
// the order the schema gives, and a Time in every Trackpoint. Prints the
// first sport, the Activities, Laps, Tracks and Trackpoints.
constexpr char kEtreeStructure[] = R"(
import sys, xml.etree.ElementTree as ET
T = '{http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2}'
root = ET.parse(sys.argv[1]).getroot()
activities = (root.findall(f'{T}Activities/{T}Activity') +
              root.findall(f'{T}Activities/{T}MultiSportSession/*/{T}Activity'))
if not activities:
    print('none'); sys.exit()
assert len(activities) == 1 or not root.findall(f'{T}Activities/{T}Activity')
laps = tracks = points = 0
for activity in activities:
    assert activity.find(f'{T}Id').text == activity.find(f'{T}Lap').get('StartTime')
    for lap in activity.findall(f'{T}Lap'):
        names = [child.tag[len(T):] for child in lap]
        count = names.count('Track')
        optional = {'MaximumSpeed', 'AverageHeartRateBpm', 'MaximumHeartRateBpm'}
        assert [n for n in names if n not in optional] == [
            'TotalTimeSeconds', 'DistanceMeters', 'Calories', 'Intensity',
            'TriggerMethod'] + ['Track'] * count, names
        laps += 1
        tracks += count
        found = lap.findall(f'{T}Track/{T}Trackpoint')
        assert all(p.find(f'{T}Time') is not None for p in found)
        points += len(found)
print(activities[0].get('Sport'), len(activities), laps, tracks, points)
)";

// The TCX of FIT, TCX and GPX inputs holds the schema (xmllint); xml.etree
// finds what training sites read, with the sport the input names (else
// Other, or -sport's); our reader gives back every point that has a time.
TEST_F(TcxWriter, ValidReadByTrainingSitesAndReadBack) {
    REQUIRE_FIT_CASES();
    const std::string schema = SamplesDir() + "/tcx2.xsd";
    const bool validate = FileExists(schema);
    ASSERT_TRUE(!validate || FileExists(kXmllint))
        << "xmllint is not installed (Debian package libxml2-utils)";
    WriteFile(dir / "untimed.gpx",
              "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>"
              "<trkpt lat=\"1\" lon=\"2\"/></trkseg></trk></gpx>");
    std::vector<std::string> inputs = {dir / "untimed.gpx"};
    for (const char* name :
         {"basic", "pauses", "no-gps", "chained", "big-endian", "device-pauses", "multisport"}) {
        inputs.push_back(CasesDir() + "/" + name + ".fit");
    }
    for (const char* name : {"edge520-ride.tcx", "fr410-run.tcx", "elemnt-bolt.fit"}) {
        if (FileExists(SamplesDir() + "/" + name)) {
            inputs.push_back(SamplesDir() + "/" + name);
        }
    }
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const std::string messages = Convert({input, "out.tcx"});
        if (validate) {
            const RunResult valid =
                testing_support::Run(kXmllint, {"--noout", "--schema", schema, dir / "out.tcx"});
            EXPECT_EQ(valid.exit_status, 0) << valid.err;
        }
        const Read in = ReadPoints(input);
        std::vector<track::Point> timed;
        std::size_t segments = 0, temperatures = 0, laps = 0, sessions = 0;
        bool pending = false;
        for (const track::Point& point : in.points) {
            pending = pending || point.begins_segment || point.begins_lap;
            if (point.Has(track::kTime)) {
                segments += pending ? 1 : 0;
                laps += point.begins_lap || timed.empty() ? 1 : 0;
                sessions += point.begins_session || timed.empty() ? 1 : 0;
                temperatures += point.Has(track::kTemperature) ? 1 : 0;
                pending = false;
                timed.push_back(point);
            }
        }
        // TCX has no place for a temperature: each one written is counted.
        const std::string lost = "\n" + std::to_string(temperatures) + " temperature";
        EXPECT_EQ(messages.find(temperatures ? lost : "temperature") != std::string::npos,
                  temperatures > 0)
            << messages;
        const RunResult etree =
            testing_support::Run(kPython, {"-c", kEtreeStructure, dir / "out.tcx"});
        ASSERT_EQ(etree.exit_status, 0) << etree.err;
        const char* sport = in.sport == formats::Sport::kRunning  ? "Running"
                            : in.sport == formats::Sport::kBiking ? "Biking"
                                                                  : "Other";
        EXPECT_EQ(etree.out, timed.empty()
                                 ? "none\n"
                                 : std::string(sport) + " " + std::to_string(sessions) + " " +
                                       std::to_string(laps) + " " + std::to_string(segments) + " " +
                                       std::to_string(timed.size()) + "\n");

        // Whole numbers where the schema wants them, and the shortest
        // numbers that read back the same: every value as it was.
        const Read out = ReadPoints(dir / "out.tcx");
        ASSERT_EQ(out.points.size(), timed.size());
        const std::uint16_t kept = track::kTime | track::kPosition | track::kElevation |
                                   track::kHeartRate | track::kCadence | track::kSpeed |
                                   track::kPower;
        for (std::size_t i = 0; i < timed.size(); ++i) {
            const track::Point& was = timed[i];
            const track::Point& is = out.points[i];
            SCOPED_TRACE("point " + std::to_string(i));
            // A break of no more than the recording's step reads back joined.
            EXPECT_TRUE(!is.begins_segment || was.begins_segment || i == 0);
            EXPECT_EQ(is.begins_lap, was.begins_lap || i == 0);
            EXPECT_EQ(is.begins_session, was.begins_session || i == 0);
            ASSERT_EQ(is.fields & kept, was.fields & kept);
            EXPECT_EQ(is.time, was.time);
            EXPECT_EQ(is.latitude, was.latitude);
            EXPECT_EQ(is.longitude, was.longitude);
            for (const track::Field field : {track::kElevation, track::kHeartRate, track::kCadence,
                                             track::kSpeed, track::kPower}) {
                EXPECT_EQ(is.Get(field), was.Get(field)) << field;
            }
            if (was.Has(track::kDistance)) {
                EXPECT_EQ(is.distance, was.distance);
            }
        }
    }
    Convert({"-sport", "biking", CasesDir() + "/basic.fit", "out.tcx"});
    EXPECT_NE(ReadFile(dir / "out.tcx").find("<Activity Sport=\"Biking\">"), std::string::npos);
    if (!validate) {
        GTEST_SKIP() << "not checked against the schema, which is not at " << schema;
    }
}

// Without a distance of the device, each point's distance is the geodesic
// length up to it, counted within segments: GeodSolve's lengths of the legs.
// The lap's time is the time within segments.
TEST_F(TcxWriter, DistancesAreGeodesicWithinSegments) {
    if (!FileExists(kGeodSolve)) {
        GTEST_SKIP() << "GeodSolve is not installed (Debian package geographiclib-tools)";
    }
    const std::string drive = SourcePath("examples/drive.gpx");
    Convert({drive, "drive.tcx"});
    const Read in = ReadPoints(drive);
    std::string legs;
    double seconds = 0;
    for (std::size_t i = 1; i < in.points.size(); ++i) {
        const track::Point& a = in.points[i - 1];
        const track::Point& b = in.points[i];
        if (!b.begins_segment) {
            char line[128];
            std::snprintf(line, sizeof line, "%.17g %.17g %.17g %.17g\n", a.latitude, a.longitude,
                          b.latitude, b.longitude);
            legs += line;
            seconds += b.time.SecondsSince(a.time);
        }
    }
    RunOptions options;
    options.stdin_text = legs;
    const RunResult geodesics = testing_support::Run(kGeodSolve, {"-i", "-p", "9"}, options);
    ASSERT_EQ(geodesics.exit_status, 0) << geodesics.err;
    const auto lengths = Words(geodesics.out);
    const Read out = ReadPoints(dir / "drive.tcx");
    ASSERT_EQ(out.points.size(), in.points.size());
    double length = 0;
    for (std::size_t i = 0, leg = 0; i < out.points.size(); ++i) {
        if (i > 0 && !in.points[i].begins_segment) {
            ASSERT_LT(leg, lengths.size());
            length += std::stod(lengths[leg++].at(2));
        }
        EXPECT_NEAR(out.points[i].distance, length, 1e-3) << i;
    }
    const std::string tcx = ReadFile(dir / "drive.tcx");
    const std::size_t total = tcx.find("<TotalTimeSeconds>");
    ASSERT_NE(total, std::string::npos);
    EXPECT_NEAR(std::strtod(tcx.c_str() + total + 18, nullptr), seconds, 1e-6);
}

// What TCX cannot hold is counted: points without a time, readings out of
// the schema's range.
TEST_F(TcxWriter, WhatTcxCannotHoldIsCounted) {
    WriteFile(dir / "odd.tcx",
              Tcx("<Activities><Activity Sport=\"Running\"><Lap><Track>" +
                  Point("2020-01-01T00:00:00Z",
                        "<HeartRateBpm><Value>0</Value></HeartRateBpm><Cadence>300</Cadence>") +
                  "<Trackpoint/>" + "</Track></Lap></Activity></Activities>"));
    const std::string odd = Convert({"odd.tcx", "odd-out.tcx"});
    EXPECT_NE(odd.find("Wrote 1 data points.\n1 point without a time was skipped.\n"
                       "2 heart rate, cadence or power readings TCX cannot hold were not kept.\n"),
              std::string::npos)
        << odd;

    // Waypoints, and routes of which only the second has a point with a
    // time: that one alone is written as a track.
    const std::string untimed = "<rtept lat=\"46.9\" lon=\"7.4\"/>";
    WriteFile(dir / "plan.gpx",
              "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
              "<wpt lat=\"46.9\" lon=\"7.4\"/><wpt lat=\"47\" lon=\"7.4\"/><rte>" +
                  untimed + untimed + "</rte><rte>" + untimed +
                  "<rtept lat=\"46.91\" lon=\"7.4\"><time>2020-01-01T00:00:00Z</time></rtept>"
                  "</rte><rte>" +
                  untimed + "</rte></gpx>");
    const std::string plan = Convert({"plan.gpx", "plan.tcx"});
    EXPECT_NE(plan.find("Wrote 1 data points.\n4 points without a time were skipped.\n"
                        "2 waypoints were not kept.\n1 route was written as a track.\n"),
              std::string::npos)
        << plan;
}

}  // namespace
