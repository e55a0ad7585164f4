// logpack run as a user runs it: text listings in, GPL records, messages and
// exit values out. Expected time stamps come from `date -d` with the zone in TZ.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using testing_support::FileExists;
using testing_support::ParseRecords;
using testing_support::ReadFile;
using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::RunTool;
using testing_support::ShellStatus;
using testing_support::TempDir;
using testing_support::WriteFile;

const char kOpening[] = "Opening in.txt\nOpening out.gpl\n";

// Runs logpack in `dir` on in.txt holding `listing`, writing out.gpl.
RunResult Pack(const TempDir& dir, const std::string& listing, const std::string& zone = "UTC") {
    WriteFile(dir / "in.txt", listing);
    RunOptions options;
    options.cwd = dir.path();
    options.tz = zone;
    return RunTool("logpack", {"in.txt", "out.gpl"}, options);
}

std::string Lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += line + "\n";
    }
    return text;
}

TEST(Logpack, PacksAcceptedLinesInOrderAndSkipsTheRest) {
    TempDir dir;
    WriteFile(dir / "out.gpl", std::string(1000, 'x'));  // cut to length 0 first
    const RunResult run =
        Pack(dir,
             "7:3, 40.50000000, -75.25000000, 12-Sep-2002, 10:20:30,  90.00, 12.34500, 1234.50000\n"
             "# heading line\n"
             "\n"
             "8:4,-1.5,2.25\n");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, std::string(kOpening) + "Working...done.\nWrote 2 data points.\n");
    EXPECT_EQ(run.err, "");

    const std::string bytes = ReadFile(dir / "out.gpl");
    ASSERT_EQ(bytes.size(), 112u);
    const std::vector<GPL_Data_Point> points = ParseRecords(bytes);
    EXPECT_EQ(points[0].Tag, 3u);
    EXPECT_EQ(points[0].Latitude, 40.5);
    EXPECT_EQ(points[0].Longitude, -75.25);
    EXPECT_EQ(points[0].Heading, 90.0);
    EXPECT_EQ(points[0].Speed, 12.345);
    EXPECT_EQ(points[0].Altitude, 1234.5);
    EXPECT_EQ(points[0].Time, 1031826030u);
    // Only the number, Tag and position: the rest stays zero.
    EXPECT_EQ(points[1].Tag, 4u);
    EXPECT_EQ(points[1].Latitude, -1.5);
    EXPECT_EQ(points[1].Longitude, 2.25);
    EXPECT_EQ(points[1].Heading, 0.0);
    EXPECT_EQ(points[1].Speed, 0.0);
    EXPECT_EQ(points[1].Altitude, 0.0);
    EXPECT_EQ(points[1].Time, 0u);
    for (const GPL_Data_Point& point : points) {
        EXPECT_EQ(point.Reserved1, 0u);
        EXPECT_EQ(point.Reserved2, 0u);
    }
}

TEST(Logpack, ReadsTimesInTheLocalZoneWithItsDaylightSavingTime) {
    const std::string listing =
        "1:1,0,0,12-Jul-2002,10:20:30\n"
        "2:2,0,0,12-Jan-2002,10:20:30\n"
        "3:3,0,0,12-Dec-2002,10:20:30\n";
    struct Case {
        const char* zone;
        std::vector<std::uint32_t> times;
    };
    for (const Case& c : {Case{"America/New_York", {1026483630u, 1010848830u, 1039706430u}},
                          Case{"Europe/Berlin", {1026462030u, 1010827230u, 1039684830u}}}) {
        TempDir dir;
        const RunResult run = Pack(dir, listing, c.zone);
        EXPECT_EQ(run.exit_status, 0) << c.zone;
        const std::vector<GPL_Data_Point> points = ParseRecords(ReadFile(dir / "out.gpl"));
        ASSERT_EQ(points.size(), 3u) << c.zone;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(points[i].Time, c.times[i]) << c.zone << " line " << i + 1;
        }
    }
}

TEST(Logpack, TakesCrlfLineEndsAndALastLineWithoutNewline) {
    TempDir dir;
    const RunResult run = Pack(dir,
                               "1:1,1.5,2.5,12-Sep-2002,10:20:30,90,12.345,1234.5\r\n"
                               "# comment\r\n"
                               "\r\n"
                               "2:2,3.5,4.5\r\n"
                               "3:3,5.5,6.5,12-Sep-2002, 10:20:30, 1, 2, 3");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, std::string(kOpening) + "Working...done.\nWrote 3 data points.\n");
    const std::vector<GPL_Data_Point> points = ParseRecords(ReadFile(dir / "out.gpl"));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].Altitude, 1234.5);
    EXPECT_EQ(points[0].Time, 1031826030u);
    EXPECT_EQ(points[1].Longitude, 4.5);
    EXPECT_EQ(points[1].Time, 0u);
    EXPECT_EQ(points[2].Tag, 3u);
    EXPECT_EQ(points[2].Altitude, 3.0);
    EXPECT_EQ(points[2].Time, 1031826030u);
}

