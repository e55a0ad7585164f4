// trackconvert run as a user runs it: its messages, a small output of every
// format byte for byte, the round trips, and what independent readers (GDAL's
// ogrinfo, Python's gpxpy and json) make of what it writes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

const char kUsage[] =
    "Usage: trackconvert [-f <format>] [-t <format>] [-salvage] [-clamp] [-extrude] [-sport <s>]\n"
    "                    <input> <output>\n"
    "\n"
    "where:\t<input>      is the track file to read\n"
    "\t<output>     is the file to write\n"
    "\t-f <format>  is the input's format: gpl, gpx, tcx, kml, geojson, fit, nmea, igc or csv\n"
    "\t             (default: from its extension, else from its content)\n"
    "\t-t <format>  is the output's format: gpl, gpx, tcx, kml, geojson or csv\n"
    "\t             (default: from its extension)\n"
    "\t-salvage     keeps the points of a FIT or XML file that breaks part way\n"
    "\t-clamp       draws a KML track on the ground\n"
    "\t-extrude     draws a KML track with a wall down to the ground\n"
    "\t-sport <s>   is the sport of a TCX activity: running, biking or other\n"
    "\t             (default: the one a FIT or TCX input names, else other)\n"
    "\n"
    "Example:\ttrackconvert ride.gpx ride.gpl\n"
    "\t This reads the GPX file ride.gpx and writes its track as ride.gpl.\n";

constexpr char kPython[] = "/usr/bin/python3";
constexpr char kOgrinfo[] = "/usr/bin/ogrinfo";

std::string Messages(const std::string& in, const std::string& out, const std::string& marks,
                     int written, const std::string& tallies = "") {
    return "Opening " + in + "\nOpening " + out + "\nWorking..." + marks + "done.\nWrote " +
           std::to_string(written) + " data points.\n" + tallies;
}

// Two points of a drive; the second without a time.
std::vector<GPL_Data_Point> TwoPoints() {
    GPL_Data_Point first(46.9481, 7.4474, 1771, 60, 0, 1749893400, 1);
    GPL_Data_Point second(46.949, 7.4496, 1775.5, 62.5, 12.4, 0, 2);
    first.Reserved1 = second.Reserved1 = 7;
    first.Reserved2 = second.Reserved2 = 9;
    return {first, second};
}

// Points all over the globe with every field set, reserved words included;
// every 50th has no time.
std::vector<GPL_Data_Point> World(int count) {
    std::vector<GPL_Data_Point> points;
    for (int i = 0; i < count; ++i) {
        GPL_Data_Point point = FullPoint(-89.9 + i * 179.8 / count, -179.95 + i * 359.9 / count,
                                         i * 0.37, i % 50 == 0 ? 0 : 1556685071u + 7u * i);
        point.Altitude = -1200.5 + i * 97.125 + 1.0 / 3;
        point.Heading = (i * 37) % 360 + 0.25;
        points.push_back(point);
    }
    return points;
}

class TrackconvertTest : public ::testing::Test {
  protected:
    RunResult Convert(const std::vector<std::string>& args) {
        RunOptions options;
        options.cwd = dir.path();
        return RunTool("trackconvert", args, options);
    }
    // Runs a converter that must succeed, quietly.
    void Converted(const std::vector<std::string>& args) {
        const RunResult result = Convert(args);
        ASSERT_EQ(result.exit_status, 0) << result.out << result.err;
    }
    // Output of another program run in the temporary directory.
    RunResult Tool(const std::string& program, const std::vector<std::string>& args) {
        RunOptions options;
        options.cwd = dir.path();
        return testing_support::Run(program, args, options);
    }

    TempDir dir;
};

TEST_F(TrackconvertTest, UsageHelpAndVersion) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"in.gpl"}, {"a.gpl", "b.gpx", "c.gpx"}}) {
        const RunResult result = Convert(args);
        EXPECT_EQ(result.out, kUsage);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exit_status, ShellStatus(-3));
    }
    EXPECT_EQ(Convert({"--help"}).out, kUsage);
    const RunResult version = Convert({"--version"});
    EXPECT_EQ(version.out, "trackconvert (tracktools) " TRACKTOOLS_VERSION "\n");
    EXPECT_EQ(version.exit_status, 0);
}

