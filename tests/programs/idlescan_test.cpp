// idlescan run as a user runs it: which records survive, messages, statuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

const char kUsage[] =
    "Usage: idlescan <input.gpl> <output.gpl> [<stop speed>]\n"
    "\n"
    "where:\t<input.gpl>   is the GPL file to read\n"
    "\t<output.gpl>  is the file to write\n"
    "\t<stop speed>  is the max speed to consider stopped (0.0)\n"
    "\n"
    "Example:\tidlescan input.gpl output.gpl 3.0\n"
    "\t This reads from input.gpl, writes output.gpl, and considers\n"
    "\t anything less then 3.0 mph to be stopped.\n";

// Points at distinct places with the given speeds; record i has Tag i + 1.
std::vector<GPL_Data_Point> Moving(const std::vector<double>& speeds) {
    std::vector<GPL_Data_Point> points;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        points.push_back(FullPoint(50.0 + i * 0.001, 8.0 + i * 0.001, speeds[i],
                                   1000000u + 10u * static_cast<unsigned>(i),
                                   static_cast<std::uint32_t>(i + 1)));
    }
    return points;
}

std::string Summary(const std::string& marks, int read, int stops) {
    return "Opening in.gpl\nOpening out.gpl\nWorking..." + marks + "done.\nRead " +
           std::to_string(read) + " data points. Wrote " + std::to_string(stops) + " stops.\n";
}

class IdlescanTest : public ::testing::Test {
  protected:
    // Runs idlescan on `points` (plus `tail` bytes) and returns the output records.
    std::vector<GPL_Data_Point> Scan(const std::vector<GPL_Data_Point>& points,
                                     const std::vector<std::string>& extra = {},
                                     const std::string& tail = "") {
        WriteFile(dir / "in.gpl", Records(points) + tail);
        std::vector<std::string> args = {"in.gpl", "out.gpl"};
        args.insert(args.end(), extra.begin(), extra.end());
        RunOptions options;
        options.cwd = dir.path();
        result = RunTool("idlescan", args, options);
        EXPECT_EQ(result.exit_status, 0);
        const std::string out = ReadFile(dir / "out.gpl");
        // Every output record is a byte-exact copy of an input record.
        const std::string in = Records(points);
        for (std::size_t at = 0; at < out.size() && !points.empty(); at += 56) {
            EXPECT_NE(in.find(out.substr(at, 56)), std::string::npos);
        }
        return ParseRecords(out);
    }

    static std::vector<std::uint32_t> Tags(const std::vector<GPL_Data_Point>& points) {
        std::vector<std::uint32_t> tags;
        for (const GPL_Data_Point& p : points)
            tags.push_back(p.Tag);
        return tags;
    }

    TempDir dir;
    RunResult result;
};

TEST_F(IdlescanTest, WrongArgumentCountPrintsUsage) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"a"}, {"a", "b", "1", "2"}}) {
        const RunResult r = RunTool("idlescan", args);
        EXPECT_EQ(r.out, kUsage);
        EXPECT_EQ(r.exit_status, ShellStatus(-3));
    }
}

TEST_F(IdlescanTest, EmptyAndSingleRecordTracks) {
    std::vector<GPL_Data_Point> out = Scan({});
    EXPECT_EQ(ReadFile(dir / "out.gpl"), std::string(56, '\0'));
    EXPECT_EQ(result.out, Summary("", 0, 0));

    out = Scan(Moving({30}));
    EXPECT_EQ(Tags(out), (std::vector<std::uint32_t>{1, 1}));
    EXPECT_EQ(result.out, Summary("", 1, 1));
}

