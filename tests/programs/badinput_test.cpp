// Every program against the same bad inputs: files that are missing, not
// files, empty, cut short, random or full of values that are not numbers,
// outputs that cannot be made or written, and the input named again as the
// output. Each run must end within its time limit, say what went wrong with
// the exit status it promises, and leave its input as it was.
//
// legsheet and trailview write no file: for them the output cases are the
// input in a missing directory, standard output on /dev/full, and the same
// file named twice (also through a symbolic link).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"
#include "tracktools/track/gplfile.h"

namespace {

using namespace testing_support;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTimeLimit = 20;  // seconds; every run here takes well under one

// A program as the matrix calls it. The four file-to-file programs take an
// input and an output name; legsheet and trailview take inputs only.
struct Tool {
    const char* name;
    std::vector<std::string> extra;  // arguments after the file names
    bool writes_file;
    bool reads_text;
    std::string label;  // test name suffix
};

const Tool kTools[] = {
    {"stepclock", {}, true, false, "stepclock"},  {"logpack", {}, true, true, "logpack"},
    {"idlescan", {}, true, false, "idlescan"},    {"pacer", {}, true, false, "pacer"},
    {"pacer", {"60"}, true, false, "pacer_60"},   {"legsheet", {}, false, false, "legsheet"},
    {"trailview", {}, false, false, "trailview"},
};

// Records at three different places, moving, one second apart.
std::vector<GPL_Data_Point> Moving(int count) {
    std::vector<GPL_Data_Point> points;
    for (int i = 0; i < count; ++i) {
        points.push_back(FullPoint(40.0 + i * 1e-3, -75.0, 30.0, 1000u + i, 100u + i));
    }
    return points;
}

// The same three points as listing lines: "<n>:<Tag>, <Latitude>, <Longitude>".
std::string MovingListing(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::to_string(i + 1) + ":" + std::to_string(100 + i) + ", " +
                std::to_string(40.0 + i * 1e-3) + ", -75.0\n";
    }
    return text;
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// Records whose every double is a NaN or an infinity.
std::vector<GPL_Data_Point> NotFinite() {
    std::vector<GPL_Data_Point> points;
    for (std::uint32_t i = 0; i < 3; ++i) {
        GPL_Data_Point point(kNaN, kInf, -kInf, kNaN, kInf, 500u + i, 7u);
        point.Reserved1 = 0xDEADBEEF;
        point.Reserved2 = i;
        points.push_back(point);
    }
    points.back().Heading = -kInf;
    points.back().Speed = kInf;
    return points;
}

bool SameBytes(const std::string& a, const std::string& b, std::size_t record, std::size_t from,
               std::size_t to) {
    const std::size_t at = record * gpl::kRecordSize;
    return a.compare(at + from, to - from, b, at + from, to - from) == 0;
}

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

void PrintTo(const Tool& tool, std::ostream* out) {
    *out << tool.label;
}

class BadInput : public ::testing::TestWithParam<Tool> {
  protected:
    const Tool& tool() const { return GetParam(); }
    bool Named(const char* name) const { return std::strcmp(tool().name, name) == 0; }

    // Runs the tool in the temporary directory on `inputs` (and `output` for
    // the file-to-file programs); checks that it ended.
    RunResult Run(const std::vector<std::string>& inputs, const std::string& output = "out.gpl",
                  const std::string& stdout_path = "") {
        std::vector<std::string> args = inputs;
        if (tool().writes_file) {
            args.push_back(output);
        }
        args.insert(args.end(), tool().extra.begin(), tool().extra.end());
        RunOptions options;
        options.cwd = dir.path();
        options.time_limit_seconds = kTimeLimit;
        options.stdout_path = stdout_path;
        RunResult result = RunTool(tool().name, args, options);
        EXPECT_FALSE(result.timed_out);
        EXPECT_EQ(result.signal, 0);
        return result;
    }