TEST_F(TrackconvertTest, ArgumentsThatAreRefusedSaySo) {
    WriteFile(dir / "in.gpl", Records(TwoPoints()));
    const struct {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"in.gpl", "out"}, "out: cannot tell the format from the name; give it with -t"},
        {{"in.gpl", "out.nmea"},
         "out.nmea: cannot write NMEA logs; -t takes gpl, gpx, tcx, kml, "
         "geojson or csv"},
        {{"-t", "nmea", "in.gpl", "out"},
         "cannot write NMEA logs; -t takes gpl, gpx, tcx, kml, geojson or csv"},
        {{"-f", "gpz", "in.gpl", "out.gpx"},
         "unknown format \"gpz\" after -f: gpl, gpx, tcx, kml, geojson, fit, nmea, igc or csv"},
        {{"in.gpl", "out.gpx", "-t"}, "-t needs a format: gpl, gpx, tcx, kml, geojson or csv"},
        {{"-clamp", "in.gpl", "out.gpx"}, "-clamp and -extrude are for KML output"},
        {{"-clamp", "-extrude", "in.gpl", "out.kml"},
         "-clamp and -extrude do not go together: a wall needs the line's altitudes"},
        {{"-sport", "running", "in.gpl", "out.gpx"}, "-sport is for TCX output"},
        {{"-sport", "rowing", "in.gpl", "out.tcx"},
         "unknown sport \"rowing\" after -sport: running, biking or other"},
    };
    for (const auto& c : cases) {
        const RunResult result = Convert(c.args);
        EXPECT_EQ(result.out, kUsage);
        EXPECT_EQ(result.err, std::string("trackconvert: ") + c.reason + "\n");
        EXPECT_EQ(result.exit_status, ShellStatus(-3));
    }
    for (const char* name : {"out", "out.nmea", "out.gpx", "out.kml"}) {
        EXPECT_FALSE(FileExists(dir / name)) << name;
    }
}

