// What the fuzz targets of the format readers share: reading every point of
// an input, and writing points into a second file in memory to read them back.
#ifndef TRACKTOOLS_FUZZ_FORMATS_FUZZ_H
#define TRACKTOOLS_FUZZ_FORMATS_FUZZ_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/writer.h"

namespace fuzz {

// Points the round trips go through; the rest of an input is only read.
constexpr std::size_t kRoundTripPoints = 64;

struct Points {
    std::vector<track::Point> points;  // the first kRoundTripPoints
    std::uint64_t count = 0;
    bool failed = false;
};

// Reads `name` as `format` to its end. The reader numbers its points from 1
// (checked when `numbered`), begins a track with its first point, names
// tracks on their first points only, keeps times in the years a point
// holds, says the same at its end twice, and keeps its tallies in a fixed
// order.
inline Points ReadAll(const std::string& name, formats::Format format, bool numbered) {
    formats::ReadError error;
    const auto reader = formats::OpenReader(name, format, error);
    FUZZ_CHECK(reader != nullptr);
    const std::size_t tallies = reader->Tallies().size();
    Points result;
    track::Point point;
    while (reader->Next(point)) {
        ++result.count;
        FUZZ_CHECK(!numbered || point.tag == result.count);
        FUZZ_CHECK(result.count > 1 || point.begins_track);
        FUZZ_CHECK(point.begins_segment || !point.begins_track);
        FUZZ_CHECK(point.begins_track || point.track_name.empty());
        FUZZ_CHECK(!point.Has(track::kTime) || track::KeepsTime(point.time.Seconds()));
        const GPL_Data_Point record = track::ToRecord(point);
        FUZZ_CHECK(record.Reserved1 == 0 && record.Reserved2 == 0);
        if (result.points.size() < kRoundTripPoints) {
            result.points.push_back(point);
        }
    }
    result.failed = reader->Failed();
    FUZZ_CHECK(result.failed == !reader->Error().reason.empty());
    FUZZ_CHECK(!reader->Next(point));
    FUZZ_CHECK(reader->Failed() == result.failed);
    FUZZ_CHECK(reader->Tallies().size() == tallies);
    return result;
}

// The name a writer gives a track without one of its own.
constexpr char kTrackName[] = "fuzz";

// Writes `points` as `format` into `file` and reads them back.
inline Points WriteAndRead(MemoryFile& file, formats::Format format,
                           const std::vector<track::Point>& points) {
    {
        formats::WriterOptions options;
        options.name = kTrackName;
        const auto writer = formats::OpenWriter(format, file.Empty(), options);
        for (const track::Point& point : points) {
            FUZZ_CHECK(writer->Write(point));
        }
        FUZZ_CHECK(writer->Finish());
    }
    const Points back = ReadAll(file.Name(), format, false);
    FUZZ_CHECK(!back.failed);
    return back;
}

// The same double, bit for bit (a NaN as a NaN of the same sign).
inline bool Same(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
    }
    return a == b && std::signbit(a) == std::signbit(b);
}

// The points read back are the points written, bit for bit: the same
// values present with the same doubles and times, the same segments, and
// (when `names`) the same track names, an empty one given kTrackName.
inline void CheckSame(const Points& back, const Points& written, bool names) {
    FUZZ_CHECK(back.count == written.points.size());
    for (std::size_t i = 0; i < back.points.size(); ++i) {
        const track::Point& is = back.points[i];
        const track::Point& was = written.points[i];
        FUZZ_CHECK(is.fields == was.fields);
        FUZZ_CHECK(!is.Has(track::kPosition) ||
                   (Same(is.latitude, was.latitude) && Same(is.longitude, was.longitude)));
        FUZZ_CHECK(!is.Has(track::kTime) || is.time == was.time);
        for (const track::Field field :
             {track::kElevation, track::kSpeed, track::kCourse, track::kHeartRate, track::kCadence,
              track::kPower, track::kTemperature}) {
            FUZZ_CHECK(!is.Has(field) || Same(is.Get(field), was.Get(field)));
        }
        FUZZ_CHECK(is.begins_segment == (was.begins_segment || i == 0));
        FUZZ_CHECK(!names || is.begins_track == (was.begins_track || i == 0));
        FUZZ_CHECK(!names || !is.begins_track ||
                   is.track_name == (was.track_name.empty() ? kTrackName : was.track_name));
    }
}

}  // namespace fuzz

#endif
