// What every program does at its edges, beyond its own work: --help and
// --version, files of formats the suite cannot read, and text read as
// records.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

const char* const kPrograms[] = {"stepclock", "logpack",  "idlescan",
                                 "pacer",     "legsheet", "trailview"};

RunResult RunIn(const TempDir& dir, const std::string& program,
                const std::vector<std::string>& args) {
    RunOptions options;
    options.cwd = dir.path();
    return RunTool(program, args, options);
}

TEST(Edges, HelpAndVersionAloneAnswerOnStandardOutput) {
    TempDir dir;
    for (const std::string program : kPrograms) {
        SCOPED_TRACE(program);
        // The usage text is the one a call without arguments prints.
        const RunResult usage = RunIn(dir, program, {});
        const RunResult help = RunIn(dir, program, {"--help"});
        EXPECT_EQ(help.out, usage.out);
        EXPECT_NE(help.out.find("Usage: " + program), std::string::npos);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.exit_status, 0);

        const RunResult version = RunIn(dir, program, {"--version"});
        EXPECT_EQ(version.out, program + " (tracktools) " TRACKTOOLS_VERSION "\n");
        EXPECT_EQ(version.exit_status, 0);

        // Anywhere else the words keep their old meaning: here, a file name.
        const RunResult named = RunIn(dir, program, {"--help", "--version"});
        EXPECT_EQ(named.exit_status, ShellStatus(-1));
        EXPECT_NE((named.out + named.err).find("\"--help\" - Open Failed!!!"), std::string::npos);
    }
}

// Files of formats the suite cannot read, recognised by their name or their
// first bytes: every program refuses them with its open failure and the
// reason, and an output that already exists stays as it was.
struct Refused {
    std::string name;
    std::string bytes;
    std::string what;  // the reason after "<program>: <name>: "
};

const Refused kRefused[] = {
    {"map.xml", "  <svg/>", "XML file"},
    {"page", "<html><body/></html>", "XML file"},
};

TEST(Edges, EveryProgramRefusesFormatsItCannotReadAndKeepsTheOutput) {
    TempDir dir;
    for (const Refused& refused : kRefused) {
        WriteFile(dir / refused.name, refused.bytes);
    }
    const std::string keep = Records({FullPoint(40.5, -75.25, 3, 1000)});
    for (const std::string program : {"stepclock", "logpack", "idlescan", "pacer", "legsheet",
                                      "trailview", "trackconvert", "trackinfo", "trackedit"}) {
        const bool file_to_file =
            program != "legsheet" && program != "trailview" && program != "trackinfo";
        for (const Refused& refused : kRefused) {
            SCOPED_TRACE(program + " " + refused.name);
            WriteFile(dir / "keep.gpl", keep);
            std::vector<std::string> args = {refused.name};
            if (file_to_file) {
                args.push_back("keep.gpl");
            }
            const RunResult result = RunIn(dir, program, args);
            EXPECT_EQ(result.exit_status, ShellStatus(-1));
            const std::string failure = "\"" + refused.name + "\" - Open Failed!!!\n";
            std::string reason = "cannot read " + refused.what + "s";
            if (refused.what == "gzip file") {
                reason += "; uncompress it first";
            } else if (refused.what == "zip archive") {
                reason += "; unpack it first";
            }
            if (program == "logpack") {
                reason = "is a " + refused.what + ", not a text listing";
            }
            EXPECT_EQ(ReadFile(dir / "keep.gpl"), keep);
            const std::string explained = program + ": " + refused.name + ": " + reason + "\n";
            if (file_to_file) {
                EXPECT_EQ(result.out, "Opening " + refused.name + "\n" + failure);
                EXPECT_EQ(result.err, explained);
            } else if (program == "legsheet") {
                EXPECT_EQ(result.out, "# Opening " + refused.name + "\n" + failure);
                EXPECT_EQ(result.err, explained);
            } else if (program == "trailview") {
                EXPECT_EQ(result.err, failure + explained);
            } else {
                EXPECT_EQ(result.err, explained);
            }
        }
    }
}