TEST_F(TrackconvertTest, ASmallTrackInEveryFormat) {
    WriteFile(dir / "two.gpl", Records(TwoPoints()));
    const std::string kml_start =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
        "<Document>\n"
        "  <name>two</name>\n"
        "  <Style id=\"track\">\n"
        "    <LineStyle><color>ff0000ff</color><width>3</width></LineStyle>\n"
        "    <PolyStyle><color>7f0000ff</color></PolyStyle>\n"
        "  </Style>\n"
        "  <Placemark>\n"
        "    <name>Start</name>\n"
        "    <TimeStamp><when>2025-06-14T09:30:00Z</when></TimeStamp>\n";
    const struct {
        std::vector<std::string> options;
        const char* output;
        std::string bytes;
    } cases[] = {
        {{},
         "two.gpx",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<gpx version=\"1.1\" creator=\"trackconvert\" "
         "xmlns=\"http://www.topografix.com/GPX/1/1\" "
         "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
         "http://www.topografix.com/GPX/1/1/gpx.xsd "
         "http://www.garmin.com/xmlschemas/TrackPointExtension/v2 "
         "http://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n"
         "  <trk>\n"
         "    <name>two</name>\n"
         "    <trkseg>\n"
         "      <trkpt lat=\"46.9481\" lon=\"7.4474\"><ele>539.8008</ele>"
         "<time>2025-06-14T09:30:00Z</time><extensions><gpxtpx:TrackPointExtension>"
         "<gpxtpx:speed>0</gpxtpx:speed><gpxtpx:course>60</gpxtpx:course>"
         "</gpxtpx:TrackPointExtension></extensions></trkpt>\n"
         "      <trkpt lat=\"46.949\" lon=\"7.4496\"><ele>541.1724</ele><extensions>"
         "<gpxtpx:TrackPointExtension><gpxtpx:speed>5.543296000000001</gpxtpx:speed>"
         "<gpxtpx:course>62.5</gpxtpx:course></gpxtpx:TrackPointExtension></extensions>"
         "</trkpt>\n"
         "    </trkseg>\n"
         "  </trk>\n"
         "</gpx>\n"},
        {{"-extrude"},
         "two.kml",
         kml_start + "    <Point><altitudeMode>absolute</altitudeMode>"
                     "<coordinates>7.4474,46.9481,539.8008</coordinates></Point>\n"
                     "  </Placemark>\n"
                     "  <Placemark>\n"
                     "    <name>two</name>\n"
                     "    <styleUrl>#track</styleUrl>\n"
                     "    <LineString><extrude>1</extrude><altitudeMode>absolute</altitudeMode>"
                     "<coordinates>\n"
                     "7.4474,46.9481,539.8008\n"
                     "7.4496,46.949,541.1724\n"
                     "</coordinates></LineString>\n"
                     "  </Placemark>\n"
                     "  <Placemark>\n"
                     "    <name>End</name>\n"
                     "    <Point><altitudeMode>absolute</altitudeMode>"
                     "<coordinates>7.4496,46.949,541.1724</coordinates></Point>\n"
                     "  </Placemark>\n"
                     "</Document>\n"
                     "</kml>\n"},
        {{"-clamp"},
         "two.kml",
         kml_start + "    <Point><altitudeMode>clampToGround</altitudeMode>"
                     "<coordinates>7.4474,46.9481</coordinates></Point>\n"
                     "  </Placemark>\n"
                     "  <Placemark>\n"
                     "    <name>two</name>\n"
                     "    <styleUrl>#track</styleUrl>\n"
                     "    <LineString><tessellate>1</tessellate><altitudeMode>clampToGround"
                     "</altitudeMode><coordinates>\n"
                     "7.4474,46.9481\n"
                     "7.4496,46.949\n"
                     "</coordinates></LineString>\n"
                     "  </Placemark>\n"
                     "  <Placemark>\n"
                     "    <name>End</name>\n"
                     "    <Point><altitudeMode>clampToGround</altitudeMode>"
                     "<coordinates>7.4496,46.949</coordinates></Point>\n"
                     "  </Placemark>\n"
                     "</Document>\n"
                     "</kml>\n"},
        {{},
         "two.geojson",
         "{\"type\":\"FeatureCollection\",\"features\":[\n"
         "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\",\"coordinates\":[\n"
         "[7.4474,46.9481,539.8008],\n"
         "[7.4496,46.949,541.1724]\n"
         "]},\"properties\":{\"name\":\"two\",\"coordTimes\":[\n"
         "\"2025-06-14T09:30:00Z\",\n"
         "null\n"
         "]}}\n"
         "]}\n"},
        {{},
         "two.csv",
         "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,segment,"
         "heart_rate_bpm,cadence_rpm,power_w,temperature_c,kind,track,track_name,name,description,"
         "comment,symbol,type,link,lap,sport,sub_sport\n"
         "1,2025-06-14T09:30:00Z,46.9481,7.4474,1771,60,0,1,1,,,,,track,0,,,,,,,,,,\n"
         "2,,46.949,7.4496,1775.5,62.5,12.4,2,1,,,,,track,0,,,,,,,,,,\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"two.gpl", c.output});
        const RunResult result = Convert(args);
        EXPECT_EQ(result.out, Messages("two.gpl", c.output, "", 2));
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(ReadFile(dir / c.output), c.bytes) << c.output;
    }
}

TEST_F(TrackconvertTest, MarksTalliesAndNotesOfTheInput) {
    std::vector<GPL_Data_Point> points = World(250);
    points[10].Latitude = std::numeric_limits<double>::quiet_NaN();
    points[11].Longitude = 181;
    WriteFile(dir / "in.gpl", Records(points) + "12345");
    const RunResult result = Convert({"in.gpl", "out.gpx"});
    EXPECT_EQ(result.out,
              Messages("in.gpl", "out.gpx", "..", 248,
                       "2 records without a valid latitude and longitude were skipped.\n"));
    EXPECT_EQ(result.err, "trackconvert: in.gpl: partial record of 5 bytes at the end ignored\n");

    // The GPX reader's tallies come before the writer's; CSV keeps a time
    // that GPL cannot hold, and an absent one.
    WriteFile(dir / "odd.gpx",
              "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"/><trkpt lat=\"91\" lon=\"2\"/>"
              "<trkpt lat=\"1\" lon=\"2\"><time>1900-01-01T00:00:00Z</time></trkpt>"
              "</trkseg></trk></gpx>");
    EXPECT_EQ(Convert({"odd.gpx", "odd.csv"}).out,
              Messages("odd.gpx", "odd.csv", "", 2,
                       "1 point without a valid latitude and longitude was skipped.\n"));
    EXPECT_EQ(Convert({"odd.gpx", "odd.gpl"}).out,
              Messages("odd.gpx", "odd.gpl", "", 2,
                       "1 point without a valid latitude and longitude was skipped.\n"
                       "1 point with a time outside 1970 to 2106 was given Time 0.\n"));
}

// Without an extension that names it, the input's format is what it looks like.
TEST_F(TrackconvertTest, TheInputFormatFromTheContent) {
    WriteFile(dir / "track.gpx",
              "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2019-05-01T04:31:11Z</time>"
              "</trkpt></trkseg></trk></gpx>");
    WriteFile(dir / "gpx", ReadFile(dir / "track.gpx"));
    WriteFile(dir / "nmea.txt",
              "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n");
    WriteFile(dir / "csv.txt", "latitude,longitude\n1,2\n3,4\n5,6\n");
    WriteFile(dir / "records", Records(World(4)));
    const std::pair<const char*, int> cases[] = {
        {"gpx", 1}, {"nmea.txt", 1}, {"csv.txt", 3}, {"records", 4}};
    for (const auto& [name, count] : cases) {
        const RunResult result = Convert({name, "out.csv"});
        EXPECT_EQ(result.out, Messages(name, "out.csv", "", count)) << name;
        EXPECT_EQ(result.exit_status, 0);
    }
    // A name that says GPL wins over the content, which is warned about.
    WriteFile(dir / "ride.gpl", ReadFile(dir / "track.gpx"));
    const RunResult named = Convert({"ride.gpl", "out.csv"});
    EXPECT_EQ(named.out, Messages("ride.gpl", "out.csv", "", 1));
    EXPECT_EQ(named.err,
              "trackconvert: ride.gpl looks like a GPX file, not a GPL track; convert it with: "
              "trackconvert -f gpx ride.gpl ride-converted.gpl\n"
              "trackconvert: ride.gpl: partial record of 47 bytes at the end ignored\n");
    EXPECT_EQ(Convert({"-f", "gpx", "ride.gpl", "out.csv"}).out,
              Messages("ride.gpl", "out.csv", "", 1));
}

// Positions and times bit for bit, heading exactly, altitude and speed
// (converted to metres and back) to 1e-9 of their size.
void ExpectSamePoints(const std::vector<GPL_Data_Point>& actual,
                      const std::vector<GPL_Data_Point>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Record(actual[i]).substr(8, 16) == Record(expected[i]).substr(8, 16));
        EXPECT_EQ(actual[i].Time, expected[i].Time);
        EXPECT_NEAR(actual[i].Altitude, expected[i].Altitude,
                    1e-9 * std::fabs(expected[i].Altitude));
        EXPECT_NEAR(actual[i].Speed, expected[i].Speed, 1e-9 * expected[i].Speed);
        EXPECT_EQ(actual[i].Heading, expected[i].Heading);
    }
}

