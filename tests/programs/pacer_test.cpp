// pacer run as a user runs it: re-timed and measured tracks, messages, statuses.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "files.h"
#include "run.h"
#include "tracktools/track/gplfile.h"

namespace {

using namespace testing_support;

// Latitudes on the meridian of longitude 0, 1609.344 m (one statute mile)
// apart along the ellipsoid, from GeographicLib:
//   echo "0 0 0 1609.344" | GeodSolve -p 15   (and 3218.688, 4828.032)
// and each leg checked with GeodSolve -i -p 9: 1609.344000000 m.
const double kMile[] = {0.0, 0.014554415913598, 0.029108831808335, 0.043663247665349};
// A leg of 1609.344 m is 1609.344 * 0.0006214 = 1.0000463616 of the program's
// miles: 60.002781696 s at 60 mph, 51.43095574 s at 70 mph.
constexpr double kLegMiles = 1.0000463616;

// Point `i` of a walk north along the meridian; every field is set.
GPL_Data_Point North(int mile, std::uint32_t time, std::uint32_t tag) {
    return FullPoint(kMile[mile], 0.0, 5.5 + tag, time, tag);
}

std::string Summary(const std::string& marks, int written) {
    return "Opening in.gpl\nOpening out.gpl\nWorking..." + marks + "done.\nWrote " +
           std::to_string(written) + " data points.\n";
}

class PacerTest : public ::testing::Test {
  protected:
    // Runs pacer on `input` (raw bytes) with an optional speed argument; returns
    // the records of the output file.
    std::vector<GPL_Data_Point> Pace(const std::string& input, const char* speed = nullptr) {
        WriteFile(dir / "in.gpl", input);
        std::vector<std::string> args = {"in.gpl", "out.gpl"};
        if (speed != nullptr) {
            args.push_back(speed);
        }
        RunOptions options;
        options.cwd = dir.path();
        result = RunTool("pacer", args, options);
        EXPECT_EQ(result.exit_status, 0);
        // Nothing on standard error but the note on a partial last record.
        const std::size_t partial = input.size() % gpl::kRecordSize;
        EXPECT_EQ(result.err, partial == 0
                                  ? ""
                                  : "pacer: in.gpl: partial record of " + std::to_string(partial) +
                                        " bytes at the end ignored\n");
        return ParseRecords(ReadFile(dir / "out.gpl"));
    }
    std::vector<GPL_Data_Point> Pace(const std::vector<GPL_Data_Point>& points,
                                     const char* speed = nullptr) {
        return Pace(Records(points), speed);
    }

    TempDir dir;
    RunResult result;
};

// Everything but Speed, Heading and Time passes through byte for byte.
void ExpectCarriedOver(const GPL_Data_Point& out, const GPL_Data_Point& in) {
    EXPECT_EQ(out.Tag, in.Tag);
    EXPECT_EQ(out.Reserved1, in.Reserved1);
    EXPECT_EQ(out.Reserved2, in.Reserved2);
    EXPECT_EQ(out.Latitude, in.Latitude);
    EXPECT_EQ(out.Longitude, in.Longitude);
    EXPECT_EQ(out.Altitude, in.Altitude);
}

TEST_F(PacerTest, WrongArgumentCountPrintsTheUsageLineOnly) {
    RunOptions options;
    options.cwd = dir.path();
    WriteFile(dir / "in.gpl", Records({North(0, 1, 1)}));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"in.gpl"}, {"in.gpl", "out.gpl", "30", "extra"}}) {
        const RunResult r = RunTool("pacer", args, options);
        EXPECT_EQ(r.out, "Usage: pacer <input.gpl> <output.gpl> [<new_mph_speed>]\n");
        EXPECT_EQ(r.exit_status, ShellStatus(-3));
    }
    EXPECT_FALSE(FileExists(dir / "out.gpl"));
}

TEST_F(PacerTest, EmptyAndSingleRecordTracksInBothModes) {
    for (const char* speed : {static_cast<const char*>(nullptr), "45"}) {
        const std::string line = speed ? "Setting Speed to 45 mph.\n" : "";
        EXPECT_TRUE(Pace(std::string(), speed).empty());
        EXPECT_EQ(result.out, line + Summary("", 0));
        // Shorter than one record: nothing to write.
        EXPECT_TRUE(Pace(std::string(55, '\x11'), speed).empty());
        EXPECT_EQ(result.out, line + Summary("", 0));

        const std::string one = Records({North(1, 4242, 9)});
        Pace(one, speed);
        EXPECT_EQ(ReadFile(dir / "out.gpl"), one);
        EXPECT_EQ(result.out, line + Summary("", 1));
    }
}

