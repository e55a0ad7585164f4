// trailview run as a user runs it: exact scenes, messages and exit statuses.
//
// Expected coordinates come from places where the WGS 84 conversion is easy
// to do by hand: on the equator at longitude 0 a point lies at X = a (the
// equatorial radius, 6378137 m) plus its height; at longitude 90 it lies at
// Y = a; at the north pole at Z = b (the polar radius, 6356752.314... m).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

const char kUsage[] =
    "Usage: trailview [-sx <scale_x>] [-sy <scale_y>] [-sz <scale_z>] [-salt <scale_alt>] "
    "[-slat <scale_lat>] [-slon <scale_lon>] <file1> <file2> .... <filen>\n";

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// %g of the radii and their multiples.
const std::string kA = "6.37814e+06";        // a
const std::string kMinusA = "-6.37814e+06";  // -a
const std::string kB = "6.35675e+06";        // b

std::string Header(const std::string& xyz = "1, 1, 1", const std::string& lon_lat_alt = "1, 1, 1") {
    return "#VRML V2.0 utf8\n#\nWorldInfo {\n  info [\n\t \"Created by trailview, tracktools\"\n"
           "  ]\n  info [\n    \"(X,Y,Z) Scaling: (" +
           xyz + ")\"\n  ]\n  info [\n    \"(Lon,Lat,Alt) Scaling: (" + lon_lat_alt +
           ")\"\n  ]\n}\n";
}

std::string Appearance(const std::string& diffuse, const std::string& emissive) {
    return "\t   appearance Appearance {\n\t     material Material {\n\t       diffuseColor\t" +
           diffuse + " # cyan\n\t       emissiveColor\t" + emissive +
           "\n\t       ambientIntensity 0.1\n\t       shininess\t0.1\n\t       transparency\t0.2\n"
           "\t     }\n\t   }\n";
}

std::string LineSetGroup(const std::string& comment, const std::string& emissive,
                         const std::string& diffuse, const std::string& points,
                         const std::string& indices) {
    return comment +
           "\nTransform {\n    translation 0 0 0\n    scale 1 1 1\n    rotation 1 0 0 0\n"
           "    children [\n\t Shape {\n" +
           Appearance(diffuse, emissive) +
           "\t   geometry IndexedLineSet {\n\t\t coord Coordinate { point [\n" + points +
           "\t\t ]}\n\t\t coordIndex [\n" + indices + "\t\t ]\n\t\t colorPerVertex FALSE\n\n}}]}\n";
}

std::string Vertex(const std::string& x, const std::string& y, const std::string& z, int record) {
    return x + "  " + y + "\t " + z + ",\t# " + std::to_string(record) + "\n";
}

struct Extent {
    std::string min_x = "0", max_x = "0", min_y = "0", max_y = "0", min_z = "0", max_z = "0";
};

// The track group and the four groups after it.
std::string Groups(const std::string& name, const std::string& vertices, const std::string& indices,
                   const std::string& end = "0  0  0", const Extent& e = {}) {
    const std::string marker_tail =
        "    rotation 1 0 0 0\n    children [\n\t Shape {\n"
        "\t   geometry Box { size 10 10 10} \n";
    const std::string box = e.min_x + " " + e.min_y + " " + e.min_z + ",\n" + e.min_x + " " +
                            e.min_y + " " + e.max_z + ",\n" + e.min_x + " " + e.max_y + " " +
                            e.min_z + ",\n" + e.min_x + " " + e.max_y + " " + e.max_z + ",\n" +
                            e.max_x + " " + e.min_y + " " + e.min_z + ",\n" + e.max_x + " " +
                            e.min_y + " " + e.max_z + ",\n" + e.max_x + " " + e.max_y + " " +
                            e.min_z + ",\n" + e.max_x + " " + e.max_y + " " + e.max_z + "\n";
    const std::string axes = "0 0 " + e.min_z + ",\n0 0 " + e.max_z + ",\n0 " + e.min_y +
                             " 0,\n0 " + e.max_y + " 0,\n" + e.min_x + " 0 0,\n" + e.max_x +
                             " 0 0\n";
    return LineSetGroup("# Data from: " + name, "0.9 0.9 0.0", "0.8 0.8 0", vertices, indices) +
           "# Start Marker\nTransform {\n    translation 0 0 0    scale 1 1 1\n" + marker_tail +
           Appearance("0 0.8 0.8", "0.0 0.0 0.0") + "\t }\n   ]\n }\n" +
           "# END Marker\nTransform {\n    translation " + end + "\n    scale 1 1 1\n" +
           marker_tail + Appearance("0.8 0.8 0", "0.0 0.0 0.0") + "\t }\n   ]\n }\n" +
           LineSetGroup("# Bounding box", "0.8 0.0 0.8", "0 0.8 0.8", box,
                        "0, 2, 6, 4, 0, -1,\n1, 3, 7, 5, 1, -1,\n0, 1, -1,\n2, 3, -1,\n"
                        "4, 5, -1,\n6, 7, -1\n") +
           LineSetGroup("# Axis", "0.0 0.8 0.8", "0 0.8 0.8", axes,
                        "0, 1, -1,\n2, 3, -1,\n4, 5, -1\n");
}

