// zip archives (KMZ) on arbitrary bytes: libzip's view of a damaged
// archive, and the one track file inside, end with points or a reason.
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    if (size < 4 || data[0] != 'P' || data[1] != 'K' || data[2] != 3 || data[3] != 4) {
        return 0;  // not read as a zip archive at all
    }
    fuzz::ReadAll(input.Hold(data, size), formats::Format(), false);
    return 0;
}
