// The NMEA reader on arbitrary logs: no content makes it fail, and every
// point it gives has a position, a time from 1980 to 2079 (a leap second on
// 31 December 2079 reaching 2080-01-01T00:00:00Z), and its number.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("nmea"), true);
    FUZZ_CHECK(!read.failed);
    for (const track::Point& point : read.points) {
        FUZZ_CHECK(point.Has(track::kPosition) && std::fabs(point.latitude) <= 90 &&
                   std::fabs(point.longitude) <= 180);
        FUZZ_CHECK(point.Has(track::kTime) &&
                   point.time >= track::Instant::FromSeconds(315532800) &&
                   point.time < track::Instant::FromSeconds(3471292801));
        FUZZ_CHECK(std::isfinite(point.speed) && std::isfinite(point.course) &&
                   (!point.Has(track::kElevation) || std::isfinite(point.elevation)));
    }
    return 0;
}
