// legsheet run as a user runs it: the exact report, its files and statuses.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

const char kUsage[] =
    "Usage: legsheet [-m] <file1.gpl> ... <fileN.gpl>\n"
    "\t -m = Convert coordinates to degrees:min:sec\n";
const char kHeader[] = "# Latitude, Longitude, Heading, Distance, Speed\n";

// 1609.344 m due north of latitude 0 and of (42.5, -71.25), from
//   echo "0 0 0 1609.344" | GeodSolve -p 15
//   echo "42.5 -71.25 0 1609.344" | GeodSolve -p 15
// (checked back with GeodSolve -i). 1609.344 m are 1.0000463616 of the
// program's miles (x 0.0006214): 60.0028 mph over 60 s.
constexpr double kMileNorthOfEquator = 0.014554415913598;
constexpr double kMileNorthOf42_5 = 42.514487742794991;

// A point whose own Heading (77.25) and Speed (12.5) show on a last line.
GPL_Data_Point At(double latitude, double longitude, std::uint32_t time) {
    return FullPoint(latitude, longitude, 12.5, time);
}

std::string Opening(const std::string& name) {
    return "# Opening " + name + "\n";
}
std::string Done(int count) {
    return "# ... done.  Processed " + std::to_string(count) + " data points.\n";
}

class LegsheetTest : public ::testing::Test {
  protected:
    RunResult Legsheet(const std::vector<std::string>& args, const std::string& stdout_path = "") {
        RunOptions options;
        options.cwd = dir.path();
        options.stdout_path = stdout_path;
        return RunTool("legsheet", args, options);
    }

    TempDir dir;
};

TEST_F(LegsheetTest, UsageWithoutArgumentsAndNothingForALoneSwitch) {
    RunResult r = Legsheet({});
    EXPECT_EQ(r.out, kUsage);
    EXPECT_EQ(r.exit_status, ShellStatus(-3));

    r = Legsheet({"-m"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.exit_status, 0);
}

TEST_F(LegsheetTest, SwitchAppliesToTheFilesAfterIt) {
    WriteFile(dir / "a.gpl", Records({At(0, 0, 1000), At(kMileNorthOfEquator, 0, 1060)}));
    WriteFile(dir / "b.gpl", Records({At(42.5, -71.25, 2000), At(kMileNorthOf42_5, -71.25, 2060)}));
    const RunResult r = Legsheet({"a.gpl", "-m", "b.gpl", "-m"});
    // 42.514487742794991: 30 minutes and 52.15587 seconds.
    EXPECT_EQ(r.out, Opening("a.gpl") + kHeader +
                         "0.00000000, 0.00000000,   0.0000,    1.0000,   60.0028\n"
                         "0.01455442, 0.00000000,  77.2500,    0.0000,   12.5000\n" +
                         Done(2) + Opening("b.gpl") + kHeader +
                         "  42:30:00.0000,  -71:15:00.0000,   0.0000,    1.0000,   60.0028\n"
                         "  42:30:52.1559,  -71:15:00.0000,  77.2500,    0.0000,   12.5000\n" +
                         Done(2));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
}

TEST_F(LegsheetTest, LegsWithoutAFiniteSpeed) {
    WriteFile(dir / "c.gpl", Records({
                                 At(0, 0, 1000),                    // same place, same time
                                 At(0, 0, 1000),                    // a mile, same time
                                 At(kMileNorthOfEquator, 0, 1000),  // a mile south, 60 s earlier
                                 At(0, 0, 940),                     // opposite side of the earth
                                 At(0, 180, 1000),
                             }));
    const RunResult r = Legsheet({"c.gpl"});
    // 0 / 0 is not a number; a mile in 0 s is infinite; a mile in 2^32 - 60 s
    // is 8.4e-7 mph; the antipodal leg is half a meridian over the north pole
    // (GeodSolve -i: 20003931.4586 m, azimuth 0), 12430.4430 miles in 60 s.
    EXPECT_EQ(r.out, Opening("c.gpl") + kHeader +
                         "0.00000000, 0.00000000,   0.0000,    0.0000,       nan\n"
                         "0.00000000, 0.00000000,   0.0000,    1.0000,       inf\n"
                         "0.01455442, 0.00000000, 180.0000,    1.0000,    0.0000\n"
                         "0.00000000, 0.00000000,   0.0000, 12430.4430, 745826.5805\n"
                         "0.00000000, 180.00000000,  77.2500,    0.0000,   12.5000\n" +
                         Done(5));
    EXPECT_EQ(r.exit_status, 0);
}

TEST_F(LegsheetTest, ShortFilesAndFilesThatCannotBeOpened) {
    WriteFile(dir / "empty.gpl", "");
    WriteFile(dir / "one.gpl", Records({At(-0.5, 10.25, 5)}));
    // Three whole records and 20 stray bytes; legs of 0 m in 10 s, on the
    // equator, where the heading of a leg of 0 m is exactly 0.
    WriteFile(dir / "three.gpl",
              Records({At(0, 2.5, 10), At(0, 2.5, 20), At(0, 2.5, 30)}) + std::string(20, '\x33'));
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    const RunResult r =
        Legsheet({"empty.gpl", "missing.gpl", "one.gpl", "-x", "folder", "-m", "three.gpl"});
    const std::string last = ",  77.2500,    0.0000,   12.5000\n";
    EXPECT_EQ(r.out, Opening("empty.gpl") + kHeader + Done(0) + Opening("missing.gpl") +
                         "\"missing.gpl\" - Open Failed!!!\n" + Opening("one.gpl") + kHeader +
                         "-0.50000000, 10.25000000" + last + Done(1) + Opening("-x") +
                         "\"-x\" - Open Failed!!!\n" + Opening("folder") +
                         "\"folder\" - Open Failed!!!\n" + Opening("three.gpl") + kHeader +
                         "   0:00:00.0000,    2:30:00.0000,   0.0000,    0.0000,    0.0000\n"
                         "   0:00:00.0000,    2:30:00.0000,   0.0000,    0.0000,    0.0000\n"
                         "   0:00:00.0000,    2:30:00.0000" +
                         last + Done(3));
    EXPECT_EQ(r.exit_status, ShellStatus(-1));
}

TEST_F(LegsheetTest, ReportThatCannotBeWrittenIsAnError) {
    WriteFile(dir / "a.gpl", Records({At(0, 0, 1000), At(kMileNorthOfEquator, 0, 1060)}));
    RunResult r = Legsheet({"a.gpl"}, "/dev/full");
    EXPECT_EQ(r.err, "legsheet: write error\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));

    // Also when the only thing to say is that a file is missing.
    r = Legsheet({"missing.gpl", "a.gpl"}, "/dev/full");
    EXPECT_EQ(r.err, "legsheet: missing.gpl: No such file or directory\nlegsheet: write error\n");
    EXPECT_EQ(r.exit_status, ShellStatus(-4));
}

}  // namespace
