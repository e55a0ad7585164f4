// stepclock run as a user runs it: exact messages, exit statuses and bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <ctime>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

const char kUsage[] =
    "Usage: stepclock <input.gpl> <output.gpl> [<seconds>]\n"
    "\n"
    "where:\t<input.gpl>   is the GPL file to read\n"
    "\t<output.gpl>  is the file to write\n"
    "\t<stop speed>  is the number of seconds to increment by (1)\n"
    "\n"
    "Example:\tstepclock input.gpl output.gpl 3\n"
    "\t This reads from input.gpl, writes output.gpl, with 3\n"
    "seconds between each data point.\n";

std::vector<GPL_Data_Point> Track(int count) {
    std::vector<GPL_Data_Point> points;
    for (int i = 0; i < count; ++i) {
        points.push_back(FullPoint(40.0 + i * 1e-4, -75.0 - i * 1e-4, i % 7, 1000u + i,
                                   0x55AA0000u + static_cast<unsigned>(i)));
    }
    return points;
}

std::string Expected(const std::string& in, const std::string& out, const std::string& marks,
                     int written) {
    return "Opening " + in + "\nOpening " + out + "\nWorking..." + marks + "done.\nWrote " +
           std::to_string(written) + " data points.\n";
}

class StepclockTest : public ::testing::Test {
  protected:
    // Runs stepclock in the temporary directory; records the clock around the run.
    RunResult Stepclock(const std::vector<std::string>& args, const std::string& tz = "UTC") {
        RunOptions options;
        options.cwd = dir.path();
        options.tz = tz;
        before = static_cast<std::uint32_t>(std::time(nullptr));
        RunResult result = RunTool("stepclock", args, options);
        after = static_cast<std::uint32_t>(std::time(nullptr));
        return result;
    }

    TempDir dir;
    std::uint32_t before = 0;
    std::uint32_t after = 0;
};

TEST_F(StepclockTest, WrongArgumentCountPrintsUsageAndOpensNothing) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"in.gpl"}, {"in.gpl", "out.gpl", "3", "extra"}}) {
        const RunResult result = Stepclock(args);
        EXPECT_EQ(result.out, kUsage);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exit_status, ShellStatus(-3));
    }
    EXPECT_FALSE(FileExists(dir / "out.gpl"));
}

TEST_F(StepclockTest, RestampsFromNowAtTheIntervalAndKeepsEveryOtherByte) {
    struct Case {
        std::string argument;  // empty: no third argument
        std::uint32_t step;
    };
    const Case cases[] = {{"", 1},
                          {"3", 3},
                          {"0x10", 16},
                          {"010", 8},
                          {"0", 0},
                          {"abc", 0},
                          {"-1", 4294967295u},
                          {"-2", 4294967294u},
                          {" +7xyz", 7},
                          {"4294967296", 4294967295u},
                          {"-4294967296", 4294967295u}};
    const std::vector<GPL_Data_Point> track = Track(5);
    WriteFile(dir / "in.gpl", Records(track));
    for (const Case& c : cases) {
        std::vector<std::string> args = {"in.gpl", "out.gpl"};
        if (!c.argument.empty())
            args.push_back(c.argument);
        const RunResult result = Stepclock(args, "America/New_York");
        ASSERT_EQ(result.exit_status, 0) << c.argument;
        EXPECT_EQ(result.out, Expected("in.gpl", "out.gpl", "", 5));
        const std::vector<GPL_Data_Point> out = ParseRecords(ReadFile(dir / "out.gpl"));
        ASSERT_EQ(out.size(), track.size());
        const std::uint32_t start = out[0].Time;
        EXPECT_GE(start, before);
        EXPECT_LE(start, after);
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].Time, static_cast<std::uint32_t>(start + i * c.step))
                << "argument '" << c.argument << "' record " << i;
            GPL_Data_Point restored = out[i];
            restored.Time = track[i].Time;
            EXPECT_EQ(Record(restored), Record(track[i])) << "only bytes 48..51 may change";
        }
    }
}

TEST_F(StepclockTest, ProgressMarksComeAfterThe99thRecordAndPartialRecordsAreDropped) {
    const std::pair<int, std::string> cases[] = {
        {0, ""}, {98, ""}, {99, "."}, {199, ".."}, {250, ".."}};
    for (const auto& [count, marks] : cases) {
        WriteFile(dir / "in.gpl", Records(Track(count)) + std::string(count == 0 ? 0 : 44, 'x'));
        const RunResult result = Stepclock({"in.gpl", "out.gpl", "2"});
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.out, Expected("in.gpl", "out.gpl", marks, count));
        EXPECT_EQ(ReadFile(dir / "out.gpl").size(), 56u * count);
    }
}

