// The GPX reader on arbitrary documents: it ends, every point it gives has
// a position GPX can hold and finite values, and the GPX writer's form of
// those points reads back to the same points, tracks and segments.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("gpx"), true);
    for (const track::Point& point : read.points) {
        FUZZ_CHECK(point.Has(track::kPosition) && std::fabs(point.latitude) <= 90 &&
                   std::fabs(point.longitude) <= 180);
        for (const track::Field field :
             {track::kElevation, track::kSpeed, track::kCourse, track::kHeartRate, track::kCadence,
              track::kPower, track::kTemperature}) {
            FUZZ_CHECK(!point.Has(field) || std::isfinite(point.Get(field)));
        }
    }
    fuzz::CheckSame(fuzz::WriteAndRead(output, formats::Format::Named("gpx"), read.points), read,
                    true);
    return 0;
}
