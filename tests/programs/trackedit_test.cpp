// trackedit run as a user runs it: its messages and tallies for each edit,
// several inputs one after another or merged by time, the pieces of a split,
// the values it refuses, and the failures after which no file takes its
// name. What each edit keeps is checked against its definition on random
// tracks in tests/trackedit.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

constexpr std::uint32_t kStart = 1749893400;  // 2025-06-14T09:30:00Z

// A drive east along a parallel, a point every 100 m and minute, with a
// spike 2.2 km north (point 4) and a repeated point (6).
std::vector<GPL_Data_Point> Drive(std::uint32_t start = kStart) {
    const double steps[][3] = {{0, 0, 0},   {1, 0, 60},  {2, 0, 120}, {2, 0.02, 150},
                               {3, 0, 180}, {3, 0, 180}, {4, 0, 240}, {5, 0, 300}};
    std::vector<GPL_Data_Point> points;
    for (const auto& step : steps) {
        points.push_back(FullPoint(46.9481 + step[1], 7.4474 + step[0] * 0.0013, 20,
                                   start + static_cast<std::uint32_t>(step[2]),
                                   static_cast<std::uint32_t>(points.size() + 1)));
    }
    return points;
}

std::vector<std::uint32_t> Tags(const std::string& bytes) {
    std::vector<std::uint32_t> tags;
    for (const GPL_Data_Point& point : ParseRecords(bytes))
        tags.push_back(point.Tag);
    return tags;
}

class TrackeditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(dir / "a.gpl", Records(Drive()));
        WriteFile(dir / "b.gpl", Records(Drive(kStart + 3600)));
    }
    RunResult Edit(const std::vector<std::string>& args, const std::string& tz = "UTC",
                   const std::string& stdin_text = "") {
        RunOptions options;
        options.cwd = dir.path();
        options.tz = tz;
        options.stdin_text = stdin_text;
        return RunTool("trackedit", args, options);
    }
    TempDir dir;
};

TEST_F(TrackeditTest, EachEditTalliesWhatItChanged) {
    const struct {
        std::vector<std::string> options;
        int written;
        std::string tally;
    } cases[] = {
        {{"-from", "2025-06-14T09:31:00Z"}, 15, "1 point outside the time range was dropped.\n"},
        {{"-to", "2025-06-14T11:31:00+01:00"},
         9,
         "7 points outside the time range were dropped.\n"},
        {{"-box", "46.94,7.44,46.95,7.452"}, 10, "6 points outside the box were dropped.\n"},
        {{"-hide", "46.9481,7.4474,120", "-hide", "46.9481,7.4539,1"},
         10,
         "6 points inside a hidden zone were dropped.\n"},
        {{"-trim", "150"}, 12, "4 points near the start or end were trimmed.\n"},
        {{"-spikes", "100"}, 14, "2 spikes were dropped.\n"},
        {{"-spikes", "200", "-metric"}, 14, "2 spikes were dropped.\n"},
        {{"-spikes", "300"}, 16, ""},
        {{"-dedupe"}, 14, "2 duplicate points were dropped.\n"},
        {{"-simplify", "5"}, 10, "6 points were dropped in simplifying.\n"},
        {{"-shift", "-0.5"},
         16,
         "16 times were moved.\n16 times lost their fraction of a second.\n"},
        {{"-start", "2025-06-14T09:30:00Z"}, 16, ""},
        {{"-name", "Bern"}, 16, "2 tracks were named.\n"},
        {{"-join"}, 16, "1 track or segment break was joined.\n"},
        // Out of their order: simplified after the spikes and repeats are gone.
        {{"-shift", "60", "-simplify", "5", "-dedupe", "-spikes", "100"},
         4,
         "2 spikes were dropped.\n2 duplicate points were dropped.\n"
         "8 points were dropped in simplifying.\n4 times were moved.\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"a.gpl", "b.gpl", "out.gpl"});
        const RunResult result = Edit(args);
        EXPECT_EQ(result.exit_status, 0) << c.options[0] << result.err;
        EXPECT_EQ(result.out,
                  "Opening a.gpl\nOpening b.gpl\nOpening out.gpl\nWorking...done.\nWrote " +
                      std::to_string(c.written) + " data points.\n" + c.tally +
                      (c.options[0] == "-join" ? "" : "1 segment break was not kept.\n"))
            << c.options[0];
        EXPECT_EQ(result.err, "");
    }
    // The edits of the last case given in their order make the same file.
    Edit(
        {"-spikes", "100", "-dedupe", "-simplify", "5", "-shift", "60", "a.gpl", "b.gpl", "y.gpl"});
    EXPECT_EQ(ReadFile(dir / "out.gpl"), ReadFile(dir / "y.gpl"));
}

// Standard input merged with a file, to standard output with the messages
// on standard error.
TEST_F(TrackeditTest, SortMergesByTimeAndRefusesAnInputThatGoesBack) {
    WriteFile(dir / "c.gpl", Records(Drive(kStart + 30)));
    const RunResult merged =
        Edit({"-sort", "-dedupe", "c.gpl", "-", "-"}, "UTC", ReadFile(dir / "a.gpl"));
    ASSERT_EQ(merged.exit_status, 0) << merged.err;
    EXPECT_EQ(Tags(merged.out),
              (std::vector<std::uint32_t>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 7, 7, 8, 8}));
    EXPECT_EQ(merged.err,
              "Opening c.gpl\nOpening -\nOpening -\nWorking...done.\n"
              "Wrote 14 data points.\n2 duplicate points were dropped.\n"
              "13 segment breaks were not kept.\n");

    std::vector<GPL_Data_Point> back = Drive();
    back[6].Time = kStart + 179;
    WriteFile(dir / "back.gpl", Records(back));
    WriteFile(dir / "out.gpl", "old");
    const RunResult refused = Edit({"-sort", "a.gpl", "back.gpl", "out.gpl"});
    EXPECT_EQ(refused.exit_status, ShellStatus(-1));
    EXPECT_EQ(refused.out,
              "Opening a.gpl\nOpening back.gpl\nOpening out.gpl\nWorking...\n"
              "\"back.gpl\" - Read Failed!!!\n");
    EXPECT_EQ(refused.err,
              "trackedit: back.gpl: point 7 goes back in time, to 2025-06-14T09:32:59Z after "
              "2025-06-14T09:33:00Z; -sort needs each input in time order\n");
    EXPECT_EQ(ReadFile(dir / "out.gpl"), "old");
}

