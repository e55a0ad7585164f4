// Every program reads every format: run on a GPX, NMEA, CSV, TCX or FIT
// track, a program prints and writes what it does on the GPL track
// trackconvert makes of it; pipes work both ways; idlescan measures the speed a track lacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files.h"
#include "run.h"
#include "tracktools/track/gplfile.h"

namespace {

using namespace testing_support;

const std::string kExamples = std::string(TRACKTOOLS_SOURCE_DIR) + "/examples/";

RunResult RunIn(const TempDir& dir, const std::string& program,
                const std::vector<std::string>& args, const std::string& stdin_text = "") {
    RunOptions options;
    options.cwd = dir.path();
    options.stdin_text = stdin_text;
    return RunTool(program, args, options);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The records of a GPL file with their Time stamps set to 0: stepclock stamps
// from the clock, which may tick between two runs.
std::string WithoutTimes(const std::string& records) {
    std::string bytes = records;
    for (std::size_t at = 48; at + 4 <= bytes.size(); at += gpl::kRecordSize) {
        bytes.replace(at, 4, 4, '\0');
    }
    return bytes;
}

TEST(FormatsEverywhere, EachProgramOnAnyInputEqualsItOnTheConvertedTrack) {
    TempDir dir;
    WriteFile(dir / "drive.gpx", ReadFile(kExamples + "drive.gpx"));
    WriteFile(dir / "drive.nmea", ReadFile(kExamples + "drive.nmea"));
    ASSERT_EQ(RunIn(dir, "trackconvert", {"drive.gpx", "drive.csv"}).exit_status, 0);
    ASSERT_EQ(RunIn(dir, "trackconvert", {"drive.gpx", "drive.tcx"}).exit_status, 0);
    const std::string encoder = std::string(TRACKTOOLS_SOURCE_DIR) + "/tests/fit/fitencode.py";
    ASSERT_EQ(testing_support::Run("/usr/bin/python3",
                                   {encoder, "drive", dir / "drive.gpx", dir / "drive.fit"})
                  .exit_status,
              0);
    const struct {
        const char* program;
        std::vector<std::string> extra;
        bool writes_file;
    } programs[] = {
        {"stepclock", {"2"}, true}, {"pacer", {}, true},     {"pacer", {"30"}, true},
        {"idlescan", {"3"}, true},  {"legsheet", {}, false}, {"trailview", {}, false},
    };
    for (const std::string input :
         {"drive.gpx", "drive.nmea", "drive.csv", "drive.tcx", "drive.fit"}) {
        ASSERT_EQ(RunIn(dir, "trackconvert", {input, "x.gpl"}).exit_status, 0) << input;
        for (const auto& p : programs) {
            SCOPED_TRACE(std::string(p.program) + " " + input);
            std::vector<std::string> direct = {input};
            std::vector<std::string> converted = {"x.gpl"};
            if (p.writes_file) {
                direct.push_back("direct.gpl");
                converted.push_back("converted.gpl");
            }
            direct.insert(direct.end(), p.extra.begin(), p.extra.end());
            converted.insert(converted.end(), p.extra.begin(), p.extra.end());
            const RunResult a = RunIn(dir, p.program, direct);
            const RunResult b = RunIn(dir, p.program, converted);
            EXPECT_EQ(a.exit_status, 0) << a.err;
            EXPECT_EQ(Replaced(Replaced(a.out, input, "x.gpl"), "direct.gpl", "converted.gpl"),
                      b.out);
            if (p.writes_file) {
                const std::string records = ReadFile(dir / "direct.gpl");
                EXPECT_GT(records.size(), 0u);
                EXPECT_EQ(WithoutTimes(records), WithoutTimes(ReadFile(dir / "converted.gpl")));
            }
        }
    }
}

// A phone's GPX without speeds: idlescan takes the speed of the leg that
// leaves each point, as pacer measures it, and so keeps the points of a
// track pacer measured first.
TEST(FormatsEverywhere, IdlescanMeasuresTheSpeedATrackLacks) {
    TempDir dir;
    std::string gpx = ReadFile(kExamples + "drive.gpx");
    for (std::size_t from = gpx.find("<extensions>"); from != std::string::npos;
         from = gpx.find("<extensions>", from)) {
        const std::size_t to = gpx.find("</extensions>", from);
        gpx.erase(from, to + std::string("</extensions>").size() - from);
    }
    WriteFile(dir / "phone.gpx", gpx);
    ASSERT_EQ(RunIn(dir, "idlescan", {"phone.gpx", "stops.gpl"}).exit_status, 0);
    ASSERT_EQ(RunIn(dir, "trackconvert", {"phone.gpx", "phone.gpl"}).exit_status, 0);
    ASSERT_EQ(RunIn(dir, "pacer", {"phone.gpl", "measured.gpl"}).exit_status, 0);
    ASSERT_EQ(RunIn(dir, "idlescan", {"measured.gpl", "expected.gpl"}).exit_status, 0);
    const std::vector<GPL_Data_Point> stops = ParseRecords(ReadFile(dir / "stops.gpl"));
    const std::vector<GPL_Data_Point> expected = ParseRecords(ReadFile(dir / "expected.gpl"));
    ASSERT_EQ(stops.size(), expected.size());
    // More than the first and the last point: the stops of the drive.
    EXPECT_GT(stops.size(), 3u);
    for (std::size_t i = 0; i < stops.size(); ++i) {
        EXPECT_EQ(stops[i].Tag, expected[i].Tag) << i;
        EXPECT_EQ(stops[i].Speed, 0.0) << "written as read: " << i;
    }
}

// "-" is standard input as an input name and standard output as an output
// name; the messages then go to standard error. "./-" is a file.
TEST(FormatsEverywhere, PipesBothWays) {
    TempDir dir;
    const std::string gpx = ReadFile(kExamples + "drive.gpx");
    WriteFile(dir / "drive.gpx", gpx);
    ASSERT_EQ(RunIn(dir, "trackconvert", {"drive.gpx", "file.gpl"}).exit_status, 0);
    const std::string records = ReadFile(dir / "file.gpl");

    // Records are compared as booleans: a difference would print bytes.
    const RunResult in = RunIn(dir, "trackconvert", {"-", "piped.gpl"}, gpx);
    EXPECT_EQ(in.exit_status, 0) << in.err;
    EXPECT_TRUE(ReadFile(dir / "piped.gpl") == records);

    const RunResult out = RunIn(dir, "trackconvert", {"drive.gpx", "-", "-t", "gpl"});
    EXPECT_EQ(out.exit_status, 0) << out.err;
    EXPECT_TRUE(out.out == records);
    EXPECT_NE(out.err.find("Opening -\nWorking..."), std::string::npos) << out.err;

    const RunResult both = RunIn(dir, "pacer", {"-", "-", "30"}, records);
    const RunResult files = RunIn(dir, "pacer", {"file.gpl", "paced.gpl", "30"});
    EXPECT_EQ(both.exit_status, 0) << both.err;
    EXPECT_TRUE(both.out == ReadFile(dir / "paced.gpl"));
    EXPECT_EQ(Replaced(both.err, "Opening -\nOpening -", "Opening file.gpl\nOpening paced.gpl"),
              files.out);

    EXPECT_EQ(RunIn(dir, "legsheet", {"-"}, gpx).out,
              Replaced(RunIn(dir, "legsheet", {"drive.gpx"}).out, "drive.gpx", "-"));

    ASSERT_EQ(RunIn(dir, "trackconvert", {"drive.gpx", "./-", "-t", "gpl"}).exit_status, 0);
    EXPECT_TRUE(ReadFile(dir / "-") == records);

    // The page of a pipe is the page of the file: the input is read once.
    ASSERT_EQ(RunIn(dir, "trackinfo", {"-html", "file.html", "drive.gpx"}).exit_status, 0);
    const RunResult page = RunIn(dir, "trackinfo", {"-html", "pipe.html", "-"}, gpx);
    EXPECT_EQ(page.exit_status, 0) << page.err;
    EXPECT_TRUE(ReadFile(dir / "pipe.html") ==
                Replaced(ReadFile(dir / "file.html"), "drive.gpx", "-"));
}

}  // namespace
