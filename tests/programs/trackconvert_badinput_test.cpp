// trackconvert against bad inputs and outputs: files that are empty, cut
// short, not of their format or built to exhaust a parser; logs full of
// noise; CSV files that break their rules; outputs that cannot be made or
// written. No run may crash or hang, none may grow its memory with the
// input, every failure says why, and no failure leaves a half-written
// output behind or changes a file that had the output's name.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

constexpr double kTimeLimit = 30;  // seconds; each run here takes well under a few

// "Opening ..." twice and "Working..." up to where the run failed.
std::string Failed(const std::string& in, const std::string& out, const std::string& line) {
    return "Opening " + in + "\nOpening " + out + "\nWorking...\n\"" + line + "\n";
}

class TrackconvertBadInput : public ::testing::Test {
  protected:
    RunResult Convert(const std::vector<std::string>& args) {
        RunOptions options;
        options.cwd = dir.path();
        options.time_limit_seconds = kTimeLimit;
        RunResult result = RunTool("trackconvert", args, options);
        EXPECT_FALSE(result.timed_out);
        EXPECT_EQ(result.signal, 0);
        return result;
    }

    // One run with its output thrown away: its exit status as the shell sees
    // it, and its peak resident memory in KiB.
    struct Peak {
        int exit_status = -1;
        long kib = 0;
    };
    Peak Measure(const std::vector<std::string>& args) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (::chdir(dir.path().c_str()) != 0) {
                _exit(127);
            }
            std::vector<std::string> strings = {ToolPath("trackconvert")};
            strings.insert(strings.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& s : strings) {
                argv.push_back(s.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(pid, &status, 0, &usage);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
    }

    // A regular file of `size` bytes whose bytes are all `filler`, written
    // in blocks; `head` at the start, `tail` at the end.
    void BigFile(const std::string& name, const std::string& head, std::size_t size, char filler,
                 const std::string& tail) {
        FILE* file = std::fopen((dir / name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(head.data(), 1, head.size(), file);
        const std::string block(1 << 20, filler);
        for (std::size_t done = 0; done < size; done += block.size()) {
            std::fwrite(block.data(), 1, block.size(), file);
        }
        std::fwrite(tail.data(), 1, tail.size(), file);
        ASSERT_EQ(std::fclose(file), 0);
    }

    TempDir dir;
};

TEST_F(TrackconvertBadInput, EmptyFilesOfEveryFormat) {
    const struct {
        const char* name;
        int status;
        const char* err;
    } cases[] = {
        {"empty.gpl", 0, ""},
        {"empty.nmea", 0, ""},
        {"empty.gpx", -1, "trackconvert: empty.gpx:1:1: no element found\n"},
        {"empty.csv", -1, "trackconvert: empty.csv:1: no header line: the file is empty\n"},
    };
    for (const auto& c : cases) {
        WriteFile(dir / c.name, "");
        const RunResult result = Convert({c.name, "out.gpx"});
        EXPECT_EQ(result.exit_status, ShellStatus(c.status)) << c.name;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out,
                  c.status == 0
                      ? "Opening " + std::string(c.name) +
                            "\nOpening out.gpx\nWorking...done.\nWrote 0 data points.\n"
                      : Failed(c.name, "out.gpx", std::string(c.name) + "\" - Read Failed!!!"));
    }
}

// A failed read leaves no trace: the old file of the name stays as it was,
// and no temporary file is left beside it.
TEST_F(TrackconvertBadInput, BrokenGpxFailsAtItsPlaceAndLeavesTheOutputAlone) {
    std::string points;
    for (int i = 0; i < 5000; ++i) {
        points += "<trkpt lat=\"1\" lon=\"2\"><ele>3</ele></trkpt>\n";
    }
    const std::string whole = "<gpx><trk><trkseg>\n" + points + "</trkseg></trk></gpx>\n";
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {whole.substr(0, whole.size() / 2), "ride.gpx:2502:1: unclosed token"},
        {whole.substr(0, 100000) + "<trkpt lat=\"1\" <",
         "ride.gpx:2274:14: not well-formed (invalid token)"},
        {"{\"type\": \"FeatureCollection\"}", "ride.gpx:1:1: not well-formed (invalid token)"},
        {"<svg xmlns=\"http://www.w3.org/2000/svg\"><gpx/></svg>",
         "ride.gpx:1:1: not a GPX file: the root element is svg, not gpx"},
    };
    for (const auto& c : cases) {
        WriteFile(dir / "ride.gpx", c.bytes);
        WriteFile(dir / "out.gpl", "precious");
        const RunResult result = Convert({"ride.gpx", "out.gpl"});
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
        EXPECT_EQ(result.out.substr(result.out.size() - 29), "\n\"ride.gpx\" - Read Failed!!!\n");
        EXPECT_EQ(result.err, std::string("trackconvert: ") + c.reason + "\n");
        EXPECT_EQ(ReadFile(dir / "out.gpl"), "precious");
        EXPECT_EQ(FileNames(dir.path()), (std::set<std::string>{"out.gpl", "ride.gpx"}));
    }
}

TEST_F(TrackconvertBadInput, AGpxWithoutPointsIsAnEmptyTrack) {
    WriteFile(dir / "none.gpx",
              "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" "
              "xmlns=\"http://www.topografix.com/GPX/1/1\"><metadata/></gpx>");
    const RunResult result = Convert({"none.gpx", "none.kml"});
    EXPECT_EQ(result.out,
              "Opening none.gpx\nOpening none.kml\nWorking...done.\nWrote 0 data points.\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(ReadFile(dir / "none.kml").find("<Placemark>"), std::string::npos);
}

// Entity expansion ("billion laughs", external entities) is refused with the
// document type declaration, before any entity exists.
TEST_F(TrackconvertBadInput, EntityAttacksFailAtOnce) {
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i < 30; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            laughs += "&l" + std::to_string(i - 1) + ";";
        }
        laughs += "\">\n";
    }
    laughs += "]>\n<gpx>&l29;</gpx>\n";
    WriteFile(dir / "laughs.gpx", laughs);
    WriteFile(dir / "external.gpx",
              "<!DOCTYPE gpx [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><gpx>&e;</gpx>");
    for (const char* name : {"laughs.gpx", "external.gpx"}) {
        const auto start = std::chrono::steady_clock::now();
        const RunResult result = Convert({name, "out.gpl"});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
        EXPECT_NE(result.err.find(": a document type declaration is not accepted"),
                  std::string::npos)
            << result.err;
        EXPECT_FALSE(FileExists(dir / "out.gpl"));
    }
}

