// The GPX reader: which elements make the points and their fields, what is
// passed over, and the errors of a file with their places.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "formats_support.h"
#include "tracktools/formats/gpx/gpxreader.h"
#include "tracktools/formats/xml/xmlstream.h"
#include "tracktools/track/sport.h"

namespace {

using formats::Format;
using formats_support::Expected;
using formats_support::ExpectPoints;
using formats_support::ReadAll;
using formats_support::ReadResult;

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
    "     xmlns:tpx1=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\"\n"
    "     xmlns:tpx2=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"\n"
    "     xmlns:other=\"urn:other\" "
    "xmlns:pwr=\"http://www.garmin.com/xmlschemas/PowerExtension/v1\">\n";

std::string Gpx(const std::string& body) {
    return kHead + body + "</gpx>\n";
}

std::string Track(const std::string& points) {
    return "<trk><name>t</name><trkseg>" + points + "</trkseg></trk>\n";
}

TEST(GpxReader, PointsAndTheirFields) {
    const struct {
        const char* label;
        std::string document;
        std::vector<Expected> points;
    } cases[] = {
        {"every field",
         Gpx(Track("<trkpt lat=\"46.5\" lon=\"7.25\"><ele>304.8</ele>"
                   "<time>2019-05-01T06:31:11.75+02:00</time><name>x</name>"
                   "<extensions><tpx2:TrackPointExtension><tpx2:speed>4.4704</tpx2:speed>"
                   "<tpx2:course>270.5</tpx2:course></tpx2:TrackPointExtension></extensions>"
                   "</trkpt>")),
         {{46.5, 7.25, 1000.0, 1556685071, 10.0, 270.5}}},
        {"GPX 1.0 speed and course, TrackPointExtension v1",
         "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\">" +
             Track("<trkpt lat=\"1\" lon=\"2\"><course>90</course><speed>1</speed></trkpt>"
                   "<trkpt lat=\"3\" lon=\"4\"><extensions><x:e "
                   "xmlns:x=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">"
                   "<x:speed>2</x:speed></x:e></extensions></trkpt>") +
             "</gpx>",
         {{1, 2, 0, 0, 1 * 3600 / 1609.344, 90}, {3, 4, 0, 0, 2 * 3600 / 1609.344, 0}}},
        {"waypoints, routes and tracks in file order; other namespaces do not count",
         Gpx("<wpt lat=\"9\" lon=\"9\"><ele>1</ele></wpt>"
             "<rte><rtept lat=\"8\" lon=\"8\"/></rte>" +
             Track("<trkpt lat=\"1\" lon=\"1\"><other:ele>99</other:ele>"
                   "<extensions><ele>98</ele><other:speed>5</other:speed></extensions>"
                   "</trkpt></trkseg><trkseg><trkpt lat=\"2\" lon=\"2\"/>") +
             Track("<trkpt lat=\"3\" lon=\"3\"/>")),
         {{9, 9, 1 / 0.3048, 0, 0, 0},
          {8, 8, 0, 0, 0, 0},
          {1, 1, 0, 0, 0, 0},
          {2, 2, 0, 0, 0, 0},
          {3, 3, 0, 0, 0, 0}}},
        {"routes when there is no track point",
         Gpx("<rte><rtept lat=\"8\" lon=\"-8\"><ele>0.3048</ele></rtept></rte>"
             "<rte><rtept lat=\"7\" lon=\"-7\"/></rte><trk><name>no points</name></trk>"),
         {{8, -8, 1, 0, 0, 0}, {7, -7, 0, 0, 0, 0}}},
        {"numbers as strtod reads them, references, CDATA, comments",
         Gpx(Track("<trkpt lat=\" +4.5e1 \" lon=\"0x1p3\"><ele> &#51;&#x30;.48 </ele>"
                   "<!-- c --><time><![CDATA[2019-05-01T04:31:11Z]]></time></trkpt>"
                   "<trkpt lat='-0' lon='-180'><ele/></trkpt>")),
         {{45, 8, 100, 1556685071, 0, 0}, {-0.0, -180, 0, 0, 0, 0}}},
        {"a file without a namespace",
         "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><ele>0</ele></trkpt></trkseg></trk></gpx>",
         {{1, 2, 0, 0, 0, 0}}},
        {"no points at all", Gpx("<metadata><name>empty</name></metadata>"), {}},
    };
    for (const auto& c : cases) {
        ExpectPoints(ReadAll(c.document, Format::Named("gpx")), c.points, c.label);
    }
}

// The model's view of the same documents: tracks with their names and
// segments, values absent where the file has none, fractions of a second,
// and the sensor values of Garmin's extensions and of `power` elements.
TEST(GpxReader, TracksSegmentsAndWhatEachPointHolds) {
    const struct {
        const char* label;
        std::string document;
        std::vector<std::string> points;
    } cases[] = {
        {"tracks with names before and after their points, segments, an empty segment",
         Gpx("<trk><name>\n  Morning &amp; hike </name><trkseg><trkpt lat=\"1\" lon=\"1\"/>"
             "<trkpt lat=\"1\" lon=\"2\"/></trkseg><trkseg/><trkseg><trkpt lat=\"1\" lon=\"3\"/>"
             "</trkseg></trk><trk><trkseg/></trk><trk><trkseg><trkpt lat=\"91\" lon=\"0\"/>"
             "</trkseg><trkseg><trkpt lat=\"2\" lon=\"1\"/></trkseg><name>late</name></trk>"),
         {"track 0 'Morning & hike' 1,1", "1,2", "segment 1,3", "track 2 '' 2,1"}},
        {"a point inside a name, which is no GPX: the name as far as it goes",
         Gpx("<trk><name> Tour <trkseg><trkpt lat=\"1\" lon=\"1\"><ele>5</ele></trkpt></trkseg>"
             "de France</name></trk>"),
         {"track 0 'Tour' 1,1 ele=5"}},
        {"each route a track with its name",
         Gpx("<rte><name>out</name><rtept lat=\"1\" lon=\"1\"/><rtept lat=\"1\" lon=\"2\"/>"
             "</rte><rte><rtept lat=\"2\" lon=\"1\"/></rte>"),
         {"track 0 'out' 1,1", "1,2", "track 1 '' 2,1"}},
        {"absent is not 0; fractions to the nanosecond",
         Gpx(Track("<trkpt lat=\"1\" lon=\"1\"><ele/><time>2019-05-01T06:31:11.123456789999+02:00"
                   "</time></trkpt><trkpt lat=\"1\" lon=\"2\"><ele>0</ele></trkpt>")),
         {"track 0 't' 1,1 time=2019-05-01T04:31:11.123456789Z", "1,2 ele=0"}},
        {"sensor values of either extension version, power of any namespace",
         Gpx(Track("<trkpt lat=\"1\" lon=\"1\"><extensions><tpx1:TrackPointExtension>"
                   "<tpx1:atemp>-3.5</tpx1:atemp><tpx1:hr>140</tpx1:hr><tpx1:cad>88</tpx1:cad>"
                   "</tpx1:TrackPointExtension><pwr:PowerInWatts>250</pwr:PowerInWatts>"
                   "</extensions></trkpt>"
                   "<trkpt lat=\"1\" lon=\"2\"><extensions><tpx2:TrackPointExtension>"
                   "<tpx2:hr>141</tpx2:hr><tpx2:speed>3</tpx2:speed><tpx2:course>9</tpx2:course>"
                   "</tpx2:TrackPointExtension><other:power>251.5</other:power></extensions>"
                   "</trkpt>"
                   "<trkpt lat=\"1\" lon=\"3\"><extensions><x><power>252</power></x></extensions>"
                   "</trkpt>"
                   // Not a power: outside extensions, or not a number in another schema.
                   "<trkpt lat=\"1\" lon=\"4\"><power>1</power><other:power>1</other:power>"
                   "<extensions><other:power>n/a</other:power></extensions></trkpt>")),
         {"track 0 't' 1,1 hr=140 cad=88 power=250 temp=-3.5",
          "1,2 speed=3 course=9 hr=141 power=251.5", "1,3 power=252", "1,4"}},
    };
    for (const auto& c : cases) {
        const ReadResult result = ReadAll(c.document, Format::Named("gpx"));
        ASSERT_FALSE(result.failed) << c.label << ": " << result.error.reason;
        EXPECT_EQ(formats_support::Describe(result.model), c.points) << c.label;
    }
}

TEST(GpxReader, PointsWithoutPositionAreSkippedAndTimesOutsideGplStayTimes) {
    const ReadResult result = ReadAll(
        Gpx(Track("<trkpt lat=\"91\" lon=\"0\"/><trkpt lat=\"0\" lon=\"-180.5\"/>"
                  "<trkpt lon=\"0\"/><trkpt lat=\"nan\" lon=\"0\"/><trkpt lat=\"1x\" lon=\"0\"/>"
                  "<trkpt lat=\"\" lon=\"0\"/><trkpt lat=\"90\" lon=\"-180\">"
                  "<time>1969-12-31T23:59:59Z</time></trkpt>"
                  "<trkpt lat=\"0\" lon=\"0\"><time>2106-02-07T06:28:16Z</time></trkpt>"
                  "<trkpt lat=\"0\" lon=\"0\"><time>2106-02-07T06:28:15Z</time></trkpt>")),
        Format::Named("gpx"));
    ExpectPoints(result, {{90, -180, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 4294967295u, 0, 0}},
                 "skipped");
    EXPECT_EQ(result.Count("points without a valid latitude"), 6u);
    EXPECT_EQ(result.model[0].time.Seconds(), -1);
    EXPECT_EQ(result.model[1].time.Seconds(), 4294967296);
}

TEST(GpxReader, Utf16WithAByteOrderMark) {
    const std::string text = "<gpx><trk><trkseg><trkpt lat=\"5\" lon=\"6\"/></trkseg></trk></gpx>";
    std::string utf16 = "\xFF\xFE";
    for (const char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    ExpectPoints(ReadAll(utf16, Format::Named("gpx")), {{5, 6, 0, 0, 0, 0}}, "UTF-16");
}

TEST(GpxReader, ErrorsOfTheFileWithTheirPlaces) {
    std::string nested = "<gpx>";
    for (int i = 0; i < 300; ++i) {
        nested += "<a>";
    }
    const struct {
        std::string document;
        const char* reason;
        std::uint64_t line;
        std::uint64_t column;
    } cases[] = {
        {"", "no element found", 1, 1},
        {"not xml\n", "syntax error", 1, 1},
        {"<gpx><trk>\n<trkseg><trkpt lat=\"1\" lon=\"2\">", "no element found", 2, 32},
        {"<gpx>\n  <a b=\"1\" b=\"2\"/></gpx>", "duplicate attribute", 2, 12},
        {"<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"/>",
         "not a GPX file: the root element is kml, not gpx", 2, 1},
        {"<gpx xmlns=\"http://www.topografix.com/GPX/1/2\"/>",
         "not a GPX file: the root element is gpx, not gpx", 1, 1},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ENTITY a \"aaaa\">]>\n<gpx>&a;</gpx>",
         "a document type declaration is not accepted (it could declare entities)", 2, 15},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\">\n  <time>yesterday</time></trkpt>")),
         "time is not a date and time: \"yesterday\"", 7, 3},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\"><ele>high</ele></trkpt>")),
         "ele is not a number: \"high\"", 6, 51},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\"><ele>nan</ele></trkpt>")),
         "ele is not a number: \"nan\"", 6, 51},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\"><extensions><tpx1:e><tpx1:hr>fast</tpx1:hr>"
                   "</tpx1:e></extensions></trkpt>")),
         "hr is not a number: \"fast\"", 6, 71},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\"><extensions><pwr:PowerInWatts>-</pwr:PowerInWatts>"
                   "</extensions></trkpt>")),
         "PowerInWatts is not a number: \"-\"", 6, 63},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\"><extensions><tpx2:e><tpx2:speed>1e999"
                   "</tpx2:speed></tpx2:e></extensions></trkpt>")),
         "speed is not a number: \"1e999\"", 6, 71},
        {Gpx(Track("<trkpt lat=\"1\" lon=\"2\"><ele>" + std::string(200, '1') + "</ele></trkpt>")),
         "ele is not a number: \"" /* shown cut short */, 6, 51},
        // The element that goes one deeper than allowed.
        {nested, "elements nested more than 256 deep", 1, 5 + 255 * 3 + 1},
    };
    for (const auto& c : cases) {
        const ReadResult result = ReadAll(c.document, Format::Named("gpx"));
        EXPECT_TRUE(result.failed) << c.document;
        EXPECT_EQ(result.error.reason.compare(0, std::strlen(c.reason), c.reason), 0)
            << result.error.reason;
        EXPECT_EQ(result.error.where.line, c.line) << c.reason;
        EXPECT_EQ(result.error.where.column, c.column) << c.reason;
        EXPECT_EQ(result.error.system_error, 0);
    }
}