TEST_F(PacerTest, SpeedLineAndModeFollowTheThirdArgument) {
    // One mile north in 60 s: a measured run sets Speed, a constant one Time.
    const std::vector<GPL_Data_Point> in = {North(0, 1000, 1), North(1, 5000, 2)};
    struct Case {
        const char* argument;
        const char* shown;
        bool measured;
    };
    const Case cases[] = {
        {"30", "30", false},      {"2.50", "2.5", false}, {"1000000", "1e+06", false},
        {" +60mph", "60", false}, {"0", "0", true},       {"-0", "-0", true},
        {"abc", "0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        const std::vector<GPL_Data_Point> out = Pace(in, c.argument);
        EXPECT_EQ(result.out,
                  std::string("Setting Speed to ") + c.shown + " mph.\n" + Summary("", 2));
        ASSERT_EQ(out.size(), 2u);
        if (c.measured) {
            EXPECT_EQ(out[1].Time, 5000u);
            EXPECT_NEAR(out[0].Speed, kLegMiles / (4000 / 3600.0), 1e-9);
        } else {
            EXPECT_NE(out[1].Time, 5000u);
            EXPECT_EQ(out[0].Speed, std::strtod(c.argument, nullptr));
        }
    }
}

TEST_F(PacerTest, ConstantSpeedAddsTheWholeSecondsOfEachLeg) {
    // 60.0028 s at 60 mph: exactly 60 s later.
    std::vector<GPL_Data_Point> in = {North(0, 1000, 1), North(1, 77, 2)};
    std::vector<GPL_Data_Point> out = Pace(in, "60");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].Time, 1000u);
    EXPECT_EQ(out[1].Time, 1060u);

    // At 70 mph each leg takes 51.43 s: three legs add 3 * 51 = 153 s, not
    // the 154 s that carried fractions would give. A leg of length 0 adds 0.
    in = {North(0, 50000, 1), North(1, 7, 2), North(1, 8, 3), North(2, 9, 4), North(3, 0, 5)};
    in[4].Heading = 123.25;
    out = Pace(in, "70");
    ASSERT_EQ(out.size(), 5u);
    const std::uint32_t times[] = {50000, 50051, 50051, 50102, 50153};
    for (std::size_t i = 0; i < out.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(out[i].Time, times[i]);
        ExpectCarriedOver(out[i], in[i]);
        EXPECT_EQ(out[i].Heading, in[i].Heading);
        // The last point starts no leg and keeps its own Speed.
        EXPECT_EQ(out[i].Speed, i + 1 < out.size() ? 70.0 : in[i].Speed);
    }
    EXPECT_EQ(result.out, "Setting Speed to 70 mph.\n" + Summary("", 5));
}

TEST_F(PacerTest, NegativeSpeedStepsTimeBackwardAndWrapsBelowZero) {
    // 1000 - 60.0028 = 939.997, truncated toward zero.
    std::vector<GPL_Data_Point> out = Pace({North(0, 1000, 1), North(1, 0, 2)}, "-60");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].Speed, -60.0);
    EXPECT_EQ(out[1].Time, 939u);
    // 30 - 60.0028 = -30.0028 -> -30, stored modulo 2^32.
    out = Pace({North(0, 30, 1), North(1, 0, 2)}, "-60");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].Time, 4294967266u);
}

TEST_F(PacerTest, TimeBecomesZeroWhenTheLegHasNoWholeSeconds) {
    // A NaN speed re-times (it is not 0) but gives no time at all; a speed so
    // small that the seconds leave the 64-bit range likewise gives 0, except
    // on a leg of length 0, which still adds 0 seconds.
    std::vector<GPL_Data_Point> in = {North(0, 1000, 1), North(1, 2000, 2), North(1, 3000, 3)};
    std::vector<GPL_Data_Point> out = Pace(in, "nan");
    EXPECT_EQ(result.out, "Setting Speed to nan mph.\n" + Summary("", 3));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_TRUE(std::isnan(out[0].Speed));
    EXPECT_EQ(out[1].Time, 0u);
    EXPECT_EQ(out[2].Time, 0u);

    out = Pace(in, "1e-300");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].Time, 0u);
    EXPECT_EQ(out[2].Time, 0u);

    // Points on opposite sides of the earth are half a meridian apart
    // (GeodSolve -i: 20003931.4586 m, 12430.4430 miles), measured over the
    // north pole (azimuth 0); more such legs are in antipodal_test.cpp.
    in = {FullPoint(0, 0, 1, 1000, 1), FullPoint(0, 180, 1, 2000, 2)};
    out = Pace(in, "60");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].Time, 1000u + 745826u);
    out = Pace(in);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(out[0].Speed, 20003931.4586254470 * 0.0006214 * 3.6, 1e-6);
    EXPECT_EQ(out[0].Heading, 0.0);
}

