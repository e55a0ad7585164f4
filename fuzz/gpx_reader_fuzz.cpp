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
    const fuzz::Points read = fuzz::ReadAll(input.Hold(data, size), formats::Format::kGpx, true);
    for (const GPL_Data_Point& point : read.points) {
        FUZZ_CHECK(std::fabs(point.Latitude) <= 90 && std::fabs(point.Longitude) <= 180);
        FUZZ_CHECK(std::isfinite(point.Altitude) && std::isfinite(point.Speed) &&
                   std::isfinite(point.Heading));
    }
    const fuzz::Points back = fuzz::WriteAndRead(output, formats::Format::kGpx, read.points);
    FUZZ_CHECK(back.count == read.points.size());
    for (std::size_t i = 0; i < back.points.size(); ++i) {
        const GPL_Data_Point& was = read.points[i];
        const GPL_Data_Point& is = back.points[i];
        FUZZ_CHECK(fuzz::Same(is.Latitude, was.Latitude) &&
                   fuzz::Same(is.Longitude, was.Longitude));
        FUZZ_CHECK(is.Time == was.Time);
        FUZZ_CHECK(std::fabs(is.Altitude - was.Altitude) <= 1e-9 * std::fabs(was.Altitude));
    }
    return 0;
}