// Waypoints, routes and tracks in one pass, in the order of the file: a
// pipe gives them all, with their kinds, texts and the track's sport.
TEST(GpxReader, WaypointsRoutesAndTracksFromAPipe) {
    testing_support::TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&fifo]() {
        testing_support::WriteFile(
            fifo, Gpx("<wpt lat=\"3\" lon=\"4\"><name> Hut </name><cmt>c</cmt><desc>d</desc>"
                      "<link href=\"http://h/\"><text>t</text></link><sym>s</sym><type>y</type>"
                      "</wpt><rte><name>plan</name><rtept lat=\"1\" lon=\"2\"/></rte>"
                      "<trk><type>Biking</type><trkseg><trkpt lat=\"1\" lon=\"2\">"
                      "<name>p</name></trkpt></trkseg></trk>"));
    });
    formats::ReadError error;
    const auto reader = formats::OpenReader(fifo, Format::Named("gpx"), error);
    ASSERT_NE(reader, nullptr);
    const ReadResult result = ReadAll(*reader);
    writer.join();
    ASSERT_FALSE(result.failed) << result.error.reason;
    ASSERT_EQ(result.model.size(), 3u);
    const track::Point& waypoint = result.model[0];
    EXPECT_EQ(waypoint.kind, track::Kind::kWaypoint);
    EXPECT_FALSE(waypoint.begins_track);
    const std::pair<track::Text, const char*> texts[] = {
        {track::Text::kName, "Hut"},      {track::Text::kComment, "c"},
        {track::Text::kDescription, "d"}, {track::Text::kLink, "http://h/"},
        {track::Text::kSymbol, "s"},      {track::Text::kType, "y"}};
    for (const auto& [text, value] : texts) {
        EXPECT_EQ(waypoint.texts.Get(text), value);
    }
    EXPECT_EQ(result.model[1].kind, track::Kind::kRoute);
    EXPECT_TRUE(result.model[1].begins_track);
    EXPECT_EQ(result.model[1].track_name, "plan");
    EXPECT_EQ(result.model[2].kind, track::Kind::kTrack);
    EXPECT_TRUE(result.model[2].begins_track);
    EXPECT_EQ(result.model[2].track, 1u);
    EXPECT_TRUE(result.model[2].begins_session);
    EXPECT_EQ(result.model[2].sport, track::kCycling);
    EXPECT_EQ(result.model[2].texts.Get(track::Text::kName), "p");
}