TEST_F(TrackconvertTest, RoundTripsKeepWhatTheFormatsHold) {
    std::vector<GPL_Data_Point> points = World(300);
    points.push_back(FullPoint(-0.0, 5e-324, 0, 0xFFFFFFFFu));
    WriteFile(dir / "in.gpl", Records(points));

    // GPL to GPX to GPL: positions and times bit for bit, altitudes to 1e-9.
    Converted({"in.gpl", "a.gpx"});
    Converted({"a.gpx", "a.gpl"});
    const std::vector<GPL_Data_Point> back = ParseRecords(ReadFile(dir / "a.gpl"));
    ExpectSamePoints(back, points);
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Tag, i + 1);
        EXPECT_EQ(back[i].Reserved1 | back[i].Reserved2, 0u);
    }
    // GPX to GPL to GPX: the same points (read back through GPL again).
    Converted({"a.gpl", "b.gpx"});
    Converted({"b.gpx", "b.gpl"});
    ExpectSamePoints(ParseRecords(ReadFile(dir / "b.gpl")), back);

    // GPL to CSV to GPL: all but the reserved words bit for bit.
    Converted({"in.gpl", "c.csv"});
    Converted({"c.csv", "c.gpl"});
    const std::vector<GPL_Data_Point> csv = ParseRecords(ReadFile(dir / "c.gpl"));
    ASSERT_EQ(csv.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        GPL_Data_Point expected = points[i];
        expected.Reserved1 = expected.Reserved2 = 0;
        EXPECT_TRUE(Record(csv[i]) == Record(expected)) << "record " << i;
    }
    // GPL to GPL copies the records.
    Converted({"in.gpl", "copy.gpl"});
    EXPECT_TRUE(ReadFile(dir / "copy.gpl") == ReadFile(dir / "in.gpl"));
}

// --- Independent readers ---

bool Installed(const char* path) {
    return ::access(path, X_OK) == 0;
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> numbers;
    std::istringstream in(text);
    for (double value = 0; in >> value;) {
        numbers.push_back(value);
    }
    return numbers;
}

// The coordinates of every geometry in ogrinfo's report of a file, one list
// per geometry ("POINT (x y)", "POINT Z (x y z)", "LINESTRING Z (x y z,...)"),
// and one per line of a "MULTILINESTRING Z ((x y z,...),(...))".
std::vector<std::vector<double>> OgrGeometries(const std::string& report) {
    std::vector<std::vector<double>> geometries;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const bool multi = line.rfind("  MULTILINESTRING", 0) == 0;
        if (line.rfind("  POINT", 0) != 0 && line.rfind("  LINESTRING", 0) != 0 && !multi) {
            continue;
        }
        const std::size_t open = line.find(multi ? "((" : "(") + (multi ? 2 : 1);
        std::string inside = line.substr(open, line.rfind(multi ? "))" : ")") - open);
        for (std::size_t part = 0; part != std::string::npos;) {
            const std::size_t next = inside.find("),(", part);
            std::string numbers =
                inside.substr(part, next == std::string::npos ? next : next - part);
            for (char& c : numbers) {
                c = c == ',' ? ' ' : c;
            }
            geometries.push_back(Numbers(numbers));
            part = next == std::string::npos ? next : next + 3;
        }
    }
    return geometries;
}

// The values of one field of every feature in ogrinfo's report.
std::vector<std::string> OgrField(const std::string& report, const std::string& field) {
    std::vector<std::string> values;
    std::istringstream lines(report);
    const std::string start = "  " + field + " (";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(start, 0) == 0) {
            values.push_back(line.substr(line.find(" = ") + 3));
        }
    }
    return values;
}

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-9 * std::max(1.0, std::fabs(expected[i])))
            << what << " number " << i;
    }
}

class IndependentReaders : public TrackconvertTest {
  protected:
    void SetUp() override {
        points = World(500);
        WriteFile(dir / "world.gpl", Records(points));
    }
    std::string Ogrinfo(const std::string& file, const std::string& layer = "") {
        std::vector<std::string> args = {"-ro", "-q", file};
        if (layer.empty()) {
            args.insert(args.begin(), "-al");
        } else {
            args.push_back(layer);
        }
        const RunResult result = Tool(kOgrinfo, args);
        EXPECT_EQ(result.exit_status, 0) << result.err;
        return result.out;
    }
    static double Meters(double feet) { return feet * 0.3048; }

    std::vector<GPL_Data_Point> points;
};

TEST_F(IndependentReaders, OgrinfoReadsTheGpx) {
    if (!Installed(kOgrinfo)) {
        GTEST_SKIP() << "ogrinfo is not installed (Debian package gdal-bin)";
    }
    Converted({"world.gpl", "world.gpx"});
    const std::string report = Ogrinfo("world.gpx", "track_points");
    const auto geometries = OgrGeometries(report);
    const auto elevations = OgrField(report, "ele");
    const auto times = OgrField(report, "time");
    ASSERT_EQ(geometries.size(), points.size());
    ASSERT_EQ(elevations.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        ExpectNear(geometries[i], {points[i].Longitude, points[i].Latitude}, "point");
        ExpectNear(Numbers(elevations[i]), {Meters(points[i].Altitude)}, "ele");
    }
    // ogrinfo writes times as "2019/05/01 04:31:18+00"; points without one have none.
    EXPECT_EQ(times.size(), points.size() - 10);
    EXPECT_EQ(times[0], "2019/05/01 04:31:18+00");
}

