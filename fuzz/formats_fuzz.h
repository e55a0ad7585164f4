// What the fuzz targets of the format readers share: reading every point of
// an input, and writing points into a second file in memory to read them back.
#ifndef TRACKTOOLS_FUZZ_FORMATS_FUZZ_H
#define TRACKTOOLS_FUZZ_FORMATS_FUZZ_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/writer.h"

namespace fuzz {

// Points the round trips go through; the rest of an input is only read.
constexpr std::size_t kRoundTripPoints = 64;

struct Points {
    std::vector<GPL_Data_Point> points;  // the first kRoundTripPoints
    std::uint64_t count = 0;
    bool failed = false;
};

// Reads `name` as `format` to its end. The reader numbers its points from 1
// (checked when `numbered`), says the same at its end twice, and keeps its
// tallies in a fixed order.
inline Points ReadAll(const std::string& name, formats::Format format, bool numbered) {
    formats::ReadError error;
    const auto reader = formats::OpenReader(name, format, error);
    FUZZ_CHECK(reader != nullptr);
    const std::size_t tallies = reader->Tallies().size();
    Points result;
    track::Point point;
    while (reader->Next(point)) {
        ++result.count;
        const GPL_Data_Point record = track::ToRecord(point);
        FUZZ_CHECK(!numbered || record.Tag == result.count);
        FUZZ_CHECK(record.Reserved1 == 0 && record.Reserved2 == 0);
        if (result.points.size() < kRoundTripPoints) {
            result.points.push_back(record);
        }
    }
    result.failed = reader->Failed();
    FUZZ_CHECK(result.failed == !reader->Error().reason.empty());
    FUZZ_CHECK(!reader->Next(point));
    FUZZ_CHECK(reader->Failed() == result.failed);
    FUZZ_CHECK(reader->Tallies().size() == tallies);
    return result;
}

// Writes `points` as `format` into `file` and reads them back.
inline Points WriteAndRead(MemoryFile& file, formats::Format format,
                           const std::vector<GPL_Data_Point>& points) {
    {
        const auto writer = formats::OpenWriter(format, file.Empty(), {"fuzz", false, false});
        track::Point point;
        for (const GPL_Data_Point& record : points) {
            track::FromRecord(record, point);
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

// The points read back are the points written: positions and times bit for
// bit, and Tag, heading and speed too when `every_field`; the altitude to
// `altitude` of its size (0: bit for bit).
inline void CheckSame(const Points& back, const Points& written, bool every_field,
                      double altitude) {
    FUZZ_CHECK(back.count == written.points.size());
    for (std::size_t i = 0; i < back.points.size(); ++i) {
        const GPL_Data_Point& is = back.points[i];
        const GPL_Data_Point& was = written.points[i];
        FUZZ_CHECK(Same(is.Latitude, was.Latitude) && Same(is.Longitude, was.Longitude));
        FUZZ_CHECK(is.Time == was.Time);
        FUZZ_CHECK(altitude == 0.0 ? Same(is.Altitude, was.Altitude)
                                   : std::fabs(is.Altitude - was.Altitude) <=
                                         altitude * std::fabs(was.Altitude));
        FUZZ_CHECK(!every_field || (Same(is.Heading, was.Heading) && Same(is.Speed, was.Speed) &&
                                    is.Tag == was.Tag));
    }
}

}  // namespace fuzz

#endif
