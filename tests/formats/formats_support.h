// Reading a whole text through a format reader, and writing points through a
// format writer into a file, for the tests of the formats library.
#ifndef TRACKTOOLS_TESTS_FORMATS_SUPPORT_H
#define TRACKTOOLS_TESTS_FORMATS_SUPPORT_H

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files.h"
#include "tracktools/formats/gpx/gpxreader.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/tcx/tcxreader.h"
#include "tracktools/formats/timetext.h"
#include "tracktools/formats/writer.h"

namespace formats_support {

struct ReadResult {
    std::vector<GPL_Data_Point> points;  // the points as GPL records
    std::vector<track::Point> model;
    bool failed = false;
    formats::ReadError error;
    std::vector<formats::Tally> tallies;

    // The count of the tally whose plural words start with `words`.
    std::uint64_t Count(const char* words) const {
        for (const formats::Tally& tally : tallies) {
            if (std::strncmp(tally.many, words, std::strlen(words)) == 0) {
                return tally.count;
            }
        }
        ADD_FAILURE() << "no tally \"" << words << "\"";
        return 0;
    }
};

// Reads every point of `reader`.
inline ReadResult ReadAll(formats::Reader& reader) {
    ReadResult result;
    track::Point point;
    while (reader.Next(point)) {
        result.points.push_back(track::ToRecord(point));
        result.model.push_back(point);
    }
    // The end stays the end.
    EXPECT_FALSE(reader.Next(point));
    result.failed = reader.Failed();
    result.error = reader.Error();
    result.tallies = reader.Tallies();
    return result;
}

std::vector<std::string> Describe(const std::vector<track::Point>& points);

// A reader of XML reads the file at `path` alike with the scanner and with
// expat alone: the same points bit for bit, tallies and error.
inline void ExpectSameWithExpat(const std::string& path, const ReadResult& read,
                                formats::Format format) {
    auto file = std::make_unique<io::InputFile>();
    ASSERT_TRUE(file->Open(path));
    std::unique_ptr<formats::Reader> reader;
    if (format == formats::Format::Named("gpx")) {
        reader = std::make_unique<formats::GpxReader>(std::move(file), formats::XmlEngine::kExpat);
    } else if (format == formats::Format::Named("tcx")) {
        reader = std::make_unique<formats::TcxReader>(std::move(file), formats::XmlEngine::kExpat);
    } else {
        return;
    }
    const ReadResult expat = ReadAll(*reader);
    ASSERT_EQ(expat.points.size(), read.points.size()) << path;
    EXPECT_TRUE(read.points.empty() ||
                std::memcmp(expat.points.data(), read.points.data(),
                            read.points.size() * sizeof(GPL_Data_Point)) == 0)
        << path;
    EXPECT_EQ(Describe(expat.model), Describe(read.model));
    EXPECT_EQ(expat.failed, read.failed);
    EXPECT_EQ(expat.error.reason, read.error.reason);
    EXPECT_EQ(expat.error.where.line, read.error.where.line);
    EXPECT_EQ(expat.error.where.column, read.error.where.column);
    ASSERT_EQ(expat.tallies.size(), read.tallies.size());
    for (std::size_t i = 0; i < read.tallies.size(); ++i) {
        EXPECT_EQ(expat.tallies[i].count, read.tallies[i].count) << read.tallies[i].many;
    }
}

// Reads `bytes` from a file as `format` (or the format they look like); an
// XML format is read both ways (ExpectSameWithExpat).
inline ReadResult ReadAll(const std::string& bytes, formats::Format format) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "input", bytes);
    ReadResult result;
    const auto reader = formats::OpenReader(dir / "input", format, result.error);
    if (!reader) {
        ADD_FAILURE() << "not opened: " << result.error.reason;
        result.failed = true;
        return result;
    }
    result = ReadAll(*reader);
    ExpectSameWithExpat(dir / "input", result, reader->format());
    return result;
}

// The fields of a point a reader makes, as a test expects them.
struct Expected {
    double latitude;
    double longitude;
    double altitude_feet;
    std::uint32_t time;
    double speed_mph;
    double heading;
};