TEST_F(TrackeditTest, SplitWritesPiecesNamedAfterTheOutput) {
    const RunResult gaps = Edit({"-split-gap", "120", "a.gpl", "b.gpl", "week.gpl"});
    ASSERT_EQ(gaps.exit_status, 0) << gaps.err;
    EXPECT_EQ(gaps.out,
              "Opening a.gpl\nOpening b.gpl\nWorking...done.\n"
              "Wrote 8 data points to week-1.gpl.\nWrote 8 data points to week-2.gpl.\n"
              "Wrote 16 data points.\n");
    EXPECT_EQ(ReadFile(dir / "week-2.gpl"), ReadFile(dir / "b.gpl"));

    // Local days: 01:30 in Berlin on the 15th begins another one.
    WriteFile(dir / "late.gpl", Records(Drive(kStart + 14 * 3600)));
    ::mkdir((dir / "dir").c_str(), 0755);
    const RunResult split = Edit({"-split-day", "a.gpl", "late.gpl", "dir/day"}, "Europe/Berlin");
    ASSERT_EQ(split.exit_status, 0) << split.err;
    EXPECT_EQ(FileNames(dir / "dir"), (std::set<std::string>{"day-1", "day-2"}));
    EXPECT_EQ(ReadFile(dir / "dir/day-2"), ReadFile(dir / "late.gpl"));

    // All pieces or none: the third cannot be made.
    ::mkdir((dir / "seg-3.gpl").c_str(), 0755);
    const RunResult failed = Edit({"-split-segments", "a.gpl", "b.gpl", "a.gpl", "seg.gpl"});
    EXPECT_EQ(failed.exit_status, ShellStatus(-2));
    EXPECT_EQ(failed.out,
              "Opening a.gpl\nOpening b.gpl\nOpening a.gpl\nWorking...\n"
              "\"seg-3.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(failed.err, "trackedit: seg-3.gpl: Is a directory\n");
    // Nor any temporary file.
    EXPECT_EQ(FileNames(dir.path()),
              (std::set<std::string>{"a.gpl", "b.gpl", "late.gpl", "dir", "week-1.gpl",
                                     "week-2.gpl", "seg-3.gpl"}));
}

TEST_F(TrackeditTest, NoFileTakesItsNameAfterAFailure) {
    WriteFile(dir / "bad.csv", "time,latitude,longitude\n2025-06-14T09:30:00Z,46.9,7.4\nnot,a\n");
    WriteFile(dir / "out.gpl", "old");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out_end;
        std::string err;
    } cases[] = {
        {{"a.gpl", "bad.csv", "out.gpl"},
         -1,
         "Working...\n\"bad.csv\" - Read Failed!!!\n",
         "trackedit: bad.csv:3: 2 fields, but the header has 3\n"},
        {{"a.gpl", "out.gpl", "out.gpl"},
         -2,
         "\"out.gpl\" - Open Failed!!!\n",
         "trackedit: out.gpl: is the input file\n"},
        {{"a.gpl", "/dev/full"},
         -4,
         "Working...\n\"/dev/full\" - Write Failed!!!\n",
         "trackedit: /dev/full: No space left on device\n"},
    };
    for (const auto& c : cases) {
        const RunResult result = Edit(c.args);
        EXPECT_EQ(result.exit_status, ShellStatus(c.status)) << c.args[1];
        EXPECT_EQ(
            result.out.substr(result.out.size() - std::min(result.out.size(), c.out_end.size())),
            c.out_end);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(ReadFile(dir / "out.gpl"), "old");
    }
}