// Markup that expat would have to hold whole, and nesting that would grow
// its stack, fail early: memory stays far below the size of the input.
TEST_F(TrackconvertBadInput, HugeAttributesAndDeepNestingDoNotGrowMemory) {
    const std::size_t size = 96 << 20;
    BigFile("attribute.gpx", "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"", size, '1',
            "\"/></trkseg></trk></gpx>");
    std::string nested;
    for (int i = 0; i < 1000; ++i) {
        nested += "<x>";
    }
    BigFile("nested.gpx", "<gpx>", size / 3 / nested.size() * nested.size(), 'x', "");
    {
        // Overwrite the filler of nested.gpx with elements.
        FILE* file = std::fopen((dir / "nested.gpx").c_str(), "r+b");
        ASSERT_NE(file, nullptr);
        std::fseek(file, 5, SEEK_SET);
        for (std::size_t done = 0; done < size / 3; done += nested.size()) {
            std::fwrite(nested.data(), 1, nested.size(), file);
        }
        std::fclose(file);
    }
    const std::pair<const char*, const char*> cases[] = {
        {"attribute.gpx", "markup longer than 1048576 bytes"},
        {"nested.gpx", "elements nested more than 256 deep"},
    };
    for (const auto& [name, reason] : cases) {
        const RunResult result = Convert({name, "out.gpl"});
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
        EXPECT_LT(Measure({name, "out.gpl"}).kib, 64 << 10) << name;
    }
}

