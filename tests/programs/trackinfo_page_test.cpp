// trackinfo's report page, checked by readers of its own: html5lib and an
// XML parser (page_check.py), and headless Chromium, which loads each page
// and looks at it (browser_check.py).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

constexpr char kPython[] = "/usr/bin/python3";
constexpr char kChecks[] = TRACKTOOLS_SOURCE_DIR "/tests/trackinfo/";
constexpr std::uint32_t kT0 = 1700000000;
constexpr int kSkipped = 77;

GPL_Data_Point At(double latitude, double longitude, std::uint32_t time, double feet = 500.0) {
    return GPL_Data_Point(latitude, longitude, feet, 0.0, 0.0, time);
}

// A drive of `count` points eastwards, up and down, a point a second.
std::vector<GPL_Data_Point> Drive(double latitude, double longitude, int count, double step) {
    std::vector<GPL_Data_Point> points;
    for (int i = 0; i < count; ++i) {
        points.push_back(At(latitude + 0.002 * std::sin(i / 20.0), longitude + step * i,
                            kT0 + static_cast<std::uint32_t>(i),
                            500.0 + 100.0 * std::cos(i / 30.0)));
    }
    return points;
}

class TrackinfoPageTest : public ::testing::Test {
  protected:
    RunResult Trackinfo(const std::vector<std::string>& args) {
        RunOptions options;
        options.cwd = dir.path();
        options.tz = "Europe/Zurich";  // for -local
        return RunTool("trackinfo", args, options);
    }
    // Runs one of the checking scripts on a page of the temporary directory.
    RunResult Check(const std::string& script, const std::vector<std::string>& args) {
        if (::access(kPython, X_OK) != 0) {
            RunResult missing;
            missing.exit_status = kSkipped;
            missing.out = "no /usr/bin/python3";
            return missing;
        }
        std::vector<std::string> all = {std::string(kChecks) + script};
        all.insert(all.end(), args.begin(), args.end());
        RunOptions options;
        options.cwd = dir.path();
        options.time_limit_seconds = 240;
        return testing_support::Run(kPython, all, options);
    }
    void Track(const std::string& name, const std::vector<GPL_Data_Point>& points) {
        WriteFile(dir / name, Records(points));
    }

    TempDir dir;
};

// Pages parsed and loaded: the sample drive, one point, a track across the
// antimeridian, one without times, one without altitudes, the drive with
// its splits in local time; and a page of several files with one that
// cannot be read and a name full of HTML's special characters.
TEST_F(TrackinfoPageTest, PagesParseAndShowTheirTracks) {
    ASSERT_TRUE(PackSampleDrive(dir.path(), "drive.gpl"));
    Track("one.gpl", {At(46.9, 7.4, kT0)});
    Track("antimeridian.gpl", Drive(-16.5, 179.9, 600, 0.0004));  // to 179.9 + 0.24
    std::vector<GPL_Data_Point> untimed = Drive(60.0, 10.0, 300, 0.0002);
    for (GPL_Data_Point& point : untimed) {
        point.Time = 0;
    }
    Track("untimed.gpl", untimed);
    std::vector<GPL_Data_Point> flat = Drive(-33.9, 18.4, 300, 0.0002);
    for (GPL_Data_Point& point : flat) {
        point.Altitude = std::numeric_limits<double>::quiet_NaN();
    }
    Track("no-altitude.gpl", flat);
    Track("<a&b>\"'.gpl", Drive(35.0, 139.7, 100, 0.0003));
    // A walk with its plan and two places of note, one named for markup.
    std::string walk =
        "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<wpt lat=\"46.95\" lon=\"7.45\"><name>Hut &amp; &lt;spring&gt;</name></wpt>"
        "<wpt lat=\"46.94\" lon=\"7.46\"/><rte><name>Plan</name>";
    for (int i = 0; i < 5; ++i) {
        walk += "<rtept lat=\"" + std::to_string(46.94 + i * 0.002) + "\" lon=\"7.44\"/>";
    }
    walk += "</rte><trk><trkseg>";
    for (int i = 0; i < 60; ++i) {
        walk += "<trkpt lat=\"" + std::to_string(46.94 + i * 0.0002) + "\" lon=\"" +
                std::to_string(7.441 + 0.001 * std::sin(i / 9.0)) +
                "\"><time>2023-11-14T10:" + (i < 10 ? "0" : "") + std::to_string(i) +
                ":00Z</time></trkpt>";
    }
    WriteFile(dir / "walk.gpx", walk + "</trkseg></trk></gpx>");

    struct Page {
        std::vector<std::string> files;
        int sections;  // with a plan view each
    };
    const std::vector<Page> pages = {
        {{"drive.gpl"}, 1},         {{"one.gpl"}, 1},
        {{"antimeridian.gpl"}, 1},  {{"untimed.gpl"}, 1},
        {{"no-altitude.gpl"}, 1},   {{"-splits", "-local", "-pace", "drive.gpl"}, 1},
        {{"-laps", "walk.gpx"}, 1}, {{"-metric", "drive.gpl", "missing.gpl", "<a&b>\"'.gpl"}, 1},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.files.back());
        std::vector<std::string> args = {"-html", "page.html"};
        args.insert(args.end(), page.files.begin(), page.files.end());
        const RunResult made = Trackinfo(args);
        ASSERT_TRUE(made.exit_status == 0 || page.files.size() > 1) << made.err;

        const RunResult parsed = Check("page_check.py", {"page.html"});
        if (parsed.exit_status == kSkipped) {
            GTEST_SKIP() << "python3 or html5lib missing: " << parsed.out;
        }
        EXPECT_EQ(parsed.exit_status, 0) << parsed.out << parsed.err;

        const RunResult seen =
            Check("browser_check.py", {"page.html", "--sections", std::to_string(page.sections)});
        if (seen.exit_status == kSkipped) {
            GTEST_SKIP() << seen.out;
        }
        EXPECT_EQ(seen.exit_status, 0) << seen.out << seen.err;
    }
    // The last page: the name escaped, the failure said, a total section.
    const std::string html = ReadFile(dir / "page.html");
    EXPECT_NE(html.find("<h2 id=\"f3\">&lt;a&amp;b&gt;&quot;&#39;.gpl</h2>"), std::string::npos);
    EXPECT_NE(html.find("This file could not be read: No such file or directory."),
              std::string::npos);
    EXPECT_NE(html.find("<h2 id=\"total\">Total of 2 files</h2>"), std::string::npos);
}