TEST_F(TrackeditTest, RefusesBadValuesWithAReason) {
    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"-from", "yesterday"},
         "-from: \"yesterday\" is not a time like 2019-05-01T06:30:00+02:00"},
        {{"-to", "2019-03-31T02:30"},
         "-to: \"2019-03-31T02:30\" does not exist in the local time zone (TZ)"},
        {{"-box", "50,5,40,6"}, "-box: SOUTH lies north of NORTH"},
        {{"-box", "40,5,50"}, "-box needs SOUTH,WEST,NORTH,EAST in degrees, not \"40,5,50\""},
        {{"-hide", "46,7,-5"}, "-hide: the distance must not be negative"},
        {{"-trim", "-1"}, "-trim: the distance must not be negative"},
        {{"-simplify", "nan"}, "-simplify needs a distance in metres, not \"nan\""},
        {{"-from", "2019-05-02", "-to", "2019-05-01"}, "-from lies after -to"},
        {{"-shift", "1", "-start", "2019-05-01"},
         "-shift and -start do not go together: both move the times"},
        {{"-split-gap", "1.0000000001"},
         "-split-gap needs seconds, as 90 or -1.5, not "
         "\"1.0000000001\""},
        {{"-split-day", "-split-segments"},
         "one split at a time: -split-gap, -split-day or -split-segments"},
        {{"-split-day", "a.gpl", "-"},
         "a split writes files named after the output: it cannot be -"},
        {{"-", "-", "out.gpl"}, "standard input (-) can be read only once"},
        {{"-sort-by-time"}, "unknown option -sort-by-time"},
        {{"a.gpl", "out.gpl", "-name"}, "-name needs a value"},
        {{"-route", "1"}, "-route needs a count of 2 or more points, not \"1\""},
        {{"-route", "-5"}, "-route needs a count of 2 or more points, not \"-5\""},
        {{"-route", "250", "-track"},
         "-route and -track do not go together: one makes routes, the other tracks"},
    };
    for (const auto& c : cases) {
        // The files, where a case does not name its own.
        std::vector<std::string> args = c.args;
        if (std::find(args.begin(), args.end(), "a.gpl") == args.end() && args[0] != "-") {
            args.insert(args.end(), {"a.gpl", "out.gpl"});
        }
        const RunResult result = Edit(args, "Europe/Berlin");
        EXPECT_EQ(result.exit_status, ShellStatus(-3)) << c.reason;
        EXPECT_EQ(result.out.rfind("Usage: trackedit ", 0), 0u);
        EXPECT_EQ(result.err, "trackedit: " + c.reason + "\n");
        EXPECT_FALSE(FileExists(dir / "out.gpl"));
    }
}

// Every value of the model goes through: the names of two GPX tracks, their
// segments, heart rates and fractions of a second, read back by gpxpy; -join
// makes them one segment of one track with the name given.
TEST_F(TrackeditTest, KeepsWhatAGpxFileCarries) {
    const auto point = [](int i) {
        return "<trkpt lat=\"46.9" + std::to_string(i) + "\" lon=\"7.4\"><time>2025-06-14T09:3" +
               std::to_string(i) + ":00.25Z</time><extensions><t:TrackPointExtension><t:hr>" +
               std::to_string(120 + i) + "</t:hr></t:TrackPointExtension></extensions></trkpt>";
    };
    WriteFile(dir / "two.gpx",
              "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
              "xmlns:t=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">"
              "<trk><name>Out</name><trkseg>" +
                  point(1) + point(2) + "</trkseg><trkseg>" + point(3) +
                  "</trkseg></trk><trk><name>Back</name><trkseg>" + point(4) + point(5) +
                  "</trkseg></trk></gpx>");
    ASSERT_EQ(Edit({"-shift", "0.5", "two.gpx", "shifted.gpx"}).exit_status, 0);
    ASSERT_EQ(Edit({"-join", "-name", "All", "two.gpx", "joined.gpx"}).exit_status, 0);
    const std::string script =
        "import gpxpy, sys\n"
        "for name in sys.argv[1:]:\n"
        "    for t in gpxpy.parse(open(name)).tracks:\n"
        "        print(t.name, [[(p.time.strftime('%M:%S.%f'), p.extensions[0][0].text)\n"
        "                        for p in s.points] for s in t.segments])\n";
    RunOptions options;
    options.cwd = dir.path();
    const RunResult read = testing_support::Run(
        "/usr/bin/python3", {"-c", script, "shifted.gpx", "joined.gpx"}, options);
    ASSERT_EQ(read.exit_status, 0) << read.err;
    EXPECT_EQ(read.out,
              "Out [[('31:00.750000', '121'), ('32:00.750000', '122')], "
              "[('33:00.750000', '123')]]\n"
              "Back [[('34:00.750000', '124'), ('35:00.750000', '125')]]\n"
              "All [[('31:00.250000', '121'), ('32:00.250000', '122'), ('33:00.250000', '123'), "
              "('34:00.250000', '124'), ('35:00.250000', '125')]]\n");
}