// The text between the track's "coordIndex [" line and its closing "]".
std::string TrackIndices(const std::string& scene) {
    const std::string open = "\t\t coordIndex [\n";
    const std::size_t begin = scene.find(open) + open.size();
    return scene.substr(begin, scene.find("\t\t ]\n", begin) - begin);
}

// Points along the equator 0.001 degrees apart (about 111 m): all drawn.
std::vector<GPL_Data_Point> Equator(int count) {
    std::vector<GPL_Data_Point> points;
    for (int i = 0; i < count; ++i) {
        points.push_back(FullPoint(0.0, i * 1e-3, 30.0, 1000u + i));
    }
    return points;
}

class TrailviewTest : public ::testing::Test {
  protected:
    RunResult Trailview(const std::vector<std::string>& args, const std::string& stdout_path = "") {
        RunOptions options;
        options.cwd = dir.path();
        options.stdout_path = stdout_path;
        return RunTool("trailview", args, options);
    }

    TempDir dir;
};

TEST_F(TrailviewTest, UsageWhenNoFileCanFollow) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"-sx"}, {"-sx", "2", "-salt"}}) {
        const RunResult result = Trailview(args);
        EXPECT_EQ(result.out, kUsage);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exit_status, ShellStatus(-2));
    }
}

TEST_F(TrailviewTest, OptionsAloneGiveTheHeaderWithTheirFactors) {
    RunResult result = Trailview({"-sx", "2", "-sy", "0.5", "-sz", "1234567", "-slon", "-3e-5",
                                  "-slat", " 7xyz", "-salt", "abc"});
    EXPECT_EQ(result.out, Header("2, 0.5, 1.23457e+06", "-3e-05, 7, 0"));
    EXPECT_EQ(result.exit_status, 0);

    // The later of two values counts; values that are not finite become 0.
    result = Trailview({"-sx", "5", "-sx", "nan", "-sy", "inf", "-sz", "-inf", "-salt", "1e999"});
    EXPECT_EQ(result.out, Header("0, 0, 0", "1, 1, 0"));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_status, 0);
}

