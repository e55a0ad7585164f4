// The TCX reader on arbitrary documents: it ends, its points pass the
// checks of every activity's points, and the TCX writer's form of them
// reads back the same.
#include <cstddef>
#include <cstdint>

#include "activity_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Activity read =
        fuzz::ReadActivity(input.Hold(data, size), formats::Format::Named("tcx"));
    fuzz::CheckTcxRoundTrip(output, read.timed);
    return 0;
}