// Waypoints, a route and a track of a GPX file, read back by gpxpy: -route
// makes the track a route of at most the points asked for, -track makes the
// route a track, and -hide takes the waypoint at home with the points there.
TEST_F(TrackeditTest, RoutesTracksAndWaypointsOfAGpxFile) {
    std::string points;
    for (int i = 0; i < 400; ++i) {
        char point[160];
        std::snprintf(point, sizeof point,
                      "<trkpt lat=\"%.6f\" lon=\"%.6f\"><time>2025-06-14T10:%02d:%02dZ</time>"
                      "</trkpt>",
                      46.9481 + 0.0002 * i, 7.4474 + 0.0005 * std::sin(i / 9.0), i / 60, i % 60);
        points += point;
    }
    WriteFile(dir / "hike.gpx",
              "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
              "<wpt lat=\"46.9481\" lon=\"7.4474\"><name>Home</name></wpt>"
              "<wpt lat=\"47\" lon=\"7.45\"><name>Hut</name></wpt><rte><name>Plan</name>"
              "<rtept lat=\"46.9481\" lon=\"7.4474\"/><rtept lat=\"46.97\" lon=\"7.45\"/>"
              "<rtept lat=\"47\" lon=\"7.45\"/></rte><trk><name>Hike</name><trkseg>" +
                  points + "</trkseg></trk></gpx>");
    const RunResult routed = Edit({"-route", "50", "hike.gpx", "route.gpx"});
    ASSERT_EQ(routed.exit_status, 0) << routed.err;
    const RunResult tracked =
        Edit({"-track", "-hide", "46.9481,7.4474,10", "hike.gpx", "track.gpx"});
    ASSERT_EQ(tracked.exit_status, 0) << tracked.err;
    EXPECT_NE(tracked.out.find("Wrote 402 data points.\n2 points inside a hidden zone were dropped."
                               "\n1 waypoint inside a hidden zone was dropped.\n"
                               "1 route became a track.\n"),
              std::string::npos)
        << tracked.out;

    // Each route and track: its name and its count of points.
    const std::string script =
        "import gpxpy, sys\n"
        "for name in sys.argv[1:]:\n"
        "    g = gpxpy.parse(open(name))\n"
        "    print([w.name for w in g.waypoints])\n"
        "    for r in g.routes: print('route', r.name, len(r.points))\n"
        "    for t in g.tracks: print('track', t.name, [len(s.points) for s in t.segments])\n";
    RunOptions options;
    options.cwd = dir.path();
    const RunResult read =
        testing_support::Run("/usr/bin/python3", {"-c", script, "route.gpx", "track.gpx"}, options);
    ASSERT_EQ(read.exit_status, 0) << read.err;
    const std::size_t hike = read.out.find("route Hike ");
    ASSERT_NE(hike, std::string::npos) << read.out;
    const unsigned long kept = std::stoul(read.out.substr(hike + 11));
    EXPECT_LE(kept, 50u);
    EXPECT_EQ(read.out, "['Home', 'Hut']\nroute Plan 3\nroute Hike " + std::to_string(kept) +
                            "\n['Hut']\ntrack Plan [2]\ntrack Hike [399]\n");
    EXPECT_NE(
        routed.out.find("Wrote " + std::to_string(5 + kept) +
                        " data points.\n1 track became a route.\n" + std::to_string(400 - kept) +
                        " points were dropped in making routes of at most 50 points, each "
                        "within "),
        std::string::npos)
        << routed.out;
}

}  // namespace
