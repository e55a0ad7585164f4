// What the fuzz targets of the activity formats (FIT and TCX in) share:
// reading every point of an input as the model gives it, with the checks
// every point must pass, and the TCX round trip of the points with a time.
#ifndef TRACKTOOLS_FUZZ_ACTIVITY_FUZZ_H
#define TRACKTOOLS_FUZZ_ACTIVITY_FUZZ_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace fuzz {

struct Activity {
    std::vector<track::Point> timed;  // the first points with a time
    std::uint64_t count = 0;
    bool failed = false;
    formats::Location where;
};

// Reads `name` as `format` to its end: points numbered from 1, the first
// beginning the track, positions on the globe, every value finite; the end
// stays the end.
inline Activity ReadActivity(const std::string& name, formats::Format format) {
    formats::ReadError error;
    const auto reader = formats::OpenReader(name, format, error);
    FUZZ_CHECK(reader != nullptr);
    Activity result;
    track::Point point;
    while (reader->Next(point)) {
        ++result.count;
        FUZZ_CHECK(point.tag == result.count);
        FUZZ_CHECK(point.begins_track == (result.count == 1));
        FUZZ_CHECK(!point.begins_track || point.begins_segment);
        FUZZ_CHECK(!point.Has(track::kPosition) || formats::HasValidPosition(point));
        for (const track::Field field :
             {track::kElevation, track::kSpeed, track::kHeartRate, track::kCadence, track::kPower,
              track::kTemperature, track::kDistance}) {
            FUZZ_CHECK(!point.Has(field) || std::isfinite(point.Get(field)));
        }
        if (point.Has(track::kTime) && result.timed.size() < 64) {
            result.timed.push_back(point);
        }
    }
    result.failed = reader->Failed();
    result.where = reader->Error().where;
    FUZZ_CHECK(result.failed == !reader->Error().reason.empty());
    FUZZ_CHECK(!reader->Next(point));
    return result;
}

// The TCX writer's form of `points` reads back to the same times,
// positions, altitudes and speeds.
inline void CheckTcxRoundTrip(MemoryFile& file, const std::vector<track::Point>& points) {
    {
        const auto writer = formats::OpenWriter(formats::Format::Named("tcx"), file.Empty(),
                                                formats::WriterOptions());
        for (const track::Point& point : points) {
            FUZZ_CHECK(writer->Write(point));
        }
        FUZZ_CHECK(writer->Finish());
    }
    const Activity back = ReadActivity(file.Name(), formats::Format::Named("tcx"));
    FUZZ_CHECK(!back.failed && back.count == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const track::Point& was = points[i];
        const track::Point& is = back.timed[i];
        FUZZ_CHECK(is.time.Seconds() == was.time.Seconds());
        FUZZ_CHECK(is.Has(track::kPosition) == was.Has(track::kPosition));
        FUZZ_CHECK(is.latitude == was.latitude);
        FUZZ_CHECK(is.longitude == was.longitude || (was.longitude == 180 && is.longitude == -180));
        for (const track::Field field : {track::kElevation, track::kSpeed}) {
            FUZZ_CHECK(is.Has(field) == was.Has(field) && is.Get(field) == was.Get(field));
        }
    }
}

}  // namespace fuzz

#endif