TEST_F(PacerTest, MeasuredSpeedAndHeadingOfEveryLeg) {
    const std::vector<GPL_Data_Point> in = {
        North(0, 1000, 1),  // one mile north in 60 s
        North(1, 1060, 2),  // same time, one mile further: infinite speed
        North(2, 1060, 3),  // same place, same time: 0 / 0
        North(2, 1060, 4),  // same place, 40 s later: speed 0
        North(2, 1100, 5),  // back south, 60 s earlier: nearly 2^32 s
        North(1, 1040, 6),  // last: keeps its own Speed and Heading
    };
    const std::vector<GPL_Data_Point> out = Pace(in);
    EXPECT_EQ(result.out, Summary("", 6));
    ASSERT_EQ(out.size(), in.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        ExpectCarriedOver(out[i], in[i]);
        EXPECT_EQ(out[i].Time, in[i].Time);
    }
    EXPECT_NEAR(out[0].Speed, 60.002781696, 1e-6);
    EXPECT_EQ(out[0].Heading, 0.0);
    EXPECT_EQ(out[1].Speed, std::numeric_limits<double>::infinity());
    EXPECT_EQ(out[1].Heading, 0.0);
    EXPECT_TRUE(std::isnan(out[2].Speed));
    EXPECT_EQ(out[3].Speed, 0.0);
    // 1.0000463616 miles in 4294967236 s.
    EXPECT_NEAR(out[4].Speed, 8.382291887e-7, 1e-15);
    EXPECT_EQ(out[4].Heading, 180.0);
    EXPECT_EQ(out[5].Speed, in[5].Speed);
    EXPECT_EQ(out[5].Heading, in[5].Heading);
}

TEST_F(PacerTest, TrailingPartialRecordIsNeitherMeasuredNorWritten) {
    const std::vector<GPL_Data_Point> in = {North(0, 1000, 1), North(1, 1060, 2)};
    for (const char* speed : {static_cast<const char*>(nullptr), "60"}) {
        const std::vector<GPL_Data_Point> out = Pace(Records(in) + std::string(40, '\x7f'), speed);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(ReadFile(dir / "out.gpl").size(), 112u);
        // The last whole record starts no leg.
        EXPECT_EQ(out[1].Speed, in[1].Speed);
        EXPECT_EQ(out[1].Heading, in[1].Heading);
        EXPECT_EQ(out[1].Time, 1060u);
    }
}

TEST_F(PacerTest, ProgressMarkEveryHundredRecordsRead) {
    for (const auto& [count, marks] :
         std::vector<std::pair<int, std::string>>{{99, ""}, {100, "."}, {199, "."}, {200, ".."}}) {
        std::vector<GPL_Data_Point> in;
        for (int i = 0; i < count; ++i) {
            in.push_back(FullPoint(10.0 + i * 1e-4, 20.0, 3, 1000u + 5u * i, i));
        }
        EXPECT_EQ(Pace(in).size(), static_cast<std::size_t>(count));
        EXPECT_EQ(result.out, Summary(marks, count));
    }
}

TEST_F(PacerTest, FailuresOfTheFrame) {
    RunOptions options;
    options.cwd = dir.path();
    RunResult r = RunTool("pacer", {"missing.gpl", "out.gpl", "30"}, options);
    EXPECT_EQ(r.out,
              "Setting Speed to 30 mph.\nOpening missing.gpl\n\"missing.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-1));
    EXPECT_FALSE(FileExists(dir / "out.gpl"));

    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    r = RunTool("pacer", {"folder", "out.gpl"}, options);
    EXPECT_EQ(r.out, "Opening folder\n\"folder\" - Open Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-1));
    EXPECT_FALSE(FileExists(dir / "out.gpl"));

    const std::string track = Records({North(0, 1000, 1), North(1, 1060, 2)});
    WriteFile(dir / "in.gpl", track);
    r = RunTool("pacer", {"in.gpl", "no/such/dir/out.gpl"}, options);
    EXPECT_EQ(r.out,
              "Opening in.gpl\nOpening no/such/dir/out.gpl\n"
              "\"no/such/dir/out.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-2));

    // The same file under another spelling is refused and left as it was.
    r = RunTool("pacer", {"in.gpl", "./in.gpl", "60"}, options);
    EXPECT_EQ(r.out,
              "Setting Speed to 60 mph.\nOpening in.gpl\nOpening ./in.gpl\n"
              "\"./in.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-2));
    EXPECT_EQ(ReadFile(dir / "in.gpl"), track);

    r = RunTool("pacer", {"in.gpl", "/dev/full"}, options);
    EXPECT_EQ(r.out,
              "Opening in.gpl\nOpening /dev/full\nWorking...\n\"/dev/full\" - Write Failed!!!\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
}

}  // namespace