bool HasGpxpy() {
    return ::system((std::string(kPython) + " -c 'import gpxpy' 2>/dev/null").c_str()) == 0;
}

TEST_F(IndependentReaders, GpxpyReadsTheGpx) {
    if (!HasGpxpy()) {
        GTEST_SKIP() << "gpxpy is not installed (Debian package python3-gpxpy)";
    }
    Converted({"world.gpl", "world.gpx"});
    const RunResult result =
        Tool(kPython,
             {"-c",
              "import gpxpy\n"
              "gpx = gpxpy.parse(open('world.gpx'))\n"
              "for track in gpx.tracks:\n"
              "    for segment in track.segments:\n"
              "        for p in segment.points:\n"
              "            t = int(p.time.timestamp()) if p.time else 0\n"
              "            print(repr(p.latitude), repr(p.longitude), repr(p.elevation), t)\n"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    std::istringstream lines(result.out);
    std::size_t i = 0;
    for (std::string line; std::getline(lines, line); ++i) {
        ASSERT_LT(i, points.size());
        double latitude = 0;
        double longitude = 0;
        double elevation = 0;
        unsigned long time = 0;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "%lf %lf %lf %lu", &latitude, &longitude, &elevation, &time),
            4)
            << line;
        EXPECT_EQ(latitude, points[i].Latitude) << line;
        EXPECT_EQ(longitude, points[i].Longitude) << line;
        EXPECT_NEAR(elevation, Meters(points[i].Altitude), 1e-9) << line;
        EXPECT_EQ(time, points[i].Time) << line;
    }
    EXPECT_EQ(i, points.size());
}

TEST_F(IndependentReaders, OgrinfoReadsTheKmlGeoJsonAndCsv) {
    if (!Installed(kOgrinfo)) {
        GTEST_SKIP() << "ogrinfo is not installed (Debian package gdal-bin)";
    }
    std::vector<double> line;
    for (const GPL_Data_Point& point : points) {
        line.insert(line.end(), {point.Longitude, point.Latitude, Meters(point.Altitude)});
    }
    const GPL_Data_Point& first = points.front();
    const GPL_Data_Point& last = points.back();

    Converted({"-extrude", "world.gpl", "world.kml"});
    const std::string kml = Ogrinfo("world.kml");
    const auto placemarks = OgrGeometries(kml);
    ASSERT_EQ(placemarks.size(), 3u);
    ExpectNear(placemarks[0], {first.Longitude, first.Latitude, Meters(first.Altitude)}, "Start");
    ExpectNear(placemarks[1], line, "track");
    ExpectNear(placemarks[2], {last.Longitude, last.Latitude, Meters(last.Altitude)}, "End");
    EXPECT_EQ(OgrField(kml, "Name"), (std::vector<std::string>{"Start", "world", "End"}));
    EXPECT_EQ(OgrField(kml, "extrude")[1], "1");

    Converted({"world.gpl", "world.geojson"});
    const std::string json = Ogrinfo("world.geojson");
    const auto lines = OgrGeometries(json);
    ASSERT_EQ(lines.size(), 1u);
    ExpectNear(lines[0], line, "GeoJSON");
    EXPECT_EQ(OgrField(json, "name"), std::vector<std::string>{"world"});

    Converted({"world.gpl", "world.csv"});
    const std::string csv = Ogrinfo("world.csv");
    const auto latitudes = OgrField(csv, "latitude");
    const auto altitudes = OgrField(csv, "altitude_ft");
    ASSERT_EQ(latitudes.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(std::strtod(latitudes[i].c_str(), nullptr), points[i].Latitude);
        EXPECT_EQ(std::strtod(altitudes[i].c_str(), nullptr), points[i].Altitude);
    }
    EXPECT_EQ(OgrField(csv, "tag").back(), std::to_string(last.Tag));
}