TEST_F(TrackconvertBadInput, OutputsThatCannotBeMadeOrAreTheInput) {
    const std::string track = "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk></gpx>";
    WriteFile(dir / "in.gpx", track);
    ASSERT_EQ(::mkdir((dir / "dir.gpl").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("in.gpx", (dir / "link.gpx").c_str()), 0);
    ASSERT_EQ(::link((dir / "in.gpx").c_str(), (dir / "hard.gpx").c_str()), 0);
    const struct {
        std::string output;
        const char* reason;
    } cases[] = {
        {"dir.gpl", "Is a directory"},         {"nodir/out.gpl", "No such file or directory"},
        {"in.gpx", "is the input file"},       {"./in.gpx", "is the input file"},
        {dir / "in.gpx", "is the input file"}, {"link.gpx", "is the input file"},
        {"hard.gpx", "is the input file"},
    };
    for (const auto& c : cases) {
        const RunResult result = Convert({"in.gpx", c.output});
        EXPECT_EQ(result.out, "Opening in.gpx\nOpening " + c.output + "\n\"" + c.output +
                                  "\" - Open Failed!!!\n");
        EXPECT_EQ(result.err, "trackconvert: " + c.output + ": " + c.reason + "\n");
        EXPECT_EQ(result.exit_status, ShellStatus(-2));
    }
    EXPECT_EQ(ReadFile(dir / "in.gpx"), track);
    EXPECT_EQ(FileNames(dir.path()),
              (std::set<std::string>{"dir.gpl", "hard.gpx", "in.gpx", "link.gpx"}));

    // A directory that cannot be written to (as root: /sys, which refuses too).
    std::string locked = dir / "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    if (::geteuid() == 0) {
        locked = "/sys";
    }
    const RunResult refused = Convert({"in.gpx", locked + "/out.gpl"});
    EXPECT_EQ(refused.exit_status, ShellStatus(-2));
    EXPECT_TRUE(refused.err == "trackconvert: " + locked + "/out.gpl: Permission denied\n" ||
                refused.err == "trackconvert: " + locked + "/out.gpl: Read-only file system\n")
        << refused.err;

    // The output is this program's standard output: the records would mix with
    // the messages.
    RunOptions options;
    options.cwd = dir.path();
    options.stdout_path = dir / "messages.gpl";
    RunTool("trackconvert", {"in.gpx", "/dev/stdout"}, options);
    const RunResult mixed = RunTool("trackconvert", {"in.gpx", "/dev/stdout"}, options);
    EXPECT_EQ(mixed.err,
              "trackconvert: /dev/stdout: cannot tell the format from the name; "
              "give it with -t\n");
    const RunResult stdout_refused =
        RunTool("trackconvert", {"-t", "gpl", "in.gpx", "/dev/stdout"}, options);
    EXPECT_EQ(stdout_refused.exit_status, ShellStatus(-2));
    EXPECT_EQ(stdout_refused.err, "trackconvert: /dev/stdout: is this program's standard output\n");
    EXPECT_EQ(ReadFile(dir / "messages.gpl"),
              "Opening in.gpx\nOpening /dev/stdout\n\"/dev/stdout\" - Open Failed!!!\n");
}

TEST_F(TrackconvertBadInput, AFullDiskFailsEveryWriter) {
    std::string points;
    for (int i = 0; i < 3000; ++i) {
        points +=
            "<trkpt lat=\"1\" lon=\"2\"><ele>3</ele><time>2019-05-01T04:31:11Z</time></trkpt>";
    }
    WriteFile(dir / "in.gpx", "<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>");
    WriteFile(dir / "one.gpx",
              "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk></gpx>");
    for (const char* format : {"gpl", "gpx", "kml", "geojson", "csv"}) {
        for (const char* input : {"in.gpx", "one.gpx"}) {
            const RunResult result = Convert({"-t", format, input, "/dev/full"});
            EXPECT_EQ(result.exit_status, ShellStatus(-4)) << format;
            // The marks go as far as the buffer of the writer held out.
            const std::string end = "\n\"/dev/full\" - Write Failed!!!\n";
            EXPECT_EQ(result.out.substr(result.out.size() - end.size()), end) << format;
            EXPECT_EQ(result.out.find("done."), std::string::npos);
            EXPECT_EQ(result.err, "trackconvert: /dev/full: No space left on device\n");
        }
    }
}