TEST_F(TrailviewTest, OneRecordIsOneVertexAtTheOriginWithEveryGroup) {
    WriteFile(dir / "one.gpl", Record(FullPoint(47.5, 8.25, 20.0, 7)));
    const RunResult result = Trailview({"one.gpl"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, Header() + Groups("one.gpl", Vertex("0", "0", "0", 1), "0, \n-1\n"));
}

TEST_F(TrailviewTest, EmptyFileAndPartialRecordGiveATrackWithoutVertices) {
    WriteFile(dir / "empty.gpl", "");
    WriteFile(dir / "short.gpl", std::string(55, '\x7f'));
    const RunResult result = Trailview({"empty.gpl", "short.gpl"});
    EXPECT_EQ(result.out,
              Header() + Groups("empty.gpl", "", "-1\n") + Groups("short.gpl", "", "-1\n"));
    EXPECT_EQ(result.exit_status, 0);
}

TEST_F(TrailviewTest, IndexLinesHoldFifteenIndicesDownToZero) {
    WriteFile(dir / "15.gpl", Records(Equator(15)));
    WriteFile(dir / "16.gpl", Records(Equator(16)));
    WriteFile(dir / "31.gpl", Records(Equator(31)));
    EXPECT_EQ(TrackIndices(Trailview({"15.gpl"}).out),
              "14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, \n-1\n");
    EXPECT_EQ(TrackIndices(Trailview({"16.gpl"}).out),
              "15, \n14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, \n-1\n");
    EXPECT_EQ(TrackIndices(Trailview({"31.gpl"}).out),
              "30, \n29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, \n"
              "14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, \n-1\n");
}

TEST_F(TrailviewTest, ARunAtOnePlaceIsDrawnOnceAtItsFirstRecord) {
    // Equator, longitude 0, then 90: the second place lies a to the west and
    // a to the north of the first along the X and Y axes.
    WriteFile(dir / "run.gpl", Records({GPL_Data_Point(0, 0, 10), GPL_Data_Point(0, 0, 5000),
                                        GPL_Data_Point(0, 0, -300), GPL_Data_Point(0, 90, 0),
                                        GPL_Data_Point(0, 90, 9)}));
    const RunResult result = Trailview({"run.gpl"});
    Extent e;
    e.min_x = kMinusA;
    e.max_y = kA;
    EXPECT_EQ(result.out,
              Header() + Groups("run.gpl", Vertex("0", "0", "0", 1) + Vertex(kMinusA, kA, "0", 4),
                                "1, 0, \n-1\n", kMinusA + "  " + kA + "  0", e));
    EXPECT_EQ(result.exit_status, 0);
}

TEST_F(TrailviewTest, RecordsAreCountedAcrossBlocksOfAHundred) {
    // Record 101 repeats record 100 across the block boundary; 30 bytes of a
    // record follow the 250th.
    std::vector<GPL_Data_Point> points = Equator(250);
    points[100] = points[99];
    WriteFile(dir / "long.gpl", Records(points) + std::string(30, '\0'));
    const RunResult result = Trailview({"long.gpl"});
    EXPECT_EQ(result.exit_status, 0);
    const std::string& out = result.out;
    EXPECT_NE(out.find(",\t# 100\n"), std::string::npos);
    EXPECT_EQ(out.find(",\t# 101\n"), std::string::npos);
    EXPECT_NE(out.find(",\t# 102\n"), std::string::npos);
    EXPECT_NE(out.find(",\t# 250\n\t\t ]}\n"), std::string::npos);
    EXPECT_EQ(TrackIndices(out).substr(0, 28), "248, 247, 246, 245, 244, 243");
    // 249 vertex comments and 12 other number signs.
    EXPECT_EQ(std::count(out.begin(), out.end(), '#'), 249 + 12);
}

TEST_F(TrailviewTest, XyzFactorsScaleVerticesBoxAndAxesButNotTheEndMarker) {
    // Longitude 0, longitude 90, north pole.
    WriteFile(dir / "t.gpl",
              Records({GPL_Data_Point(0, 0), GPL_Data_Point(0, 90), GPL_Data_Point(90, 0)}));
    const RunResult result = Trailview({"-sx", "2", "-sy", "3", "-sz", "0.5", "t.gpl"});
    const std::string two_a = "-1.27563e+07";  // -2a
    Extent e;
    e.min_x = two_a;
    e.max_y = "1.91344e+07";  // 3a
    e.max_z = "3.17838e+06";  // b / 2
    EXPECT_EQ(result.out, Header("2, 3, 0.5") +
                              Groups("t.gpl",
                                     Vertex("0", "0", "0", 1) + Vertex(two_a, e.max_y, "0", 2) +
                                         Vertex(two_a, "0", e.max_z, 3),
                                     "2, 1, 0, \n-1\n", kMinusA + "  0  " + kB, e));
}

TEST_F(TrailviewTest, GeodeticFactorsApplyBeforeTheConversion) {
    // Longitude 45 doubled is 90, latitude 180 halved is the pole, and
    // 1640.5 ft doubled is 1000 m.
    WriteFile(dir / "t.gpl", Records({GPL_Data_Point(0, 0), GPL_Data_Point(0, 45),
                                      GPL_Data_Point(180, 0), GPL_Data_Point(0, 0, 1640.5)}));
    const RunResult result = Trailview({"-slon", "2", "-slat", "0.5", "-salt", "2", "t.gpl"});
    Extent e;
    e.min_x = kMinusA;
    e.max_x = "1000";
    e.max_y = kA;
    e.max_z = kB;
    EXPECT_EQ(result.out, Header("1, 1, 1", "2, 0.5, 2") +
                              Groups("t.gpl",
                                     Vertex("0", "0", "0", 1) + Vertex(kMinusA, kA, "0", 2) +
                                         Vertex(kMinusA, "0", kB, 3) + Vertex("1000", "0", "0", 4),
                                     "3, 2, 1, 0, \n-1\n", "1000  0  0", e));
}

TEST_F(TrailviewTest, SmallOffsetsInExponentFormAndZeroFactorsAsPrintfWritesThem) {
    // At longitude 180 the Y offset is a * sin(pi) in doubles: a few 1e-10 m.
    WriteFile(dir / "t.gpl", Records({GPL_Data_Point(0, 0), GPL_Data_Point(0, 180)}));
    char y[32];
    std::snprintf(y, sizeof y, "%g", 6378137.0 * std::sin(180.0 * (3.141592653589793 / 180.0)));
    ASSERT_NE(std::string(y).find("e-10"), std::string::npos) << y;
    RunResult result = Trailview({"t.gpl"});
    Extent e;
    e.min_x = "-1.27563e+07";
    e.max_y = y;
    EXPECT_EQ(result.out,
              Header() + Groups("t.gpl", Vertex("0", "0", "0", 1) + Vertex(e.min_x, y, "0", 2),
                                "1, 0, \n-1\n", e.min_x + "  " + y + "  0", e));

    // A zero factor times a negative offset is -0, which VRML reads as 0.
    result = Trailview({"-sx", "nan", "t.gpl"});
    EXPECT_NE(result.out.find("\n" + Vertex("-0", y, "0", 2)), std::string::npos);
}

TEST_F(TrailviewTest, PointsThatAreNotFiniteAreNotDrawn) {
    // Record 1 is infinitely high, so record 2 at its place is the origin;
    // records 3 and 5 cannot be placed; record 6 repeats the last drawn one.
    WriteFile(dir / "t.gpl", Records({GPL_Data_Point(0, 0, kInf), GPL_Data_Point(0, 0, 0),
                                      GPL_Data_Point(kNaN, 0, 0), GPL_Data_Point(0, 90, 0),
                                      GPL_Data_Point(0, kInf, 0), GPL_Data_Point(0, 90, 0),
                                      GPL_Data_Point(0, 0, 3281)}));
    const RunResult result = Trailview({"t.gpl"});
    Extent e;
    e.min_x = kMinusA;
    e.max_x = "1000";
    e.max_y = kA;
    EXPECT_EQ(result.out, Header() + Groups("t.gpl",
                                            Vertex("0", "0", "0", 2) + Vertex(kMinusA, kA, "0", 4) +
                                                Vertex("1000", "0", "0", 7),
                                            "2, 1, 0, \n-1\n", "1000  0  0", e));
    EXPECT_EQ(result.exit_status, 0);

    // Scaling can also take a point out of range; the end marker stays at
    // the last point drawn.
    WriteFile(dir / "u.gpl", Records({GPL_Data_Point(0, 0), GPL_Data_Point(0, 90)}));
    EXPECT_EQ(Trailview({"-sx", "1e303", "u.gpl"}).out,
              Header("1e+303, 1, 1") + Groups("u.gpl", Vertex("0", "0", "0", 1), "0, \n-1\n"));
}

TEST_F(TrailviewTest, EveryFileIsDrawnAroundItsOwnFirstPoint) {
    WriteFile(dir / "a.gpl", Records({GPL_Data_Point(0, 0), GPL_Data_Point(0, 90)}));
    WriteFile(dir / "b.gpl", Records({GPL_Data_Point(0, 90), GPL_Data_Point(0, 0)}));
    const RunResult result = Trailview({"a.gpl", "b.gpl"});
    Extent ea;
    ea.min_x = kMinusA;
    ea.max_y = kA;
    Extent eb;
    eb.max_x = kA;
    eb.min_y = kMinusA;
    EXPECT_EQ(result.out,
              Header() +
                  Groups("a.gpl", Vertex("0", "0", "0", 1) + Vertex(kMinusA, kA, "0", 2),
                         "1, 0, \n-1\n", kMinusA + "  " + kA + "  0", ea) +
                  Groups("b.gpl", Vertex("0", "0", "0", 1) + Vertex(kA, kMinusA, "0", 2),
                         "1, 0, \n-1\n", kA + "  " + kMinusA + "  0", eb));
    EXPECT_EQ(result.exit_status, 0);
}

TEST_F(TrailviewTest, AFileThatFailsEndsTheRunAfterTheGroupsBeforeIt) {
    WriteFile(dir / "a.gpl", Record(GPL_Data_Point(10, 20)));
    const std::string a = Groups("a.gpl", Vertex("0", "0", "0", 1), "0, \n-1\n");
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
    struct Case {
        std::vector<std::string> args;
        std::string out;
        std::string err;
    };
    const std::string missing =
        "\"missing.gpl\" - Open Failed!!!\ntrailview: missing.gpl: No such file or directory\n";
    const Case cases[] = {
        {{"missing.gpl", "a.gpl"}, Header(), missing},
        {{"a.gpl", "missing.gpl", "a.gpl"}, Header() + a, missing},
        // Options after a file name are file names.
        {{"a.gpl", "-sx", "2"},
         Header() + a,
         "\"-sx\" - Open Failed!!!\ntrailview: -sx: No such file or directory\n"},
        // A directory can be named but not read: its groups are finished.
        {{"a.gpl", "sub", "a.gpl"},
         Header() + a + Groups("sub", "", "-1\n"),
         "\"sub\" - Read Failed!!!\ntrailview: sub: Is a directory\n"},
    };
    for (const Case& c : cases) {
        const RunResult result = Trailview(c.args);
        EXPECT_EQ(result.out, c.out) << c.args[1];
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.exit_status, ShellStatus(-1));
    }
}

