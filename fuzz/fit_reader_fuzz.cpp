// The FIT reader on arbitrary bytes: it ends, a failure names a place within
// the input, its points pass the checks of every activity's points, and
// the TCX writer's form of them reads back the same.
#include <cstddef>
#include <cstdint>

#include "activity_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Activity read =
        fuzz::ReadActivity(input.Hold(data, size), formats::Format::Named("fit"));
    FUZZ_CHECK(!read.failed || (read.where.at_offset && read.where.offset <= size));
    // FIT times are 32-bit seconds from 1989-12-31.
    for (const track::Point& point : read.timed) {
        FUZZ_CHECK(point.time.Seconds() >= 631065600 &&
                   point.time.Seconds() <= 631065600 + 0xFFFFFFFFLL);
    }
    fuzz::CheckTcxRoundTrip(output, read.timed);
    return 0;
}