// Noise and damage in a log cost the sentences they hit, nothing more.
TEST_F(TrackconvertBadInput, NmeaLogsFullOfNoise) {
    const std::string rmc1 =
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    const std::string log =
        rmc1 +
        // A bad and a missing checksum, a sentence cut off by binary noise.
        "$GPRMC,123520,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
        "$GPRMC,123521,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W\r\n"
        "$GPRMC,123522,A,4807.0" +
        std::string("\x00\xFF\x13\x37$\x80\x81\n\xFE", 9) +
        // A run of fixes lost, a GGA without its RMC.
        "$GPRMC,123523,V,,,,,,,230394,,,N*58\r\n"
        "$GPRMC,123524,V,,,,,,,230394,,,N*5F\r\n"
        "$GPGGA,123525,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48\r\n"
        // The date goes back a day: the points stay in file order.
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,220394,003.1,W*6B\r\n";
    WriteFile(dir / "noise.nmea", log);
    const RunResult result = Convert({"noise.nmea", "noise.csv"});
    EXPECT_EQ(result.out,
              "Opening noise.nmea\nOpening noise.csv\nWorking...done.\nWrote 3 data points.\n"
              "1 sentence with a bad checksum was skipped.\n"
              "1 malformed RMC sentence was skipped.\n"
              "2 RMC sentences without a valid fix were skipped.\n");
    EXPECT_EQ(result.exit_status, 0);
    const std::string csv = ReadFile(dir / "noise.csv");
    EXPECT_NE(csv.find("\n1,1994-03-23T12:35:19Z,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n2,1994-03-23T12:35:21Z,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n3,1994-03-22T12:35:19Z,"), std::string::npos) << csv;
}

// A gigabyte without a line end, as a file with a hole: read through in
// constant memory, and the sentence after it still counts.
TEST_F(TrackconvertBadInput, AGigabyteLineOfAnNmeaLog) {
    const std::string path = dir / "long.nmea";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string head = "$GPRMC,123519,A,";
    const std::string tail =
        "\n$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n";
    ASSERT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), 1LL << 30), static_cast<ssize_t>(tail.size()));
    ::close(fd);
    const Peak peak = Measure({"long.nmea", "long.gpl"});
    EXPECT_EQ(peak.exit_status, 0);
    EXPECT_LT(peak.kib, 64 << 10);
    EXPECT_EQ(ReadFile(dir / "long.gpl").size(), 56u);
}

TEST_F(TrackconvertBadInput, CsvFilesThatBreakTheRules) {
    const std::string header =
        "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag\n";
    const std::pair<std::string, const char*> cases[] = {
        {"1,,46.5,7.25,0,0,0,1\n",
         "in.csv:1: no header line: the first line names no latitude and longitude columns"},
        {header + "1,,46.5,7.25,0,0,0,1,extra\n", "in.csv:2: 9 fields, but the header has 8"},
        {header + "1,,46.5,7.25\n", "in.csv:2: 4 fields, but the header has 8"},
        {header + "1,,46.5,7.25,0,0,0,1\n2,\"2019,46.5,7.25,0,0,0,2\n",
         "in.csv:3: a quoted field without its closing quote"},
        {header + "1,,46.5,7.25,0,zero,0,1\n", "in.csv:2: heading_deg is not a number: \"zero\""},
    };
    for (const auto& [text, reason] : cases) {
        WriteFile(dir / "in.csv", text);
        const RunResult result = Convert({"in.csv", "out.gpl"});
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
        EXPECT_EQ(result.out, Failed("in.csv", "out.gpl", "in.csv\" - Read Failed!!!"));
        EXPECT_EQ(result.err, std::string("trackconvert: ") + reason + "\n");
        EXPECT_FALSE(FileExists(dir / "out.gpl"));
    }
}

}  // namespace