// Text that is no track format is what a GPL file without a mark could be:
// the programs that read records say what it looks like, then read it.
TEST(Edges, TextReadAsRecordsIsWarnedAbout) {
    TempDir dir;
    const struct {
        std::string name, bytes, looks_like;
    } cases[] = {
        {"drive.txt", "# number:tag, latitude, longitude\n1:1, 46.9481, 7.4474\n",
         "drive.txt looks like a text listing, not a GPL track; convert it with: logpack "
         "drive.txt drive.gpl"},
        {"bom.txt", "\xEF\xBB\xBFhello", "bom.txt looks like a text file, not a GPL track"},
        {"RIDE.GPL", "<gpx><trk/></gpx>",
         "RIDE.GPL looks like a GPX file, not a GPL track; convert it with: trackconvert -f gpx "
         "RIDE.GPL RIDE-converted.gpl"},
    };
    for (const auto& c : cases) {
        WriteFile(dir / c.name, c.bytes);
        const std::size_t partial = c.bytes.size() % 56;
        for (const std::string program :
             {"stepclock", "idlescan", "pacer", "legsheet", "trailview"}) {
            SCOPED_TRACE(program + " " + c.name);
            std::vector<std::string> args = {c.name};
            if (program != "legsheet" && program != "trailview") {
                args.push_back("out.gpl");
            }
            const RunResult result = RunIn(dir, program, args);
            EXPECT_EQ(result.err, program + ": " + c.looks_like + "\n" + program + ": " + c.name +
                                      ": partial record of " + std::to_string(partial) +
                                      " bytes at the end ignored\n");
            EXPECT_EQ(result.exit_status, 0);
        }
    }
}

// logpack reads listings only: a track of another format, by its content or
// (for binary data) by its name, is refused and the output left as it was.
TEST(Edges, LogpackRefusesTracksOfOtherFormats) {
    TempDir dir;
    const std::string keep = Records({FullPoint(40.5, -75.25, 3, 1000)});
    const struct {
        std::string name, bytes, reason;
    } cases[] = {
        {"ride.gpx", "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk></gpx>\n",
         "is a GPX file, not a text listing; convert it with: trackconvert ride.gpx keep.gpl"},
        {"log", "$GPRMC,120001,A,4807.038,N,01131.000,E,0,0,230394,,*0B\n",
         "is a NMEA log, not a text listing; convert it with: trackconvert log keep.gpl"},
        {"track.gpl", keep,
         "is a GPL track, not a text listing; convert it with: trackconvert track.gpl keep.gpl"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir / c.name, c.bytes);
        WriteFile(dir / "keep.gpl", keep);
        const RunResult result = RunIn(dir, "logpack", {c.name, "keep.gpl"});
        EXPECT_EQ(result.out, "Opening " + c.name + "\n\"" + c.name + "\" - Open Failed!!!\n");
        EXPECT_EQ(result.err, "logpack: " + c.name + ": " + c.reason + "\n");
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
        EXPECT_EQ(ReadFile(dir / "keep.gpl"), keep);
    }
}

TEST(Edges, LogpackSaysWhatAFileWithoutPointsLooksLike) {
    TempDir dir;
    const struct {
        std::string name, bytes, err;
    } cases[] = {
        {"track", Records({FullPoint(40.5, -75.25, 3, 1000)}),
         "logpack: track holds no point of a text listing; it looks like binary data, "
         "perhaps a GPL track already\n"},
        {"notes.txt", "# nothing but a comment\n",
         "logpack: notes.txt holds no point of a text listing\n"},
        // Nothing to say about an empty file, or one with points.
        {"empty.gpl", "", ""},
        {"drive.txt", "1:1, 46.9481, 7.4474\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir / c.name, c.bytes);
        const RunResult result = RunIn(dir, "logpack", {c.name, "out.gpl"});
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.exit_status, 0);
    }
}

}  // namespace
