// What the fuzz targets of the format readers share: reading every point of
// an input, and writing points into a second file in memory to read them back.
#ifndef TRACKTOOLS_FUZZ_FORMATS_FUZZ_H
#define TRACKTOOLS_FUZZ_FORMATS_FUZZ_H

#include <algorithm>
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
// (checked when `numbered`), begins a track with its first point that is
// not a waypoint, begins nothing with a waypoint, names
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
    bool any_track = false;
    while (reader->Next(point)) {
        ++result.count;
        FUZZ_CHECK(!numbered || point.tag == result.count);
        const bool waypoint = point.kind == track::Kind::kWaypoint;
        FUZZ_CHECK(any_track || waypoint || point.begins_track);
        FUZZ_CHECK(!waypoint || (!point.begins_track && !point.begins_segment));
        any_track = any_track || !waypoint;
        FUZZ_CHECK(point.begins_segment || !point.begins_track);
        FUZZ_CHECK(point.begins_track || point.track_name.empty());
        FUZZ_CHECK(!point.Has(track::kTime) || track::KeepsTime(point.time.Seconds()));
        // A GPL record read keeps its reserved fields as they were; a
        // record made of a point has them 0.
        const GPL_Data_Point record = track::ToRecord(point);
        FUZZ_CHECK(point.has_record || (record.Reserved1 == 0 && record.Reserved2 == 0));
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

// The points of each kind in their order: waypoints, routes, tracks (the
// order GPX writes them in).
inline std::vector<track::Point> ByKind(const std::vector<track::Point>& points) {
    std::vector<track::Point> sorted = points;
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const track::Point& a, const track::Point& b) {
            const auto rank = [](track::Kind kind) {
                return kind == track::Kind::kWaypoint ? 0 : kind == track::Kind::kRoute ? 1 : 2;
            };
            return rank(a.kind) < rank(b.kind);
        });
    return sorted;
}

// The points read back are the points written, bit for bit: the same
// kinds and values present with the same doubles and times, the same
// segments, and (when `names`) the same track names, an empty one given
// kTrackName. The first route point and the first track point begin a
// route and a track.
inline void CheckSame(const Points& back_read, const Points& written_read, bool names) {
    FUZZ_CHECK(back_read.count == written_read.points.size());
    const std::vector<track::Point> back = ByKind(back_read.points);
    const std::vector<track::Point> written = ByKind(written_read.points);
    for (std::size_t i = 0; i < back.size() && i < written.size(); ++i) {
        const track::Point& is = back[i];
        const track::Point& was = written[i];
        FUZZ_CHECK(is.kind == was.kind);
        const bool waypoint = is.kind == track::Kind::kWaypoint;
        const bool first = !waypoint && (i == 0 || written[i - 1].kind != was.kind);
        FUZZ_CHECK(is.fields == was.fields);
        FUZZ_CHECK(!is.Has(track::kPosition) ||
                   (Same(is.latitude, was.latitude) && Same(is.longitude, was.longitude)));
        FUZZ_CHECK(!is.Has(track::kTime) || is.time == was.time);
        for (const track::Field field :
             {track::kElevation, track::kSpeed, track::kCourse, track::kHeartRate, track::kCadence,
              track::kPower, track::kTemperature}) {
            FUZZ_CHECK(!is.Has(field) || Same(is.Get(field), was.Get(field)));
        }
        FUZZ_CHECK(is.begins_segment == (!waypoint && (was.begins_segment || first)));
        FUZZ_CHECK(!names || is.begins_track == (!waypoint && (was.begins_track || first)));
        FUZZ_CHECK(!names || !is.begins_track ||
                   is.track_name == (was.track_name.empty() ? kTrackName : was.track_name));
    }
}

}  // namespace fuzz

#endif