TEST_F(IdlescanTest, KeepsFirstPointStartOfEveryStopAndLastPoint) {
    std::vector<GPL_Data_Point> out = Scan(Moving({5, 5, 0, 0, 5, 0, 5}));
    EXPECT_EQ(Tags(out), (std::vector<std::uint32_t>{1, 3, 6, 7}));
    EXPECT_EQ(result.out, Summary("", 7, 3));

    // Stops right after the first record belong to the first run.
    out = Scan(Moving({5, 0, 0, 5}));
    EXPECT_EQ(Tags(out), (std::vector<std::uint32_t>{1, 4}));
    EXPECT_EQ(result.out, Summary("", 4, 1));

    // A last record that starts a stop appears twice.
    out = Scan(Moving({5, 5, 0}));
    EXPECT_EQ(Tags(out), (std::vector<std::uint32_t>{1, 3, 3}));
    EXPECT_EQ(result.out, Summary("", 3, 2));

    // A negative speed is at or below 0.0; a NaN speed never is.
    out = Scan(Moving({5, 5, -1, 5, std::nan(""), 5}));
    EXPECT_EQ(Tags(out), (std::vector<std::uint32_t>{1, 3, 6}));
}

TEST_F(IdlescanTest, RepeatedPlaceIsAStopOnlyWithoutAThreshold) {
    std::vector<GPL_Data_Point> track = Moving({20, 20, 20, 20});
    track[2].Latitude = track[1].Latitude;
    track[2].Longitude = track[1].Longitude;
    track[2].Altitude = 999;  // altitude plays no part
    EXPECT_EQ(Tags(Scan(track)), (std::vector<std::uint32_t>{1, 3, 4}));
    EXPECT_EQ(Tags(Scan(track, {"0"})), (std::vector<std::uint32_t>{1, 4}));
    EXPECT_EQ(Tags(Scan(track, {"abc"})), (std::vector<std::uint32_t>{1, 4}));
    EXPECT_EQ(result.out, Summary("", 4, 1));
}

TEST_F(IdlescanTest, ThresholdIsInclusiveWithoutTolerance) {
    const std::vector<GPL_Data_Point> track = Moving({9, 9, 3.0, 9, 3.0000001, 9});
    EXPECT_EQ(Tags(Scan(track, {"3.0"})), (std::vector<std::uint32_t>{1, 3, 6}));
    EXPECT_EQ(Tags(Scan(track, {"3.5mph"})), (std::vector<std::uint32_t>{1, 3, 5, 6}));
}

TEST_F(IdlescanTest, PartialTrailingRecordIsIgnoredAndMarksFollowTheRecordNumber) {
    std::vector<GPL_Data_Point> out = Scan(Moving({5, 5, 0}), {}, std::string(30, '\x7f'));
    EXPECT_EQ(Tags(out), (std::vector<std::uint32_t>{1, 3, 3}));
    EXPECT_EQ(result.out, Summary("", 3, 2));

    Scan(Moving(std::vector<double>(98, 5)));
    EXPECT_EQ(result.out, Summary("", 98, 1));
    Scan(Moving(std::vector<double>(99, 5)));
    EXPECT_EQ(result.out, Summary(".", 99, 1));
    Scan(Moving(std::vector<double>(199, 5)));
    EXPECT_EQ(result.out, Summary("..", 199, 1));
}

TEST_F(IdlescanTest, FailuresOfTheFrame) {
    RunOptions options;
    options.cwd = dir.path();
    RunResult r = RunTool("idlescan", {"missing.gpl", "out.gpl"}, options);
    EXPECT_EQ(r.out, "Opening missing.gpl\n\"missing.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-1));
    EXPECT_FALSE(FileExists(dir / "out.gpl"));

    const std::string track = Records(Moving({5, 0, 5}));
    WriteFile(dir / "in.gpl", track);
    ASSERT_EQ(::symlink("in.gpl", (dir / "link.gpl").c_str()), 0);
    r = RunTool("idlescan", {"link.gpl", "in.gpl", "2"}, options);
    EXPECT_EQ(r.out, "Opening link.gpl\nOpening in.gpl\n\"in.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-2));
    EXPECT_EQ(ReadFile(dir / "in.gpl"), track);

    // Even a short output fails when it is finally written.
    r = RunTool("idlescan", {"in.gpl", "/dev/full"}, options);
    EXPECT_EQ(r.out,
              "Opening in.gpl\nOpening /dev/full\nWorking...\n\"/dev/full\" - Write Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
}

}  // namespace
