// Which format a file is: by name, by extension, by its first bytes; and the
// GPL reader behind the common reader interface.
#include <gtest/gtest.h>

#include <string>

#include "files.h"
#include "format.h"
#include "reader.h"
#include "sniff.h"

namespace {

using formats::Format;
using namespace testing_support;

TEST(Format, NamesAndExtensionsInAnyCase) {
    const struct {
        const char* path;
        Format format;
    } extensions[] = {
        {"ride.gpx", Format::kGpx},       {"RIDE.GPX", Format::kGpx},
        {"a/b.c/ride.Gpl", Format::kGpl}, {"x.nmea", Format::kNmea},
        {"x.nma", Format::kNmea},         {"x.LOG", Format::kNmea},
        {"x.kml", Format::kKml},          {"x.geojson", Format::kGeoJson},
        {"x.json", Format::kGeoJson},     {"x.csv", Format::kCsv},
        {"x.txt", Format::kUnknown},      {"ride", Format::kUnknown},
        {".gpx", Format::kUnknown},       {"dir.gpx/ride", Format::kUnknown},
    };
    for (const auto& e : extensions) {
        EXPECT_EQ(formats::FromExtension(e.path), e.format) << e.path;
    }
    for (const Format format : {Format::kGpl, Format::kGpx, Format::kNmea, Format::kKml,
                                Format::kGeoJson, Format::kCsv}) {
        EXPECT_EQ(formats::FromName(formats::Name(format)), format);
    }
    EXPECT_EQ(formats::FromName("GPX"), Format::kGpx);
    EXPECT_EQ(formats::FromName("xml"), Format::kUnknown);
    EXPECT_EQ(formats::FromName(""), Format::kUnknown);
}

TEST(Format, FirstBytesTellTextFormatsApart) {
    const struct {
        std::string bytes;
        Format format;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE x>\n<!-- c -->\n<gpx>", Format::kGpx},
        {"\xEF\xBB\xBF  <kml xmlns=\"\">", Format::kKml},
        {"<?xml version=\"1.0\"?><svg/>", Format::kXml},
        {"$GPGGA,1,2\r\n", Format::kNmea},
        {"# log\n2019-05-01 $GNRMC,x\n", Format::kNmea},
        {"$gprmc lower case is no sentence\n", Format::kText},
        {"point,time,latitude\n", Format::kCsv},
        {"1:1, 40.5, -75.25\n", Format::kListing},
        {"[1, 2]", Format::kGeoJson},
        {"plain words\n", Format::kText},
        {"\xEF\xBB\xBF", Format::kText},
        {"", Format::kUnknown},
        // A record: its doubles hold bytes that no text line does.
        {Record(FullPoint(40.5, -75.25, 3, 1000)), Format::kUnknown},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
        EXPECT_EQ(formats::SniffText(bytes, c.bytes.size()), c.format) << c.bytes;
    }
}

TEST(Reader, GplRecordsWithAPartialOneAndFailures) {
    TempDir dir;
    const GPL_Data_Point first = FullPoint(40.5, -75.25, 3, 1000);
    const GPL_Data_Point second = FullPoint(41.5, -76.25, 4, 2000);
    // No extension and no text: records.
    WriteFile(dir / "track", Records({first, second}) + "abc");
    formats::ReadError error;
    const auto reader = formats::OpenReader(dir / "track", Format::kUnknown, error);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->format(), Format::kGpl);
    GPL_Data_Point point;
    ASSERT_TRUE(reader->Next(point));
    EXPECT_EQ(Record(point), Record(first));
    ASSERT_TRUE(reader->Next(point));
    EXPECT_EQ(Record(point), Record(second));
    EXPECT_FALSE(reader->Next(point));
    EXPECT_FALSE(reader->Failed());
    EXPECT_EQ(reader->IgnoredBytes(), 3u);

    EXPECT_EQ(formats::OpenReader(dir / "none", Format::kGpl, error), nullptr);
    EXPECT_EQ(error.reason, "No such file or directory");

    const auto unreadable = formats::OpenReader("/proc/self/mem", Format::kGpl, error);
    ASSERT_NE(unreadable, nullptr);
    EXPECT_FALSE(unreadable->Next(point));
    EXPECT_TRUE(unreadable->Failed());
    EXPECT_EQ(unreadable->Error().reason, "Input/output error");
}

}  // namespace