TEST_F(StepclockTest, MissingInputFailsWithoutCreatingTheOutput) {
    const RunResult result = Stepclock({"missing.gpl", "out.gpl"});
    EXPECT_EQ(result.out, "Opening missing.gpl\n\"missing.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(result.exit_status, ShellStatus(-1));
    EXPECT_FALSE(FileExists(dir / "out.gpl"));
}

TEST_F(StepclockTest, DirectoryAsInputIsAnOpenFailure) {
    const RunResult result = Stepclock({".", "out.gpl"});
    EXPECT_EQ(result.out, "Opening .\n\".\" - Open Failed!!!\n");
    EXPECT_EQ(result.exit_status, ShellStatus(-1));
    EXPECT_FALSE(FileExists(dir / "out.gpl"));
}

TEST_F(StepclockTest, OutputInMissingDirectoryFails) {
    WriteFile(dir / "in.gpl", Records(Track(3)));
    const RunResult result = Stepclock({"in.gpl", "nodir/out.gpl"});
    EXPECT_EQ(result.out,
              "Opening in.gpl\nOpening nodir/out.gpl\n\"nodir/out.gpl\" - Open Failed!!!\n");
    EXPECT_EQ(result.exit_status, ShellStatus(-2));
}

TEST_F(StepclockTest, RefusesToWriteOverItsInputUnderAnySpelling) {
    const std::string track = Records(Track(3));
    WriteFile(dir / "in.gpl", track);
    ASSERT_EQ(::symlink("in.gpl", (dir / "link.gpl").c_str()), 0);
    ASSERT_EQ(::link((dir / "in.gpl").c_str(), (dir / "hard.gpl").c_str()), 0);
    for (const std::string& output :
         std::vector<std::string>{"in.gpl", "./in.gpl", "link.gpl", "hard.gpl", dir / "in.gpl"}) {
        const RunResult result = Stepclock({"in.gpl", output});
        EXPECT_EQ(result.out,
                  "Opening in.gpl\nOpening " + output + "\n\"" + output + "\" - Open Failed!!!\n");
        EXPECT_EQ(result.exit_status, ShellStatus(-2));
        EXPECT_EQ(ReadFile(dir / "in.gpl"), track) << output;
    }
}

TEST_F(StepclockTest, OutputIsCreatedWithMode0664AndExistingFilesAreCut) {
    WriteFile(dir / "in.gpl", Records(Track(2)));
    RunOptions options;
    options.cwd = dir.path();
    options.umask = 0;
    ASSERT_EQ(RunTool("stepclock", {"in.gpl", "new.gpl"}, options).exit_status, 0);
    EXPECT_EQ(FileMode(dir / "new.gpl"), 0664u);
    options.umask = 027;
    ASSERT_EQ(RunTool("stepclock", {"in.gpl", "masked.gpl"}, options).exit_status, 0);
    EXPECT_EQ(FileMode(dir / "masked.gpl"), 0640u);

    WriteFile(dir / "old.gpl", std::string(5000, 'z'));
    ASSERT_EQ(RunTool("stepclock", {"in.gpl", "old.gpl"}, options).exit_status, 0);
    EXPECT_EQ(ReadFile(dir / "old.gpl").size(), 112u);
}

TEST_F(StepclockTest, FailedWritesAreReportedNotSummarised) {
    WriteFile(dir / "in.gpl", Records(Track(250)));
    const RunResult result = Stepclock({"in.gpl", "/dev/full"});
    // The records fit the write buffer: the failure shows when it is written at the end.
    EXPECT_EQ(result.out,
              "Opening in.gpl\nOpening /dev/full\nWorking.....\n\"/dev/full\" - Write Failed!!!\n");
    EXPECT_EQ(result.exit_status, ShellStatus(-4));

    // Enough records to fill the write buffer inside the loop.
    WriteFile(dir / "big.gpl", Records(Track(5000)));
    const RunResult big = Stepclock({"big.gpl", "/dev/full"});
    EXPECT_EQ(big.exit_status, ShellStatus(-4));
    EXPECT_NE(big.out.find("\n\"/dev/full\" - Write Failed!!!\n"), std::string::npos);
    EXPECT_EQ(big.out.find("done."), std::string::npos);
}

}  // namespace
