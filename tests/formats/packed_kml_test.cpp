// The KML reader against GDAL's KML of the example GPX, gx:Track and
// waypoints; gzip and zip archives made by the standard tools read as the
// file inside; salvaged FIT and GPX files against a full read and Python's
// XML parser.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "files.h"
#include "formats_support.h"
#include "run.h"
#include "tracktools/formats/reader.h"

namespace {

using formats_support::ReadAll;
using formats_support::ReadResult;
using testing_support::TempDir;

const std::string kSource = TRACKTOOLS_SOURCE_DIR;
const std::string kDrive = kSource + "/examples/drive.gpx";

ReadResult ReadPath(const std::string& path, bool salvage = false,
                    formats::Format format = formats::Format()) {
    ReadResult result;
    const auto reader = formats::OpenReader(path, format, result.error);
    if (!reader) {
        result.failed = true;
        return result;
    }
    reader->Salvage(salvage);
    result = ReadAll(*reader);
    for (const formats::Remark& remark : reader->Remarks()) {
        result.error.reason += remark.text;  // a salvaged break, for the checks
    }
    return result;
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

// The drive as a FIT file, made by the tests' encoder in `dir`.
std::string DriveFit(const TempDir& dir) {
    const std::string path = dir / "drive.fit";
    EXPECT_EQ(Shell("python3 " + kSource + "/tests/fit/fitencode.py drive " + kDrive + " " + path),
              0);
    return path;
}

std::vector<track::Point> TrackPoints(const ReadResult& read) {
    std::vector<track::Point> points;
    for (const track::Point& point : read.model) {
        if (point.kind == track::Kind::kTrack) {
            points.push_back(point);
        }
    }
    return points;
}

TEST(KmlReader, GdalsKmlOfTheExampleGivesItsPositions) {
    TempDir dir;
    ASSERT_EQ(Shell("ogr2ogr -f KML " + dir / "gdal.kml" + " " + kDrive + " tracks 2>/dev/null"),
              0);
    const ReadResult gpx = ReadPath(kDrive);
    const ReadResult kml = ReadPath(dir / "gdal.kml");
    ASSERT_FALSE(kml.failed) << kml.error.reason;
    const std::vector<track::Point> line = TrackPoints(kml);
    ASSERT_EQ(line.size(), gpx.model.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        EXPECT_NEAR(line[i].latitude, gpx.model[i].latitude, 1e-9) << i;
        EXPECT_NEAR(line[i].longitude, gpx.model[i].longitude, 1e-9) << i;
        EXPECT_EQ(line[i].begins_segment, gpx.model[i].begins_segment) << i;
    }
    // Our own KML of it: the same line, and elevations, between the Start
    // and End placemarks.
    ASSERT_EQ(Shell(testing_support::ToolPath("trackconvert") + " " + kDrive + " " +
                    dir / "ours.kml >/dev/null 2>&1"),
              0);
    const ReadResult ours = ReadPath(dir / "ours.kml");
    const std::vector<track::Point> our_line = TrackPoints(ours);
    ASSERT_EQ(our_line.size(), gpx.model.size());
    EXPECT_EQ(ours.model.front().kind, track::Kind::kWaypoint);
    EXPECT_EQ(ours.model.front().texts.Get(track::Text::kName), "Start");
    for (std::size_t i = 0; i < our_line.size(); ++i) {
        EXPECT_NEAR(our_line[i].latitude, gpx.model[i].latitude, 1e-9) << i;
        EXPECT_NEAR(our_line[i].elevation, gpx.model[i].elevation, 1e-6) << i;
    }
}

TEST(KmlReader, TracksSegmentsTimesAndWaypoints) {
    const ReadResult read = ReadPath(kSource + "/fuzz/corpus/kml_reader/gxtrack.kml");
    ASSERT_FALSE(read.failed) << read.error.reason;
    ASSERT_EQ(read.model.size(), 8u);
    const auto& p = read.model;
    // gx:MultiTrack: times paired in order, each gx:Track a segment.
    EXPECT_TRUE(p[0].begins_track && p[0].begins_segment);
    EXPECT_EQ(p[0].track_name, "ride");
    EXPECT_EQ(p[0].time, track::Instant::FromSeconds(1749893400));
    EXPECT_EQ(p[1].time, track::Instant::FromNanoseconds(1749893405500000000));
    EXPECT_DOUBLE_EQ(p[1].elevation, 541.5);
    EXPECT_FALSE(p[1].begins_segment);
    EXPECT_TRUE(p[2].begins_segment && !p[2].begins_track);
    EXPECT_FALSE(p[2].Has(track::kElevation));
    // A Point placemark: a waypoint with its name and time, beginning nothing.
    EXPECT_EQ(p[3].kind, track::Kind::kWaypoint);
    EXPECT_EQ(p[3].texts.Get(track::Text::kName), "hut");
    EXPECT_EQ(p[3].time, track::Instant::FromSeconds(1749898800));
    EXPECT_FALSE(p[3].begins_segment || p[3].begins_track);
    // MultiGeometry: a second track, a segment per LineString.
    EXPECT_TRUE(p[4].begins_track);
    EXPECT_EQ(p[4].track, 1u);
    EXPECT_DOUBLE_EQ(p[5].elevation, 5.0);
    EXPECT_TRUE(p[6].begins_segment && !p[6].begins_track);
    EXPECT_DOUBLE_EQ(p[7].latitude, 46.4);
}

// gzip, zip and KMZ made by the command-line tools read as the file inside,
// from a file and (gzip) from a pipe; each damage refused with its reason.
TEST(PackedReaders, ReadTheFileInsideAndRefuseDamage) {
    TempDir dir;
    ASSERT_EQ(Shell("ogr2ogr -f KML " + dir / "doc.kml" + " " + kDrive + " tracks 2>/dev/null"), 0);
    const std::string d = dir.path();
    const std::string fit_file = DriveFit(dir);
    ASSERT_EQ(Shell("cd " + d + " && cp " + kDrive + " drive.gpx && gzip -k drive.gpx && " +
                    "cp drive.gpx.gz unnamed.gz && cp " + fit_file + " run.fit && gzip -k run.fit" +
                    " && zip -q one.zip drive.gpx && zip -q two.zip drive.gpx run.fit && " +
                    "zip -q map.kmz doc.kml && head -c 3000 drive.gpx.gz > cut.gpx.gz && " +
                    "cp drive.gpx.gz tail.gpx.gz && printf x >> tail.gpx.gz"),
              0);
    const ReadResult gpx = ReadPath(kDrive);
    const ReadResult fit = ReadPath(fit_file);
    const ReadResult kml = ReadPath(dir / "doc.kml");
    struct Case {
        std::string name;
        const ReadResult* same;  // null: refused
        std::string reason;
    } cases[] = {
        {"drive.gpx.gz", &gpx, ""},
        {"unnamed.gz", &gpx, ""},
        {"run.fit.gz", &fit, ""},
        {"one.zip", &gpx, ""},
        {"map.kmz", &kml, ""},
        {"two.zip", nullptr, "the zip archive holds 2 track files; unpack it first"},
        {"cut.gpx.gz", nullptr, "the gzip data ends before its end"},
        {"tail.gpx.gz", nullptr, "bytes follow the gzip data that are no gzip data"},
        {"drive.gpx", nullptr, ""},  // overwritten below: not a zip archive
    };
    testing_support::WriteFile(dir / "drive.zip", "PK\3\4 broken");
    cases[8] = {"drive.zip", nullptr, "the zip archive is damaged (Not a zip archive)"};
    for (const Case& c : cases) {
        const ReadResult read = ReadPath(dir / c.name);
        if (c.same == nullptr) {
            EXPECT_TRUE(read.failed) << c.name;
            EXPECT_EQ(read.error.reason.rfind(c.reason, 0), 0u)
                << c.name << ": " << read.error.reason;
            continue;
        }
        ASSERT_FALSE(read.failed) << c.name << ": " << read.error.reason;
        EXPECT_EQ(formats_support::Describe(read.model), formats_support::Describe(c.same->model))
            << c.name;
    }
    const testing_support::RunResult piped = testing_support::RunTool(
        "trackconvert", {"-", dir / "piped.csv"},
        {"UTC", "", 022, "", testing_support::ReadFile(dir / "drive.gpx.gz")});
    EXPECT_EQ(piped.exit_status, 0) << piped.err;
    EXPECT_NE(testing_support::ReadFile(dir / "piped.csv").find("46.9481"), std::string::npos);
    // A damaged input leaves the output as it was.
    testing_support::WriteFile(dir / "kept.csv", "as it was");
    const testing_support::RunResult damaged =
        testing_support::RunTool("trackconvert", {dir / "cut.gpx.gz", dir / "kept.csv"});
    EXPECT_NE(damaged.exit_status, 0);
    EXPECT_EQ(testing_support::ReadFile(dir / "kept.csv"), "as it was");
}

// A file cut part way: refused, or with salvage the whole points before the
// cut, the same as a full read's first ones, and where it broke.
TEST(Salvage, CutFitAndGpxKeepTheWholePointsBeforeTheBreak) {
    TempDir dir;
    const std::string fit_file = DriveFit(dir);
    ASSERT_EQ(Shell("head -c 3000 " + fit_file + " > " + dir / "cut.fit && head -c 20000 " +
                    kDrive + " > " + dir / "cut.gpx"),
              0);
    // Python's expat-based parser counts the track points it gets before
    // the error, and says where the error is (its columns count from 0).
    const std::string python =
        "python3 -c \"import xml.etree.ElementTree as E\nn=0\ntry:\n"
        " for e,x in E.iterparse('" +
        dir / "cut.gpx" +
        "'):\n  n+=x.tag.endswith('trkpt')\nexcept E.ParseError as p:\n"
        " print(n,p.position[0],p.position[1]+1)\" > " +
        dir / "python.txt";
    ASSERT_EQ(Shell(python), 0);
    const std::string reference = testing_support::ReadFile(dir / "python.txt");
    const struct {
        std::string cut;
        std::string full;
        std::string where;  // of the break
    } cases[] = {
        {dir / "cut.fit", fit_file, "at byte 3000"},
        {dir / "cut.gpx", kDrive, ""},
    };
    for (const auto& c : cases) {
        const ReadResult refused = ReadPath(c.cut);
        EXPECT_TRUE(refused.failed) << c.cut;
        const ReadResult salvaged = ReadPath(c.cut, true);
        ASSERT_FALSE(salvaged.failed) << c.cut << ": " << salvaged.error.reason;
        const ReadResult full = ReadPath(c.full);
        ASSERT_GT(salvaged.model.size(), 0u);
        ASSERT_LT(salvaged.model.size(), full.model.size());
        std::vector<track::Point> first(full.model.begin(),
                                        full.model.begin() + salvaged.model.size());
        EXPECT_EQ(formats_support::Describe(salvaged.model), formats_support::Describe(first));
        const std::string kept = "the " + std::to_string(salvaged.model.size()) + " points";
        EXPECT_NE(salvaged.error.reason.find(kept), std::string::npos) << salvaged.error.reason;
        if (!c.where.empty()) {
            EXPECT_NE(salvaged.error.reason.find(c.where), std::string::npos);
        } else {
            const std::size_t space = reference.find(' ');
            EXPECT_EQ(reference.substr(0, space), std::to_string(salvaged.model.size()));
            const std::size_t second = reference.find(' ', space + 1);
            const std::string place = "at line " + reference.substr(space + 1, second - space - 1) +
                                      ", column " +
                                      reference.substr(second + 1, reference.size() - second - 2);
            EXPECT_NE(salvaged.error.reason.find(place), std::string::npos)
                << salvaged.error.reason << " / " << reference;
        }
    }
}

}  // namespace