// The shape rules of RFC 7946 that a reader relies on, checked by Python's
// json module: a FeatureCollection of Features, each with a geometry and
// properties; positions [longitude, latitude, altitude] within range; a
// LineString of two positions or more; one time per position.
TEST_F(IndependentReaders, PythonJsonFindsTheShapeOfRfc7946) {
    if (!Installed(kPython)) {
        GTEST_SKIP() << "Python 3 is not installed at " << kPython;
    }
    points.resize(40);
    points[3].Altitude = std::numeric_limits<double>::infinity();  // left out
    WriteFile(dir / "small.gpl", Records(points));
    const char kCheck[] =
        "import json, sys\n"
        "doc = json.load(open(sys.argv[1]), parse_constant=lambda c: sys.exit('bad ' + c))\n"
        "assert doc['type'] == 'FeatureCollection' and isinstance(doc['features'], list)\n"
        "for f in doc['features']:\n"
        "    assert f['type'] == 'Feature' and isinstance(f['properties'], dict)\n"
        "    g = f['geometry']\n"
        "    positions = [g['coordinates']] if g['type'] == 'Point' else g['coordinates']\n"
        "    assert g['type'] == 'Point' or (g['type'] == 'LineString' and len(positions) >= 2)\n"
        "    assert len(f['properties']['coordTimes']) == len(positions)\n"
        "    for (lon, lat, alt), t in zip(positions, f['properties']['coordTimes']):\n"
        "        assert -180 <= lon <= 180 and -90 <= lat <= 90\n"
        "        print(repr(lon), repr(lat), repr(alt), t)\n";
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, points.size()}) {
        WriteFile(dir / "part.gpl", Records({points.begin(), points.begin() + size}));
        Converted({"part.gpl", "part.geojson"});
        const RunResult result = Tool(kPython, {"-c", kCheck, "part.geojson"});
        ASSERT_EQ(result.exit_status, 0) << result.err;
        std::istringstream lines(result.out);
        std::size_t i = 0;
        for (std::string line; std::getline(lines, line); ++i) {
            i += i == 3 ? 1 : 0;  // the point without a finite altitude
            ASSERT_LT(i, size);
            double longitude = 0;
            double latitude = 0;
            double altitude = 0;
            char time[32] = "";
            ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %31s", &longitude, &latitude,
                                  &altitude, time),
                      4);
            EXPECT_EQ(longitude, points[i].Longitude);
            EXPECT_EQ(latitude, points[i].Latitude);
            EXPECT_EQ(altitude, Meters(points[i].Altitude));
            EXPECT_EQ(std::string(time) == "None", points[i].Time == 0) << line;
        }
        EXPECT_EQ(i, size) << "positions";
    }
}

// --- Tracks, segments, absent values and sensor values ---

// Two hikes as a watch records them: the first named and in two segments
// (the watch paused), the second without a name.
struct HikePoint {
    int track;
    int segment;
    double latitude, longitude, elevation;
};
const HikePoint kHikes[] = {
    {0, 0, 46.5, 7.25, 500},       {0, 0, 46.501, 7.251, 505.5}, {0, 0, 46.502, 7.252, 511},
    {0, 1, 46.51, 7.26, 530},      {0, 1, 46.511, 7.261, 531},   {1, 0, 46.6, 7.3, 700},
    {1, 0, 46.601, 7.301, 701.25},
};

std::string HikesGpx() {
    std::ostringstream gpx;
    gpx.precision(17);
    gpx << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"a watch\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    for (std::size_t i = 0; i < std::size(kHikes); ++i) {
        const HikePoint& p = kHikes[i];
        const bool new_track = i == 0 || kHikes[i - 1].track != p.track;
        if (new_track || kHikes[i - 1].segment != p.segment) {
            gpx << (i == 0      ? ""
                    : new_track ? "</trkseg></trk>\n"
                                : "</trkseg>\n")
                << (!new_track     ? ""
                    : p.track == 0 ? "<trk><name>Morning hike</name>"
                                   : "<trk>")
                << "<trkseg>\n";
        }
        gpx << "<trkpt lat=\"" << p.latitude << "\" lon=\"" << p.longitude << "\"><ele>"
            << p.elevation << "</ele></trkpt>\n";
    }
    gpx << "</trkseg></trk>\n</gpx>\n";
    return gpx.str();
}

TEST_F(TrackconvertTest, GpxpyReadsBackTracksSegmentsAndNames) {
    if (!HasGpxpy()) {
        GTEST_SKIP() << "gpxpy is not installed (Debian package python3-gpxpy)";
    }
    WriteFile(dir / "hikes.gpx", HikesGpx());
    Converted({"hikes.gpx", "out.gpx"});
    // CSV keeps segments and tracks.
    Converted({"hikes.gpx", "hikes.csv"});
    Converted({"hikes.csv", "csv.gpx"});
    const char kScript[] =
        "import gpxpy, sys\n"
        "for t in gpxpy.parse(open(sys.argv[1])).tracks:\n"
        "    print(repr(t.name), [len(s.points) for s in t.segments])\n";
    const std::pair<const char*, const char*> cases[] = {
        {"out.gpx", "'Morning hike' [3, 2]\n'hikes' [2]\n"},
        {"csv.gpx", "'Morning hike' [3, 2]\n'hikes' [2]\n"},
    };
    for (const auto& [file, tracks] : cases) {
        const RunResult result = Tool(kPython, {"-c", kScript, file});
        EXPECT_EQ(result.out, tracks) << file << result.err;
    }
}

