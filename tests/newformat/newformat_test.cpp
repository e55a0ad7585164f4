// A format of its own folder (dots/) in a build of trackconvert whose table
// has its line: the usage text, the lists of formats and the messages name
// it, its content is recognised, and its reader and writer, with the
// writer's option, do their work; the suite's own trackconvert knows nothing
// of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

RunResult Dots(const TempDir& dir, const std::vector<std::string>& args) {
    RunOptions options;
    options.cwd = dir.path();
    return Run(TRACKCONVERT_DOTS, args, options);
}

TEST(NewFormat, ItsRowAloneMakesItKnownReadAndWritten) {
    TempDir dir;
    const std::string help = Dots(dir, {"--help"}).out;
    EXPECT_NE(help.find(" [-label <text>]"), std::string::npos) << help;
    EXPECT_NE(help.find("\t-label <text> is the label of a DOTS file\n"), std::string::npos);
    EXPECT_NE(help.find("format: gpl, gpx, tcx, kml, geojson, fit, nmea, igc, csv or dots\n"),
              std::string::npos);
    EXPECT_NE(help.find("format: gpl, gpx, tcx, kml, geojson, csv or dots\n"), std::string::npos);

    const struct {
        std::vector<std::string> args;
        const char* reason;
    } refused[] = {
        {{"-label", "x", "in.dots", "out.gpx"}, "-label is for DOTS output"},
        {{"in.dots", "out.nmea"},
         "out.nmea: cannot write NMEA logs; -t takes gpl, gpx, tcx, kml, geojson, csv or dots"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(Dots(dir, r.args).err, std::string("trackconvert: ") + r.reason + "\n");
    }

    // Recognised by its content alone, read, and written with a label.
    const std::string points = "46.5 7.25\n-33.75 151.125\n";
    WriteFile(dir / "drive", "DOTS\n" + points);
    ASSERT_EQ(Dots(dir, {"drive", "drive.gpx"}).exit_status, 0);
    ASSERT_EQ(Dots(dir, {"-label", "home", "drive.gpx", "back.dots"}).exit_status, 0);
    EXPECT_EQ(ReadFile(dir / "back.dots"), "DOTS home\n" + points);
    ASSERT_EQ(Dots(dir, {"-f", "dots", "-t", "dots", "back.dots", "again"}).exit_status, 0);
    EXPECT_EQ(ReadFile(dir / "again"), "DOTS\n" + points);

    RunOptions in_dir;
    in_dir.cwd = dir.path();
    EXPECT_EQ(
        RunTool("trackconvert", {"-t", "dots", "drive", "out"}, in_dir).err,
        "trackconvert: unknown format \"dots\" after -t: gpl, gpx, tcx, kml, geojson or csv\n");
}

}  // namespace