TEST_F(TrailviewTest, LineEndsInAFileNameBecomeBlanksInTheComment) {
    const std::string name = "a\rb\nc.gpl";
    WriteFile(dir / name, Record(GPL_Data_Point(1, 2)));
    const RunResult result = Trailview({name});
    EXPECT_EQ(result.out, Header() + Groups("a b c.gpl", Vertex("0", "0", "0", 1), "0, \n-1\n"));
    EXPECT_EQ(result.exit_status, 0);
    // The message about a file names it as given.
    EXPECT_EQ(Trailview({"x\ny"}).err,
              "\"x\ny\" - Open Failed!!!\ntrailview: x\ny: No such file or directory\n");
}

TEST_F(TrailviewTest, OutputThatCannotBeWrittenIsAnError) {
    WriteFile(dir / "small.gpl", Records(Equator(3)));
    WriteFile(dir / "big.gpl", Records(Equator(20000)));
    const std::string error = "trailview: write error\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-sx", "2"}, error},
        {{"small.gpl"}, error},
        // The scene outgrows the buffers while the first file is read: the
        // run stops there.
        {{"big.gpl", "missing.gpl"}, error},
        {{"small.gpl", "missing.gpl"},
         "\"missing.gpl\" - Open Failed!!!\ntrailview: missing.gpl: No such file or directory\n" +
             error},
    };
    for (const auto& [args, err] : cases) {
        const RunResult result = Trailview(args, "/dev/full");
        EXPECT_EQ(result.err, err) << args[0];
        EXPECT_EQ(result.exit_status, ShellStatus(-4));
    }
}

}  // namespace
