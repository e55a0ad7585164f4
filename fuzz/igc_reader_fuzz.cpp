// The IGC reader on arbitrary logs: it ends, every point has a position
// within ±90 and ±180, finite elevations, times that never go back (a time
// earlier than the one before moves to the next day) but where a second
// date header sets the clock, and the GPX writer's form of those points
// reads back to the same points.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("igc"), true);
    FUZZ_CHECK(!read.failed);
    // A second date header may set the clock back.
    const bool redated =
        std::string_view(reinterpret_cast<const char*>(data), size).find("HFDTE") !=
        std::string_view(reinterpret_cast<const char*>(data), size).rfind("HFDTE");
    const track::Point* timed = nullptr;
    for (const track::Point& point : read.points) {
        FUZZ_CHECK(point.Has(track::kPosition) && std::fabs(point.latitude) <= 90 &&
                   std::fabs(point.longitude) <= 180);
        FUZZ_CHECK(!point.Has(track::kElevation) || std::isfinite(point.elevation));
        if (point.Has(track::kTime)) {
            // The roll keeps the times in order.
            FUZZ_CHECK(redated || timed == nullptr || point.time >= timed->time);
            timed = &point;
        }
    }
    fuzz::CheckSame(fuzz::WriteAndRead(output, formats::Format::Named("gpx"), read.points), read,
                    false);
    return 0;
}