    // What the file-to-file programs print before their files are opened.
    std::string Preamble() const {
        return tool().extra.empty() ? "" : "Setting Speed to 60 mph.\n";
    }

    // A complete run of a file-to-file program that read `read` records (or
    // lines for logpack) and wrote `written` records.
    std::string FrameRun(const std::string& in, std::uint64_t read, std::uint64_t written) const {
        const std::string summary =
            Named("idlescan") ? "Read " + std::to_string(read) + " data points. Wrote " +
                                    std::to_string(written == 0 ? 0 : written - 1) + " stops."
                              : "Wrote " + std::to_string(written) + " data points.";
        return Preamble() + "Opening " + in + "\nOpening out.gpl\nWorking...done.\n" + summary +
               "\n";
    }

    // The report of one file of legsheet around its point lines.
    static std::string Report(const std::string& in, const std::string& lines, int count) {
        return "# Opening " + in + "\n# Latitude, Longitude, Heading, Distance, Speed\n" + lines +
               "# ... done.  Processed " + std::to_string(count) + " data points.\n";
    }

    // trailview's scene of an empty file called `in`: a second opinion on
    // what a file without drawable points gives.
    std::string EmptyScene(const std::string& in) {
        TempDir other;
        WriteFile(other / in, "");
        RunOptions options;
        options.cwd = other.path();
        return RunTool("trailview", {in}, options).out;
    }

    // The header alone: trailview with options and no file.
    std::string SceneHeader() { return RunTool("trailview", {"-sx", "1"}).out; }

    // "<program>: <subject>: <text>", a line on standard error: the reason
    // after a failure line, or a remark on a file.
    std::string Remark(const std::string& subject, const std::string& text) const {
        return std::string(tool().name) + ": " + subject + ": " + text + "\n";
    }
    // What a failure leaves on standard error: its reason, after the failure
    // line itself where the program prints that there (trailview).
    std::string Reason(const std::string& failure_line, const std::string& subject,
                       const std::string& reason) const {
        return (Named("trailview") ? failure_line : "") + Remark(subject, reason);
    }

    // A whole scene of one file: header, groups, and only finite numbers.
    void ExpectSceneOf(const RunResult& result, const std::string& in) {
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.out.compare(0, SceneHeader().size(), SceneHeader()), 0);
        EXPECT_NE(result.out.find("\n# Data from: " + in + "\n"), std::string::npos);
        EXPECT_EQ(Count(result.out, "# Axis\n"), 1u);
        // No viewer opens a scene with "nan" or "inf" in it (the words
        // "info" and "WorldInfo" of the header aside).
        std::string numbers = result.out;
        for (std::size_t at = numbers.find("nfo"); at != std::string::npos;
             at = numbers.find("nfo", at)) {
            numbers.erase(at, 3);
        }
        EXPECT_EQ(numbers.find("nan"), std::string::npos);
        EXPECT_EQ(numbers.find("inf"), std::string::npos);
    }

    // The input's name: a track, or logpack's text listing.
    std::string In() const { return tool().reads_text ? "in.txt" : "in.gpl"; }

    // Input bytes for the GPL programs, or their listing for logpack.
    void Input(const std::string& records, const std::string& listing) {
        input = tool().reads_text ? listing : records;
        WriteFile(dir / In(), input);
    }

    void ExpectInputKept() const {
        EXPECT_EQ(ReadFile(dir / In()), input) << "the input was changed";
    }
    void TearDown() override {
        if (!input.empty()) {
            ExpectInputKept();
        }
    }

    std::string Output() const { return ReadFile(dir / "out.gpl"); }

    TempDir dir;
    std::string input;
};