// Without a type, an app's activity tag in the track's extensions names the
// sport; a type names it first.
TEST(GpxReader, SportFromAnActivityExtension) {
    const char* const kTrack =
        "<trk>%s<extensions><l:activity xmlns:l=\"http://app/\">running</l:activity></extensions>"
        "<trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk>";
    for (const auto& [type, sport] : {std::pair<const char*, std::uint8_t>{"", track::kRunning},
                                      {"<type>cycling</type>", track::kCycling}}) {
        char body[400];
        std::snprintf(body, sizeof body, kTrack, type);
        const ReadResult result = ReadAll(Gpx(body), Format::Named("gpx"));
        ASSERT_EQ(result.model.size(), 1u) << result.error.reason;
        EXPECT_EQ(result.model[0].sport, sport) << type;
    }
}

// One tag longer than the reader lets expat hold fails when the limit is
// passed, not at the end of the tag.
TEST(GpxReader, MarkupLongerThanTheLimitFailsEarly) {
    const std::string document = Gpx(Track("<trkpt lat=\"1\" lon=\"2\"/>") + "<x a=\"" +
                                     std::string(3 * formats::XmlStream::kMaxMarkup, '1') + "\"/>");
    const ReadResult result = ReadAll(document, Format::Named("gpx"));
    ASSERT_TRUE(result.failed);
    EXPECT_EQ(result.error.reason.rfind("markup longer than 1048576 bytes", 0), 0u);
    EXPECT_EQ(result.points.size(), 1u);
}

}  // namespace
