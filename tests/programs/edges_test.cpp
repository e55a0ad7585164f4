// What every program does at its edges, beyond its own work: --help and
// --version, and a plain word on standard error when it is given a file of
// another format than it reads.
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

// Files that are not GPL tracks, and what the programs that read records say
// about them before they read them anyway.
struct Impostor {
    std::string name;
    std::string bytes;
    std::string looks_like;  // the warning after "<program>: "
};

const Impostor kImpostors[] = {
    {"ride.gpx",
     "<?xml version=\"1.0\"?>\n<!-- from a watch -->\n<gpx version=\"1.1\"><trk/></gpx>\n",
     "ride.gpx looks like a GPX file, not a GPL track; convert it with: trackconvert ride.gpx "
     "ride.gpl"},
    {"RIDE.GPL", "<gpx><trk/></gpx>",
     "RIDE.GPL looks like a GPX file, not a GPL track; convert it with: trackconvert -f gpx "
     "RIDE.GPL RIDE-converted.gpl"},
    {"log", "# receiver log\n12:00:01 $GPRMC,120001,A,4807.038,N,01131.000,E,0,0,230394,,*0B\n",
     "log looks like a NMEA log, not a GPL track; convert it with: trackconvert log log.gpl"},
    {"dir.x/track", "point,time,latitude,longitude\n1,,1.5,2.5\n",
     "dir.x/track looks like a CSV file, not a GPL track; convert it with: trackconvert "
     "dir.x/track dir.x/track.gpl"},
    {"drive.txt", "# number:tag, latitude, longitude\n1:1, 46.9481, 7.4474\n",
     "drive.txt looks like a text listing, not a GPL track; convert it with: logpack drive.txt "
     "drive.gpl"},
    {"doc.kml", "<kml xmlns=\"http://www.opengis.net/kml/2.2\"></kml>",
     "doc.kml looks like a KML file, not a GPL track"},
    {"map.json", "  {\"type\": \"FeatureCollection\"}",
     "map.json looks like a GeoJSON file, not a GPL track"},
    {"bom.txt", "\xEF\xBB\xBFhello", "bom.txt looks like a text file, not a GPL track"},
};

TEST(Edges, ProgramsThatReadRecordsWarnAboutTextFilesAndReadThemAnyway) {
    TempDir dir;
    // A dot in a directory's name is no extension of the file.
    ASSERT_EQ(::mkdir((dir / "dir.x").c_str(), 0755), 0);
    for (const Impostor& impostor : kImpostors) {
        WriteFile(dir / impostor.name, impostor.bytes);
        const std::size_t partial = impostor.bytes.size() % 56;
        for (const std::string program :
             {"stepclock", "idlescan", "pacer", "legsheet", "trailview"}) {
            SCOPED_TRACE(program + " " + impostor.name);
            std::vector<std::string> args = {impostor.name};
            if (program != "legsheet" && program != "trailview") {
                args.push_back("out.gpl");
            }
            const RunResult result = RunIn(dir, program, args);
            // The warning first, then the run as usual: its records are read.
            std::string err = program + ": " + impostor.looks_like + "\n";
            if (partial > 0) {
                err += program + ": " + impostor.name + ": partial record of " +
                       std::to_string(partial) + " bytes at the end ignored\n";
            }
            EXPECT_EQ(result.err, err);
            EXPECT_EQ(result.exit_status, 0);
        }
    }
    // A GPL track says nothing.
    WriteFile(dir / "track.gpl", Records({FullPoint(40.5, -75.25, 3, 1000)}));
    EXPECT_EQ(RunIn(dir, "legsheet", {"track.gpl"}).err, "");
}

TEST(Edges, LogpackSaysWhatAFileWithoutPointsLooksLike) {
    TempDir dir;
    const struct {
        std::string name, bytes, err;
    } cases[] = {
        {"ride.gpx", "<gpx><trk><trkpt lat=\"1\" lon=\"2\"/></trk></gpx>\n",
         "logpack: ride.gpx holds no point of a text listing; it looks like a GPX file; convert it "
         "with: trackconvert ride.gpx ride.gpl\n"},
        {"track.gpl", Records({FullPoint(40.5, -75.25, 3, 1000)}),
         "logpack: track.gpl holds no point of a text listing; it looks like binary data, "
         "perhaps a GPL track already\n"},
        {"notes.txt", "# nothing but a comment\n",
         "logpack: notes.txt holds no point of a text "
         "listing\n"},
        // Nothing to say about an empty file, or one with points.
        {"empty.txt", "", ""},
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