TEST_P(BadInput, MissingInput) {
    const RunResult result = Run({"missing.gpl"});
    if (tool().writes_file) {
        EXPECT_EQ(result.out,
                  Preamble() + "Opening missing.gpl\n\"missing.gpl\" - Open Failed!!!\n");
        EXPECT_FALSE(FileExists(dir / "out.gpl"));
    } else if (Named("legsheet")) {
        EXPECT_EQ(result.out, "# Opening missing.gpl\n\"missing.gpl\" - Open Failed!!!\n");
    } else {
        EXPECT_EQ(result.out, SceneHeader());
    }
    EXPECT_EQ(result.err, Reason("\"missing.gpl\" - Open Failed!!!\n", "missing.gpl",
                                 "No such file or directory"));
    EXPECT_EQ(result.exit_status, ShellStatus(-1));
    EXPECT_FALSE(FileExists(dir / "missing.gpl"));
}

TEST_P(BadInput, DirectoryAsInput) {
    ASSERT_EQ(::mkdir((dir / In()).c_str(), 0755), 0);
    const RunResult result = Run({In()});
    EXPECT_EQ(result.exit_status, ShellStatus(-1));
    if (tool().writes_file) {
        EXPECT_EQ(result.out,
                  Preamble() + "Opening " + In() + "\n\"" + In() + "\" - Open Failed!!!\n");
        EXPECT_FALSE(FileExists(dir / "out.gpl"));
    } else if (Named("legsheet")) {
        EXPECT_EQ(result.out, "# Opening " + In() + "\n\"" + In() + "\" - Open Failed!!!\n");
    } else {
        // Opened, but nothing can be read: the groups are finished so the
        // scene stays valid, then the run stops.
        EXPECT_EQ(result.out, EmptyScene(In()));
    }
    EXPECT_EQ(result.err, Reason("\"in.gpl\" - Read Failed!!!\n", In(), "Is a directory"));
    struct stat info;
    EXPECT_TRUE(::stat((dir / In()).c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

// An empty input, and one of a single byte (no whole record, a line without
// a point), give a track without points.
TEST_P(BadInput, EmptyAndOneByteInputs) {
    for (const std::string& bytes : {std::string(), std::string("7")}) {
        SCOPED_TRACE(bytes.size());
        Input(bytes, bytes);
        const RunResult result = Run({In()});
        EXPECT_EQ(result.exit_status, 0);
        if (tool().writes_file) {
            EXPECT_EQ(result.out, FrameRun(In(), 0, Named("idlescan") ? 1 : 0));
            // idlescan writes the last record read, a zero record when there is none.
            EXPECT_EQ(Output(), Named("idlescan") ? std::string(gpl::kRecordSize, '\0') : "");
        } else if (Named("legsheet")) {
            EXPECT_EQ(result.out, Report(In(), "", 0));
        } else {
            EXPECT_EQ(result.out, EmptyScene(In()));
        }
        ExpectInputKept();
    }
}

TEST_P(BadInput, PartialTrailingRecord) {
    const std::vector<GPL_Data_Point> points = Moving(3);
    Input(Records(points) + std::string(20, '\x5A'), MovingListing(2) + "3:102, 40.5");
    const RunResult result = Run({In()});
    EXPECT_EQ(result.exit_status, 0);
    if (Named("logpack")) {
        // The cut line lacks its longitude: two points.
        EXPECT_EQ(result.out, FrameRun(In(), 3, 2));
        EXPECT_EQ(Output().size(), 2 * gpl::kRecordSize);
    } else if (Named("idlescan")) {
        // Always moving: the first and the last record.
        EXPECT_EQ(result.out, FrameRun(In(), 3, 2));
        EXPECT_EQ(Output(), Record(points[0]) + Record(points[2]));
    } else if (tool().writes_file) {
        EXPECT_EQ(result.out, FrameRun(In(), 3, 3));
        const std::string output = Output();
        ASSERT_EQ(output.size(), 3 * gpl::kRecordSize);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_TRUE(SameBytes(output, input, i, 0, 32)) << i;  // Tag to Altitude
        }
    } else if (Named("legsheet")) {
        EXPECT_EQ(Count(result.out, "\n"), 3u + 3u);
        EXPECT_NE(result.out.find("# ... done.  Processed 3 data points.\n"), std::string::npos);
    } else {
        ExpectSceneOf(result, In());
        EXPECT_EQ(Count(result.out, ",\t# "), 3u);  // one vertex line per record
    }
    EXPECT_EQ(result.err, Named("logpack")
                              ? ""
                              : Remark(In(), "partial record of 20 bytes at the end ignored"));
}

// Random bytes: 40 records of them and 13 more. Every program reads them as
// records whatever they hold; logpack takes them as lines.
TEST_P(BadInput, RandomBytes) {
    const std::string bytes = RandomBytes(40 * gpl::kRecordSize + 13, 8);
    Input(bytes, bytes);
    const RunResult result = Run({In()});
    EXPECT_EQ(result.exit_status, 0);
    const std::string output = tool().writes_file ? Output() : "";
    if (Named("logpack")) {
        // Whatever it took for points, the summary counts what is in the file.
        ASSERT_EQ(output.size() % gpl::kRecordSize, 0u);
        const std::uint64_t written = output.size() / gpl::kRecordSize;
        EXPECT_NE(result.out.find("\nWrote " + std::to_string(written) + " data points.\n"),
                  std::string::npos);
    } else if (Named("idlescan")) {
        // The first record, stop starts, the last record, each copied whole.
        ASSERT_GE(output.size(), 2 * gpl::kRecordSize);
        ASSERT_EQ(output.size() % gpl::kRecordSize, 0u);
        const std::uint64_t written = output.size() / gpl::kRecordSize;
        EXPECT_EQ(result.out, FrameRun(In(), 40, written));
        EXPECT_EQ(output.substr(0, gpl::kRecordSize), input.substr(0, gpl::kRecordSize));
        EXPECT_EQ(output.substr(output.size() - gpl::kRecordSize),
                  input.substr(39 * gpl::kRecordSize, gpl::kRecordSize));
        for (std::size_t at = 0; at < output.size(); at += gpl::kRecordSize) {
            EXPECT_NE(input.find(output.substr(at, gpl::kRecordSize)), std::string::npos);
        }
    } else if (tool().writes_file) {
        EXPECT_EQ(result.out, FrameRun(In(), 40, 40));
        ASSERT_EQ(output.size(), 40 * gpl::kRecordSize);
        for (std::size_t i = 0; i < 40; ++i) {
            if (Named("stepclock")) {
                EXPECT_TRUE(SameBytes(output, input, i, 0, 48) &&
                            SameBytes(output, input, i, 52, 56));
            } else if (tool().extra.empty()) {
                // Measured speed: only Heading and Speed change, not in the last record.
                EXPECT_TRUE(SameBytes(output, input, i, 0, 32) &&
                            SameBytes(output, input, i, 48, 56));
                EXPECT_TRUE(i < 39 || SameBytes(output, input, i, 0, 56));
            } else {
                // Constant speed: only Speed and Time change, Speed not in the
                // last record and Time not in the first.
                EXPECT_TRUE(SameBytes(output, input, i, 0, 40) &&
                            SameBytes(output, input, i, 52, 56));
                EXPECT_TRUE(i < 39 || SameBytes(output, input, i, 40, 48));
                EXPECT_TRUE(i > 0 || SameBytes(output, input, i, 48, 52));
            }
        }
    } else if (Named("legsheet")) {
        EXPECT_EQ(Count(result.out, "\n"), 40u + 3u);
        EXPECT_NE(result.out.find("# ... done.  Processed 40 data points.\n"), std::string::npos);
        EXPECT_EQ(result.out.find("-nan"), std::string::npos);
    } else {
        // Points that are not finite are left out.
        ExpectSceneOf(result, In());
        EXPECT_LE(Count(result.out, ",\t# "), 40u);
    }
    if (!Named("logpack")) {
        EXPECT_EQ(result.err, Remark(In(), "partial record of 13 bytes at the end ignored"));
    }
}

TEST_P(BadInput, RecordsOfNaNsAndInfinities) {
    const std::vector<GPL_Data_Point> points = NotFinite();
    Input(Records(points),
          "1:7, nan, inf, 12-Sep-2002, 10:20:30, nan, inf, -inf\n"
          "2:7, -nan, -inf, 12-Sep-2002, 10:20:30, -infinity, NAN, INF\n"
          "3:7, nan, inf\n");
    const RunResult result = Run({In()});
    EXPECT_EQ(result.exit_status, 0);
    const std::string output = tool().writes_file ? Output() : "";
    if (Named("logpack")) {
        EXPECT_EQ(result.out, FrameRun(In(), 4, 3));
        const std::vector<GPL_Data_Point> read = ParseRecords(output);
        ASSERT_EQ(read.size(), 3u);
        EXPECT_TRUE(std::isnan(read[0].Latitude) && read[0].Longitude == kInf);
        EXPECT_TRUE(std::isnan(read[0].Heading) && read[0].Speed == kInf);
        EXPECT_EQ(read[0].Altitude, -kInf);
        EXPECT_EQ(read[0].Time, 1031826030u);  // 2002-09-12 10:20:30 UTC
        EXPECT_TRUE(std::isnan(read[1].Latitude) && read[1].Longitude == -kInf);
        EXPECT_TRUE(read[1].Heading == -kInf && std::isnan(read[1].Speed));
        EXPECT_EQ(read[1].Altitude, kInf);
        EXPECT_EQ(read[2].Time, 0u);
    } else if (Named("idlescan")) {
        // No infinite speed is at or below 0, no NaN latitude equals another:
        // the first record, and the last as the end of the track.
        EXPECT_EQ(result.out, FrameRun(In(), 3, 2));
        EXPECT_EQ(output, Record(points[0]) + Record(points[2]));
    } else if (Named("stepclock")) {
        EXPECT_EQ(result.out, FrameRun(In(), 3, 3));
        ASSERT_EQ(output.size(), input.size());
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_TRUE(SameBytes(output, input, i, 0, 48) && SameBytes(output, input, i, 52, 56));
        }
    } else if (Named("pacer")) {
        EXPECT_EQ(result.out, FrameRun(In(), 3, 3));
        const std::vector<GPL_Data_Point> written = ParseRecords(output);
        ASSERT_EQ(written.size(), 3u);
        for (std::size_t i = 0; i < 2; ++i) {
            if (tool().extra.empty()) {
                // A leg without a length has no speed and no heading.
                EXPECT_TRUE(std::isnan(written[i].Speed) && std::isnan(written[i].Heading));
                EXPECT_EQ(written[i + 1].Time, points[i + 1].Time);
            } else {
                // ... and takes no time to which a number of seconds can be given.
                EXPECT_EQ(written[i].Speed, 60.0);
                EXPECT_EQ(written[i + 1].Time, 0u);
            }
        }
        EXPECT_EQ(Record(written[2]).substr(0, 48), Record(points[2]).substr(0, 48));
        EXPECT_EQ(written[0].Time, points[0].Time);
    } else if (Named("legsheet")) {
        // Legs between such points measure nothing; the last line shows the
        // record's own Heading and Speed. Never "-nan".
        const std::string leg = "nan, inf,      nan,       nan,       nan\n";
        EXPECT_EQ(result.out,
                  Report(In(), leg + leg + "nan, inf,     -inf,    0.0000,       inf\n", 3));
    } else {
        // None of them has a place in the scene: drawn like an empty file.
        EXPECT_EQ(result.out, EmptyScene(In()));
    }
    EXPECT_EQ(result.err, "");
}

TEST_P(BadInput, TrackOfOnePoint) {
    GPL_Data_Point point = FullPoint(42.5, -71.25, 12.3456, 5000u);
    point.Heading = 45.1234;
    Input(Record(point), "1:9, 42.5, -71.25\n");
    const RunResult result = Run({In()});
    EXPECT_EQ(result.exit_status, 0);
    const std::string output = tool().writes_file ? Output() : "";
    if (Named("logpack")) {
        EXPECT_EQ(result.out, FrameRun(In(), 2, 1));
        ASSERT_EQ(ParseRecords(output).size(), 1u);
        EXPECT_EQ(ParseRecords(output)[0].Tag, 9u);
    } else if (Named("idlescan")) {
        // The first point, and the same point again as the last.
        EXPECT_EQ(result.out, FrameRun(In(), 1, 2));
        EXPECT_EQ(output, input + input);
    } else if (Named("stepclock")) {
        EXPECT_EQ(result.out, FrameRun(In(), 1, 1));
        ASSERT_EQ(output.size(), gpl::kRecordSize);
        EXPECT_TRUE(SameBytes(output, input, 0, 0, 48) && SameBytes(output, input, 0, 52, 56));
    } else if (Named("pacer")) {
        // No leg: the point is copied as it is.
        EXPECT_EQ(result.out, FrameRun(In(), 1, 1));
        EXPECT_EQ(output, input);
    } else if (Named("legsheet")) {
        EXPECT_EQ(result.out,
                  Report(In(), "42.50000000, -71.25000000,  45.1234,    0.0000,   12.3456\n", 1));
    } else {
        ExpectSceneOf(result, In());
        EXPECT_EQ(Count(result.out, ",\t# "), 1u);
        EXPECT_NE(result.out.find("\n0  0\t 0,\t# 1\n"), std::string::npos);
    }
    EXPECT_EQ(result.err, "");
}

TEST_P(BadInput, OutputInAMissingDirectory) {
    Input(Records(Moving(3)), MovingListing(3));
    if (tool().writes_file) {
        const RunResult result = Run({In()}, "nodir/out.gpl");
        EXPECT_EQ(result.out, Preamble() + "Opening " + In() +
                                  "\nOpening nodir/out.gpl\n"
                                  "\"nodir/out.gpl\" - Open Failed!!!\n");
        EXPECT_EQ(result.err, Remark("nodir/out.gpl", "No such file or directory"));
        EXPECT_EQ(result.exit_status, ShellStatus(-2));
    } else {
        // The other files are still reported; the run fails.
        const RunResult result = Run({"nodir/in.gpl", In()});
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
        if (Named("legsheet")) {
            const std::string failure =
                "# Opening nodir/in.gpl\n\"nodir/in.gpl\" - Open Failed!!!\n# Opening in.gpl\n";
            EXPECT_EQ(result.out.compare(0, failure.size(), failure), 0) << result.out;
            EXPECT_NE(result.out.find("# ... done.  Processed 3 data points.\n"),
                      std::string::npos);
        } else {
            // trailview stops at the first file it cannot open.
            EXPECT_EQ(result.out, SceneHeader());
        }
        EXPECT_EQ(result.err, Reason("\"nodir/in.gpl\" - Open Failed!!!\n", "nodir/in.gpl",
                                     "No such file or directory"));
    }
    EXPECT_FALSE(FileExists(dir / "nodir"));
}

TEST_P(BadInput, OutputOnAFullDevice) {
    Input(Records(Moving(3)), MovingListing(3));
    if (tool().writes_file) {
        const RunResult result = Run({In()}, "/dev/full");
        EXPECT_EQ(result.out, Preamble() + "Opening " + In() +
                                  "\nOpening /dev/full\nWorking...\n"
                                  "\"/dev/full\" - Write Failed!!!\n");
        EXPECT_EQ(result.err, Remark("/dev/full", "No space left on device"));
        EXPECT_EQ(result.exit_status, ShellStatus(-4));
    }
    // Messages that cannot be written fail the run, although the output file
    // itself is complete.
    const RunResult result = Run({In()}, "out.gpl", "/dev/full");
    EXPECT_EQ(result.err, std::string(tool().name) + ": write error\n");
    EXPECT_EQ(result.exit_status, ShellStatus(-4));
    if (tool().writes_file) {
        EXPECT_EQ(Output().size(), (Named("idlescan") ? 2 : 3) * gpl::kRecordSize);
    }
}

// A file that opens but cannot be read (the kernel refuses to read the first
// page of a process's memory) is a failed input, not an empty track.
TEST_P(BadInput, ReadErrorIsNotTheEndOfTheTrack) {
    const std::string unreadable = "/proc/self/mem";
    const RunResult result = Run({unreadable});
    EXPECT_EQ(result.exit_status, ShellStatus(-1));
    const std::string failure = "\"" + unreadable + "\" - Read Failed!!!\n";
    if (tool().writes_file) {
        EXPECT_EQ(result.out, Preamble() + "Opening " + unreadable +
                                  "\nOpening out.gpl\nWorking...\n" + failure);
    } else if (Named("legsheet")) {
        EXPECT_EQ(result.out, "# Opening " + unreadable +
                                  "\n# Latitude, Longitude, Heading, Distance, Speed\n" + failure);
    } else {
        EXPECT_EQ(Count(result.out, "# Data from: " + unreadable + "\n"), 1u);
        EXPECT_EQ(Count(result.out, "# Axis\n"), 1u);
    }
    EXPECT_EQ(result.err, Reason(failure, unreadable, "Input/output error"));
}

// The same file as input and output would lose the track: refused, under its
// own name and through a symbolic link. legsheet and trailview read a file
// named twice twice, the second time as if it were the first.
TEST_P(BadInput, InputNamedAgainAsOutput) {
    Input(Records(Moving(3)), MovingListing(3));
    ASSERT_EQ(::symlink(In().c_str(), (dir / "link.gpl").c_str()), 0);
    for (const std::string& again : {In(), std::string("link.gpl")}) {
        SCOPED_TRACE(again);
        if (tool().writes_file) {
            const RunResult result = Run({In()}, again);
            EXPECT_EQ(result.out, Preamble() + "Opening " + In() + "\nOpening " + again + "\n\"" +
                                      again + "\" - Open Failed!!!\n");
            EXPECT_EQ(result.err, Remark(again, "is the input file"));
            EXPECT_EQ(result.exit_status, ShellStatus(-2));
        } else {
            const RunResult once = Run({In()});
            const RunResult twice = Run({In(), again});
            EXPECT_EQ(twice.exit_status, 0);
            std::string expected = once.out + Run({again}).out;
            if (Named("trailview")) {
                expected = once.out + Run({again}).out.substr(SceneHeader().size());
            }
            EXPECT_EQ(twice.out, expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryProgram, BadInput, ::testing::ValuesIn(kTools),
                         [](const ::testing::TestParamInfo<Tool>& info) {
                             return info.param.label;
                         });

// The programs that write a file, for the cases of their output alone.
class BadOutput : public BadInput {};

std::vector<Tool> FileWriters() {
    std::vector<Tool> writers;
    for (const Tool& tool : kTools) {
        if (tool.writes_file) {
            writers.push_back(tool);
        }
    }
    return writers;
}

// An output that is the program's own standard output would get the
// messages mixed into its records: refused like the input, and untouched.
TEST_P(BadOutput, OutputThatIsStandardOutput) {
    Input(Records(Moving(3)), MovingListing(3));
    const RunResult result = Run({In()}, "/dev/stdout", dir / "messages.txt");
    EXPECT_EQ(result.exit_status, ShellStatus(-2));
    // The messages alone, no record among them.
    EXPECT_EQ(ReadFile(dir / "messages.txt"),
              Preamble() + "Opening " + In() +
                  "\nOpening /dev/stdout\n\"/dev/stdout\" - Open Failed!!!\n");
    EXPECT_EQ(result.err, Remark("/dev/stdout", "is this program's standard output"));
}

INSTANTIATE_TEST_SUITE_P(FileWritingPrograms, BadOutput, ::testing::ValuesIn(FileWriters()),
                         [](const ::testing::TestParamInfo<Tool>& info) {
                             return info.param.label;
                         });

// logpack reads text: binary garbage, zero bytes, CRLF line ends and a line
// of 100 KB must neither stop it nor make it invent points.
class LogpackBadText : public ::testing::Test {
  protected:
    RunResult Logpack(const std::string& text) {
        WriteFile(dir / "in.txt", text);
        RunOptions options;
        options.cwd = dir.path();
        options.time_limit_seconds = kTimeLimit;
        RunResult result = RunTool("logpack", {"in.txt", "out.gpl"}, options);
        EXPECT_FALSE(result.timed_out);
        EXPECT_EQ(ReadFile(dir / "in.txt"), text);
        return result;
    }
    static std::string Summary(std::uint64_t passes, std::uint64_t written) {
        std::string marks;
        for (std::uint64_t pass = 1; pass <= passes; ++pass) {
            if ((pass + 1) % 100 == 0) {
                marks += ".";
            }
        }
        return "Opening in.txt\nOpening out.gpl\nWorking..." + marks + "done.\nWrote " +
               std::to_string(written) + " data points.\n";
    }
    std::vector<std::uint32_t> Tags() const {
        std::vector<std::uint32_t> tags;
        for (const GPL_Data_Point& point : ParseRecords(ReadFile(dir / "out.gpl"))) {
            tags.push_back(point.Tag);
        }
        return tags;
    }
    TempDir dir;
};

TEST_F(LogpackBadText, BinaryGarbageAroundAPoint) {
    // Bytes of every value but the colon, so that no garbage line can be a
    // point, with line ends among them.
    std::string garbage = RandomBytes(20000, 3);
    for (char& byte : garbage) {
        if (byte == ':') {
            byte = '\xFF';
        }
    }
    const std::size_t lines = Count(garbage, "\n");
    const RunResult result =
        Logpack(garbage.substr(0, 10000) + "\n5:55, 1.5, 2.5\n" + garbage.substr(10000));
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, Summary(lines + 3, 1));
    EXPECT_EQ(Tags(), std::vector<std::uint32_t>{55});
}

TEST_F(LogpackBadText, ZeroBytesEndTheTextOfTheirLine) {
    const RunResult result = Logpack(std::string("1:11, 40.5, -75.25\0junk\n", 24) +
                                     std::string("2:22\0, 40.5, -75.25\n", 20) +
                                     std::string("\0\0\0\n", 4) + "3:33, 41.5, -76.25\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, Summary(5, 2));
    EXPECT_EQ(Tags(), (std::vector<std::uint32_t>{11, 33}));
}

TEST_F(LogpackBadText, CrlfLineEnds) {
    const RunResult result = Logpack(
        "1:1, 40.5, -75.25, 12-Sep-2002, 10:20:30,  90.00, 12.34500, 1234.50000\r\n"
        "\r\n"
        "2:2, 41.5, -76.25\r\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, Summary(4, 2));
    const std::vector<GPL_Data_Point> points = ParseRecords(ReadFile(dir / "out.gpl"));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].Time, 1031826030u);
    EXPECT_EQ(points[0].Altitude, 1234.5);
    EXPECT_EQ(points[1].Longitude, -76.25);
}

TEST_F(LogpackBadText, HundredKilobyteLine) {
    // A point, then 100 KB of text in which every 510 characters would be a
    // point of its own if the rest of the line were taken as further lines.
    std::string block = "2:2, 1.5, 2.5";
    block.resize(510, ' ');
    std::string line = "1:1, 40.5, -75.25";
    line.resize(510, ' ');
    while (line.size() < 100 * 1024) {
        line += block;
    }
    const RunResult result = Logpack(line + "\n3:3, 41.5, -76.25\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, Summary(3, 2));
    EXPECT_EQ(Tags(), (std::vector<std::uint32_t>{1, 3}));
}

}  // namespace