// What a point holds, and what it does not, survives GPX to GPX to CSV to
// GPX, as gpxpy reads it: times with their fractions (to the microsecond
// that gpxpy keeps), an elevation only where there was one, heart rate and
// cadence of either version of the TrackPointExtension.
TEST_F(TrackconvertTest, WhatAPointHoldsSurvivesGpxGpxCsvGpx) {
    if (!HasGpxpy()) {
        GTEST_SKIP() << "gpxpy is not installed (Debian package python3-gpxpy)";
    }
    const struct {
        const char* inside;  // the trkpt's content
        const char* read;    // gpxpy's time, elevation, hr and cad
    } points[] = {
        {"<ele>500.5</ele><time>2025-06-14T20:15:00.25Z</time><extensions><v2:TrackPointExtension>"
         "<v2:hr>121</v2:hr><v2:cad>80</v2:cad></v2:TrackPointExtension></extensions>",
         "2025-06-14T20:15:00.250000+00:00 500.5 121 80"},
        {"<time>2025-06-14T22:15:01.123+02:00</time>",
         "2025-06-14T20:15:01.123000+00:00 None None None"},
        {"<ele>0</ele><time>2025-06-14T20:15:02.000001Z</time>",
         "2025-06-14T20:15:02.000001+00:00 0.0 None None"},
        {"<extensions><v1:TrackPointExtension><v1:cad>0</v1:cad><v1:hr>99</v1:hr>"
         "</v1:TrackPointExtension></extensions>",
         "None None 99 0"},
        {"<ele>-12.75</ele><time>2025-06-14T20:15:04Z</time>",
         "2025-06-14T20:15:04+00:00 -12.75 None None"},
    };
    std::string gpx =
        "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:v1=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\" "
        "xmlns:v2=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"><trk><trkseg>\n";
    std::string expected;
    for (const auto& point : points) {
        gpx += std::string("<trkpt lat=\"46.5\" lon=\"7.25\">") + point.inside + "</trkpt>\n";
        expected += std::string(point.read) + "\n";
    }
    WriteFile(dir / "in.gpx", gpx + "</trkseg></trk></gpx>\n");
    Converted({"in.gpx", "a.gpx"});
    Converted({"a.gpx", "b.csv"});
    Converted({"b.csv", "c.gpx"});
    const char kScript[] =
        "import gpxpy, sys\n"
        "def value(p, name):\n"
        "    for e in p.extensions:\n"
        "        for c in e.iter():\n"
        "            if c.tag.endswith('}' + name):\n"
        "                return c.text\n"
        "for t in gpxpy.parse(open(sys.argv[1])).tracks:\n"
        "    for s in t.segments:\n"
        "        for p in s.points:\n"
        "            print(p.time.isoformat() if p.time else None, p.elevation,\n"
        "                  value(p, 'hr'), value(p, 'cad'))\n";
    for (const char* file : {"a.gpx", "c.gpx"}) {
        const RunResult result = Tool(kPython, {"-c", kScript, file});
        EXPECT_EQ(result.out, expected) << file << result.err;
    }
}

TEST_F(IndependentReaders, OgrinfoReadsSegmentsAsMultiLines) {
    if (!Installed(kOgrinfo)) {
        GTEST_SKIP() << "ogrinfo is not installed (Debian package gdal-bin)";
    }
    WriteFile(dir / "hikes.gpx", HikesGpx());
    std::vector<std::vector<double>> lines;
    for (std::size_t i = 0; i < std::size(kHikes); ++i) {
        const HikePoint& p = kHikes[i];
        if (i == 0 || kHikes[i - 1].segment != p.segment || kHikes[i - 1].track != p.track) {
            lines.emplace_back();
        }
        lines.back().insert(lines.back().end(), {p.longitude, p.latitude, p.elevation});
    }
    Converted({"hikes.gpx", "hikes.kml"});
    const auto placemarks = OgrGeometries(Ogrinfo("hikes.kml"));
    ASSERT_EQ(placemarks.size(), 2 + lines.size());  // Start, the lines, End
    Converted({"hikes.gpx", "hikes.geojson"});
    const auto geojson = OgrGeometries(Ogrinfo("hikes.geojson"));
    ASSERT_EQ(geojson.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ExpectNear(placemarks[1 + i], lines[i], "KML line " + std::to_string(i));
        ExpectNear(geojson[i], lines[i], "GeoJSON line " + std::to_string(i));
    }
}

// GPX 1.1's own schema, as the samples hold it, finds the GPX valid: of GPL
// records, and of tracks, segments and sensor values.
TEST_F(IndependentReaders, XmllintFindsTheGpxValid) {
    const std::string schema = TRACKTOOLS_SOURCE_DIR "/../shared/samples/gpx11.xsd";
    if (!FileExists(schema)) {
        GTEST_SKIP() << "no GPX schema at " << schema << " (../shared/samples is not there)";
    }
    if (!Installed("/usr/bin/xmllint")) {
        GTEST_SKIP() << "xmllint is not installed (Debian package libxml2-utils)";
    }
    WriteFile(dir / "hikes.gpx", HikesGpx());
    WriteFile(dir / "sensors.gpx",
              "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
              "xmlns:p=\"http://www.garmin.com/xmlschemas/PowerExtension/v1\">"
              "<trk><name>a &lt;b&gt; &amp; \"c\"</name><trkseg>"
              "<trkpt lat=\"1\" lon=\"2\"><time>2025-06-14T20:15:00.5Z</time><extensions>"
              "<x:TrackPointExtension "
              "xmlns:x=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">"
              "<x:atemp>21.5</x:atemp><x:hr>140</x:hr><x:cad>90</x:cad><x:speed>3.5</x:speed>"
              "<x:course>270</x:course></x:TrackPointExtension><p:PowerInWatts>250</p:PowerInWatts>"
              "</extensions></trkpt></trkseg><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk>"
              "<trk><trkseg><trkpt lat=\"3\" lon=\"4\"><extensions><q:power xmlns:q=\"urn:q\">"
              "300</q:power></extensions></trkpt></trkseg></trk></gpx>");
    for (const char* input : {"world.gpl", "hikes.gpx", "sensors.gpx"}) {
        Converted({input, "out.gpx"});
        const RunResult result =
            Tool("/usr/bin/xmllint", {"--noout", "--schema", schema, "out.gpx"});
        EXPECT_EQ(result.exit_status, 0) << input << ": " << result.err;
        if (std::string(input) == "sensors.gpx") {
            const std::string gpx = ReadFile(dir / "out.gpx");
            for (const char* value : {"<gpxtpx:hr>140<", "<gpxtpx:cad>90<", "<gpxtpx:atemp>21.5<",
                                      "PowerExtension/v1\">250<", "PowerExtension/v1\">300<"}) {
                EXPECT_NE(gpx.find(value), std::string::npos) << value;
            }
        }
    }
}

