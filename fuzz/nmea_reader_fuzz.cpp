// The NMEA reader on arbitrary logs: no content makes it fail, and every
// point it gives has a position, a time from 1980 to 2079, and its number.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("nmea"), true);
    FUZZ_CHECK(!read.failed);
    for (const GPL_Data_Point& point : read.points) {
        FUZZ_CHECK(std::fabs(point.Latitude) <= 90 && std::fabs(point.Longitude) <= 180);
        FUZZ_CHECK(point.Time >= 315532800u && point.Time < 3471292800u);  // 1980 to 2079
        FUZZ_CHECK(std::isfinite(point.Speed) && std::isfinite(point.Heading) &&
                   std::isfinite(point.Altitude));
    }
    return 0;
}