// The checks themselves can fail: a page that loads a missing image shows a
// console error, and a page without a track shows no track colour.
TEST_F(TrackinfoPageTest, TheBrowserCheckSeesErrorsAndMissingTracks) {
    Track("empty.gpl", {});
    ASSERT_EQ(Trackinfo({"-html", "empty.html", "empty.gpl"}).exit_status, 0);
    WriteFile(dir / "broken.html",
              "<!DOCTYPE html><html lang=\"en\"><head><title>x</title></head><body>"
              "<img src=\"missing.png\" alt=\"\"></body></html>");
    const RunResult empty = Check("browser_check.py", {"empty.html"});
    if (empty.exit_status == kSkipped) {
        GTEST_SKIP() << empty.out;
    }
    EXPECT_EQ(empty.exit_status, 1);
    EXPECT_NE(empty.out.find("the track's colour is not in the plan view"), std::string::npos);
    const RunResult broken =
        Check("browser_check.py", {"broken.html", "--sections", "0", "--expect-console-error"});
    EXPECT_NE(broken.out.find("ERR_FILE_NOT_FOUND"), std::string::npos) << broken.out;
    EXPECT_EQ(Check("page_check.py", {"broken.html"}).exit_status, 1);
}

// A long track gives a small page: each line reduced to about two thousand
// vertices.
TEST_F(TrackinfoPageTest, ALongTrackGivesASmallPage) {
    std::vector<GPL_Data_Point> points = Drive(47.0, 8.0, 200000, 0.00001);
    // Back and forth across the drive now and then (111 m in a second, no
    // jump): no line may keep it all.
    for (std::size_t i = 0; i < points.size(); i += 7) {
        points[i].Latitude += 0.001;
    }
    Track("long.gpl", points);
    const RunResult made = Trackinfo({"-html", "long.html", "long.gpl"});
    ASSERT_EQ(made.exit_status, 0);
    const RunResult parsed = Check("page_check.py", {"long.html"});
    if (parsed.exit_status == kSkipped) {
        GTEST_SKIP() << parsed.out;
    }
    ASSERT_EQ(parsed.exit_status, 0) << parsed.out;
    const std::size_t at = parsed.out.find("\"most_vertices\": ");
    ASSERT_NE(at, std::string::npos);
    const int vertices = std::stoi(parsed.out.substr(at + 17));
    EXPECT_GT(vertices, 500);
    EXPECT_LE(vertices, 4001);
    EXPECT_LT(ReadFile(dir / "long.html").size(), 300000u);
}

// A marker for each stop of a minute or more, where it began: legs that
// are not moving (or take no time) in a row, their times added up.
TEST_F(TrackinfoPageTest, StopsOfAMinuteOrMoreAreMarked) {
    std::vector<GPL_Data_Point> points = Drive(47.0, 8.0, 30, 0.0003);
    const GPL_Data_Point here = points.back();
    // 30 s, 20 s and 0 s at one place: 50 s, no marker; then a move.
    for (const std::uint32_t after : {30u, 50u, 50u}) {
        points.push_back(At(here.Latitude, here.Longitude, here.Time + after));
    }
    points.push_back(At(here.Latitude, here.Longitude + 0.001, here.Time + 60));
    // 40 s, then 25 s at a crawl below 1 mph (0.1 m in 25 s): 65 s, a marker.
    const GPL_Data_Point there = points.back();
    points.push_back(At(there.Latitude, there.Longitude, there.Time + 40));
    points.push_back(At(there.Latitude + 1e-6, there.Longitude, there.Time + 65));
    points.push_back(At(there.Latitude + 0.001, there.Longitude, there.Time + 70));
    Track("stops.gpl", points);
    ASSERT_EQ(Trackinfo({"-html", "stops.html", "stops.gpl"}).exit_status, 0);
    const std::string html = ReadFile(dir / "stops.html");
    EXPECT_NE(html.find("and 1 stop of a minute or more as purple diamonds."), std::string::npos);
    std::size_t diamonds = 0;
    for (std::size_t at = html.find(" l7,7 l-7,7 l-7,-7 z"); at != std::string::npos;
         at = html.find(" l7,7 l-7,7 l-7,-7 z", at + 1)) {
        ++diamonds;
    }
    EXPECT_EQ(diamonds, 1u);
}

}  // namespace