// Waypoints, routes and tracks of a GPX 1.0 (a waypoint after the track,
// as some writers put it) come out in GPX 1.1's order, valid, and gpxpy
// reads the same of them from the input and from the output; through CSV
// too.
TEST_F(IndependentReaders, WaypointsAndRoutesGoThroughGpxAndCsv) {
    const std::string schema = TRACKTOOLS_SOURCE_DIR "/../shared/samples/gpx11.xsd";
    if (!HasGpxpy() || !FileExists(schema) || !Installed("/usr/bin/xmllint")) {
        GTEST_SKIP() << "needs gpxpy, xmllint and the GPX schema in ../shared/samples";
    }
    WriteFile(dir / "phone.gpx",
              "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\">"
              "<wpt lat=\"47.1\" lon=\"8.5\"><ele>500</ele><time>2020-01-01T09:00:00Z</time>"
              "<name>Hut &amp; &lt;co&gt;</name><cmt>open, \"May\"</cmt><desc>water</desc>"
              "<url>http://example.org/hut?a=1&amp;b=2</url><sym>Flag</sym><type>hut</type></wpt>"
              "<rte><name>Plan</name><rtept lat=\"47\" lon=\"8.4\"><name>R1</name></rtept>"
              "<rtept lat=\"47.05\" lon=\"8.45\"><ele>420</ele></rtept></rte>"
              "<trk><name>Walk</name><trkseg><trkpt lat=\"47\" lon=\"8.4\"><name>p1</name>"
              "<desc>speed 3</desc></trkpt><trkpt lat=\"47.01\" lon=\"8.41\"/></trkseg></trk>"
              "<wpt lat=\"47.2\" lon=\"8.6\"><name>Spring</name></wpt></gpx>");
    Converted({"phone.gpx", "out.gpx"});
    Converted({"phone.gpx", "phone.csv"});
    Converted({"phone.csv", "csv.gpx"});
    EXPECT_EQ(ReadFile(dir / "csv.gpx"), ReadFile(dir / "out.gpx"));
    const RunResult valid = Tool("/usr/bin/xmllint", {"--noout", "--schema", schema, "out.gpx"});
    EXPECT_EQ(valid.exit_status, 0) << valid.err;
    const char kDump[] =
        "import gpxpy, sys\n"
        "g = gpxpy.parse(open(sys.argv[1]))\n"
        "def p(x): return (x.latitude, x.longitude, x.elevation, x.time, x.name, x.comment,\n"
        "                  x.description, x.symbol, x.type, getattr(x, 'link', None) or\n"
        "                  getattr(x, 'url', None))\n"
        "print(sorted([p(w) for w in g.waypoints], key=str))\n"
        "print([(r.name, [p(x) for x in r.points]) for r in g.routes])\n"
        "print([(t.name, [[p(x) for x in s.points] for s in t.segments]) for t in g.tracks])\n";
    const RunResult in = Tool(kPython, {"-c", kDump, "phone.gpx"});
    const RunResult out = Tool(kPython, {"-c", kDump, "out.gpx"});
    ASSERT_EQ(in.exit_status, 0) << in.err;
    EXPECT_EQ(out.out, in.out) << out.err;
    EXPECT_NE(in.out.find("Spring"), std::string::npos);
    const std::string gpx = ReadFile(dir / "out.gpx");
    EXPECT_LT(gpx.rfind("<wpt"), gpx.find("<rte>"));
    EXPECT_LT(gpx.find("</rte>"), gpx.find("<trk>"));
    // Formats without waypoints or routes say what they did with them; TCX
    // writes no point without a time, so none of the route.
    for (const std::string output : {"out.gpl", "out.tcx"}) {
        const std::string said = Convert({"phone.gpx", output}).out;
        EXPECT_NE(said.find("\n2 waypoints were not kept.\n"), std::string::npos) << said;
        EXPECT_EQ(said.find("\n1 route was written as a track.\n") != std::string::npos,
                  output == "out.gpl")
            << said;
    }
}

}  // namespace
