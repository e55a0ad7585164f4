// Which format a file is: by name, by extension, by its first bytes; and the
// GPL reader behind the common reader interface.
#include <gtest/gtest.h>

#include <string>

#include "files.h"
#include "tracktools/formats/format.h"
#include "tracktools/formats/reader.h"

namespace {

using formats::Format;
using namespace testing_support;

TEST(Format, NamesAndExtensionsInAnyCase) {
    const struct {
        const char* path;
        Format format;
    } extensions[] = {
        {"ride.gpx", Format::Named("gpx")},
        {"RIDE.GPX", Format::Named("gpx")},
        {"a/b.c/ride.Gpl", Format::Named("gpl")},
        {"x.nmea", Format::Named("nmea")},
        {"x.nma", Format::Named("nmea")},
        {"x.LOG", Format::Named("nmea")},
        {"x.kml", Format::Named("kml")},
        {"x.geojson", Format::Named("geojson")},
        {"x.json", Format::Named("geojson")},
        {"x.csv", Format::Named("csv")},
        {"x.txt", Format()},
        {"ride", Format()},
        {".gpx", Format()},
        {"dir.gpx/ride", Format()},
        {"x.tcx", Format::Named("tcx")},
        {"x.FIT", Format::Named("fit")},
    };
    for (const auto& e : extensions) {
        EXPECT_EQ(Format::OfExtension(e.path), e.format) << e.path;
    }
    for (const Format format :
         {Format::Named("gpl"), Format::Named("gpx"), Format::Named("nmea"), Format::Named("kml"),
          Format::Named("geojson"), Format::Named("csv")}) {
        EXPECT_EQ(Format::Named(format.Name()), format);
    }
    EXPECT_EQ(Format::Named("GPX"), Format::Named("gpx"));
    EXPECT_FALSE(Format::Named("xml").Known());
    EXPECT_FALSE(Format::Named("").Known());
    EXPECT_EQ(Format::ReadableNames(), "gpl, gpx, tcx, kml, geojson, fit, nmea, igc or csv");
    EXPECT_EQ(Format::WritableNames(), "gpl, gpx, tcx, kml, geojson or csv");
}

TEST(Format, FirstBytesTellTextFormatsApart) {
    const struct {
        std::string bytes;
        const char* description;  // "" for nothing recognisable
    } cases[] = {
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE x>\n<!-- c -->\n<gpx>", "GPX file"},
        {"<g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\">", "GPX file"},
        {"\xEF\xBB\xBF  <kml xmlns=\"\">", "KML file"},
        {"<TrainingCenterDatabase xmlns=\"x\">", "TCX file"},
        {"<?xml version=\"1.0\"?><svg/>", "XML file"},
        {std::string("\x0e\x10\x00\x00\x00\x00\x00\x00.FIT", 12), "FIT file"},
        {"\x1f\x8b\x08", "gzip file"},
        {"PK\x03\x04", "zip archive"},
        {"$GPGGA,1,2\r\n", "NMEA log"},
        {"# log\n2019-05-01 $GNRMC,x\n", "NMEA log"},
        {"$gprmc lower case is no sentence\n", "text file"},
        {"point,time,Latitude, \"longitude\"\n", "CSV file"},
        {"point,time,latitude\n", "text file"},
        {"3, 40.5, -75.25, 12-Sep-2002\n", "text file"},
        {"1:1, 40.5, -75.25\n", "text listing"},
        {"[1, 2]", "GeoJSON file"},
        {"plain words\n", "text file"},
        {"\xEF\xBB\xBF", "text file"},
        {"", ""},
        // A record: its doubles hold bytes that no text line does.
        {Record(FullPoint(40.5, -75.25, 3, 1000)), ""},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
        EXPECT_STREQ(Format::OfContent(bytes, c.bytes.size()).Describe(), c.description) << c.bytes;
    }
}

TEST(Reader, GplRecordsWithAPartialOneAndFailures) {
    TempDir dir;
    const GPL_Data_Point first = FullPoint(40.5, -75.25, 3, 1000);
    const GPL_Data_Point second = FullPoint(41.5, -76.25, 4, 2000);
    // No extension and no text: records.
    WriteFile(dir / "track", Records({first, second}) + "abc");
    formats::ReadError error;
    const auto reader = formats::OpenReader(dir / "track", Format(), error);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->format(), Format::Named("gpl"));
    track::Point point;
    ASSERT_TRUE(reader->Next(point));
    EXPECT_EQ(Record(track::ToRecord(point)), Record(first));
    EXPECT_TRUE(point.begins_track);
    ASSERT_TRUE(reader->Next(point));
    EXPECT_EQ(Record(track::ToRecord(point)), Record(second));
    EXPECT_FALSE(point.begins_segment);
    EXPECT_FALSE(reader->Next(point));
    EXPECT_FALSE(reader->Failed());
    ASSERT_EQ(reader->Remarks().size(), 1u);
    EXPECT_EQ(reader->Remarks().front().ignored_bytes, 3u);

    EXPECT_EQ(formats::OpenReader(dir / "none", Format::Named("gpl"), error), nullptr);
    EXPECT_EQ(error.reason, "No such file or directory");

    const auto unreadable = formats::OpenReader("/proc/self/mem", Format::Named("gpl"), error);
    ASSERT_NE(unreadable, nullptr);
    EXPECT_FALSE(unreadable->Next(point));
    EXPECT_TRUE(unreadable->Failed());
    EXPECT_EQ(unreadable->Error().reason, "Input/output error");
}

}  // namespace