// The points of `result` are `expected`, numbered from 1: latitude and
// longitude within `degrees` (0: the same double), altitude and speed, which
// went through a unit conversion, to 1e-9.
inline void ExpectPoints(const ReadResult& result, const std::vector<Expected>& expected,
                         const std::string& label, double degrees = 0.0) {
    ASSERT_FALSE(result.failed) << label << ": " << result.error.reason;
    ASSERT_EQ(result.points.size(), expected.size()) << label;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const GPL_Data_Point& point = result.points[i];
        SCOPED_TRACE(label + " point " + std::to_string(i));
        EXPECT_NEAR(point.Latitude, expected[i].latitude, degrees);
        EXPECT_NEAR(point.Longitude, expected[i].longitude, degrees);
        EXPECT_EQ(std::signbit(point.Latitude), std::signbit(expected[i].latitude));
        EXPECT_NEAR(point.Altitude, expected[i].altitude_feet, 1e-9);
        EXPECT_EQ(point.Time, expected[i].time);
        EXPECT_NEAR(point.Speed, expected[i].speed_mph, 1e-9);
        EXPECT_EQ(point.Heading, expected[i].heading);
        EXPECT_EQ(point.Tag, i + 1);
        EXPECT_EQ(point.Reserved1, 0u);
        EXPECT_EQ(point.Reserved2, 0u);
    }
}

// A point of the model in a line: where it begins a track ("track 1
// 'name'") or a segment, then the values it has ("ele=500 time=...Z
// hr=120"), in the order of track::Field.
inline std::string Describe(const track::Point& point) {
    std::ostringstream text;
    const auto number = [](double value) {
        char digits[32];
        return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    };
    if (point.begins_track) {
        text << "track " << point.track << " '" << point.track_name << "' ";
    } else if (point.begins_segment) {
        text << "segment ";
    }
    if (point.Has(track::kPosition)) {
        text << number(point.latitude) << "," << number(point.longitude);
    } else {
        text << "nowhere";
    }
    if (point.Has(track::kTime)) {
        char time[formats::kMaxUtcTimeLength];
        text << " time=" << std::string(time, formats::FormatUtcTime(point.time, time));
    }
    const std::pair<track::Field, const char*> values[] = {
        {track::kElevation, "ele"},   {track::kSpeed, "speed"}, {track::kCourse, "course"},
        {track::kHeartRate, "hr"},    {track::kCadence, "cad"}, {track::kPower, "power"},
        {track::kTemperature, "temp"}};
    for (const auto& [field, name] : values) {
        if (point.Has(field)) {
            text << " " << name << "=" << number(point.Get(field));
        }
    }
    return text.str();
}

inline std::vector<std::string> Describe(const std::vector<track::Point>& points) {
    std::vector<std::string> lines;
    for (const track::Point& point : points) {
        lines.push_back(Describe(point));
    }
    return lines;
}

// Writer options that name tracks `name`, with the switches `flags` set.
inline formats::WriterOptions Options(const char* name,
                                      std::initializer_list<const char*> flags = {}) {
    formats::WriterOptions options;
    options.name = name;
    for (const char* flag : flags) {
        options.Set(flag);
    }
    return options;
}

struct WriteResult {
    std::string bytes;
    std::uint64_t written = 0;
    std::vector<formats::Tally> tallies;
};

inline WriteResult WritePoints(formats::Format format, const std::vector<track::Point>& points,
                               const formats::WriterOptions& options = {}) {
    testing_support::TempDir dir;
    const std::string path = dir / "output";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    WriteResult result;
    {
        const auto writer = formats::OpenWriter(format, fd, options);
        for (const track::Point& point : points) {
            EXPECT_TRUE(writer->Write(point));
        }
        EXPECT_TRUE(writer->Finish());
        result.written = writer->Written();
        result.tallies = writer->Tallies();
    }
    ::close(fd);
    result.bytes = testing_support::ReadFile(path);
    return result;
}

// The points of GPL records, as the GPL reader makes them.
inline WriteResult WriteAll(formats::Format format, const std::vector<GPL_Data_Point>& records,
                            const formats::WriterOptions& options = {}) {
    std::vector<track::Point> points(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        track::FromRecord(records[i], points[i]);
    }
    return WritePoints(format, points, options);
}

}  // namespace formats_support

#endif
