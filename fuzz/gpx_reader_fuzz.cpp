// The GPX reader on arbitrary documents: it ends, every point it gives has a
// position GPX can hold, and the GPX writer's form of those points reads
// back to the same positions and times.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("gpx"), true);
    for (const GPL_Data_Point& point : read.points) {
        FUZZ_CHECK(std::fabs(point.Latitude) <= 90 && std::fabs(point.Longitude) <= 180);
        FUZZ_CHECK(std::isfinite(point.Altitude) && std::isfinite(point.Speed) &&
                   std::isfinite(point.Heading));
    }
    fuzz::CheckSame(fuzz::WriteAndRead(output, formats::Format::Named("gpx"), read.points), read,
                    false, 1e-9);
    return 0;
}