TEST(Logpack, MarksProgressByPassesNotByRecords) {
    struct Case {
        std::string listing;
        const char* marks;
        const char* written;
    };
    // A final newline adds one pass that reads the empty end of the input.
    const std::string junk = "not a point";
    const std::string point = "1:2,3,4";
    for (const Case& c : {
             Case{"", "", "0"},                             // empty input, empty output
             Case{Lines(98, junk) + junk, ".", "0"},        // 99 passes
             Case{Lines(98, junk), ".", "0"},               // 98 lines and the end
             Case{Lines(97, junk) + junk, "", "0"},         // 98 passes
             Case{Lines(198, point) + point, "..", "199"},  // 199 passes
             Case{Lines(197, point) + point, ".", "198"},   // 198 passes
         }) {
        TempDir dir;
        const RunResult run = Pack(dir, c.listing);
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.out, std::string(kOpening) + "Working..." + c.marks + "done.\nWrote " +
                               c.written + " data points.\n")
            << c.listing.size();
        EXPECT_EQ(ReadFile(dir / "out.gpl").size(), 56 * std::stoul(c.written));
    }
}

TEST(Logpack, KeepsTheFirst510CharactersOfALongLineAndDropsTheRest) {
    // The altitude "1234.5" is cut after "12" by the 510-character limit; the
    // rest of that line, itself shaped like a point, must not become a record.
    std::string head = "1:5,1.5,2.5,12-Sep-2002,10:20:30,90,12.345,";
    std::string line = head + std::string(508 - head.size(), ' ') + "12" + "34.5";
    ASSERT_EQ(line.find("1234.5"), 508u);
    line += std::string(600, ' ') + "2:9,3.5,4.5";
    TempDir dir;
    const RunResult run = Pack(dir, line + "\n3:7,5.5,6.5\n");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, std::string(kOpening) + "Working...done.\nWrote 2 data points.\n");
    const std::vector<GPL_Data_Point> points = ParseRecords(ReadFile(dir / "out.gpl"));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].Tag, 5u);
    EXPECT_EQ(points[0].Altitude, 12.0);
    EXPECT_EQ(points[1].Tag, 7u);
    EXPECT_EQ(points[1].Latitude, 5.5);

    // A long last line without a newline still ends the run.
    TempDir tail_dir;
    const RunResult tail = Pack(tail_dir, "3:7,5.5,6.5\n" + std::string(5000, 'y'));
    EXPECT_EQ(tail.exit_status, 0);
    EXPECT_EQ(ReadFile(tail_dir / "out.gpl").size(), 56u);
}

TEST(Logpack, AZeroByteEndsTheTextOfItsLineOnly) {
    TempDir dir;
    const RunResult run = Pack(dir, std::string("1:5,1.5,2.5\0garbage\n", 20) +
                                        std::string("2:6,1.5\0,2.5\n", 13) + "3:7,5.5,6.5\n");
    EXPECT_EQ(run.exit_status, 0);
    const std::vector<GPL_Data_Point> points = ParseRecords(ReadFile(dir / "out.gpl"));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].Tag, 5u);
    EXPECT_EQ(points[0].Longitude, 2.5);
    EXPECT_EQ(points[1].Tag, 7u);
}

TEST(Logpack, RefusesToWriteOverItsInput) {
    TempDir dir;
    const std::string listing = "1:5,1.5,2.5\n";
    WriteFile(dir / "in.txt", listing);
    RunOptions options;
    options.cwd = dir.path();
    for (const char* output : {"in.txt", "./in.txt"}) {
        const RunResult run = RunTool("logpack", {"in.txt", output}, options);
        EXPECT_EQ(run.exit_status, ShellStatus(-2)) << output;
        EXPECT_EQ(run.out, std::string("Opening in.txt\nOpening ") + output + "\n\"" + output +
                               "\" - Open Failed!!!\n");
        EXPECT_EQ(ReadFile(dir / "in.txt"), listing) << output;
    }
}

TEST(Logpack, ReportsAFailedWriteAtTheFirstRecord) {
    // Each record is flushed as it is written, so the full device refuses the
    // first one, before any progress mark of the 300 lines.
    TempDir dir;
    WriteFile(dir / "in.txt", Lines(300, "1:5,1.5,2.5"));
    RunOptions options;
    options.cwd = dir.path();
    const RunResult run = RunTool("logpack", {"in.txt", "/dev/full"}, options);
    EXPECT_EQ(run.exit_status, ShellStatus(-4));
    EXPECT_EQ(run.out,
              "Opening in.txt\nOpening /dev/full\nWorking...\n\"/dev/full\" - Write Failed!!!\n");
}

TEST(Logpack, UsageAndOpenFailures) {
    TempDir dir;
    WriteFile(dir / "in.txt", "1:5,1.5,2.5\n");
    RunOptions options;
    options.cwd = dir.path();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"in.txt"}, {"in.txt", "out.gpl", "extra"}}) {
        const RunResult run = RunTool("logpack", args, options);
        EXPECT_EQ(run.exit_status, ShellStatus(-3)) << args.size();
        EXPECT_EQ(run.out, "Usage: logpack <input file.TXT> <output file.GPL>\n");
        EXPECT_FALSE(FileExists(dir / "out.gpl"));
    }

    const RunResult missing = RunTool("logpack", {"missing.txt", "out.gpl"}, options);
    EXPECT_EQ(missing.exit_status, ShellStatus(-1));
    EXPECT_EQ(missing.out, "Opening missing.txt\n\"missing.txt\" - Open Failed!!!\n");
    EXPECT_FALSE(FileExists(dir / "out.gpl"));

    const RunResult no_dir = RunTool("logpack", {"in.txt", "nodir/out.gpl"}, options);
    EXPECT_EQ(no_dir.exit_status, ShellStatus(-2));
    EXPECT_EQ(no_dir.out,
              "Opening in.txt\nOpening nodir/out.gpl\n\"nodir/out.gpl\" - Open Failed!!!\n");
}

}  // namespace
