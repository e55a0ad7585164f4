// The CSV reader on arbitrary text: it ends, and what it reads the CSV
// writer writes so that it reads back bit for bit.
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("csv"), false);
    fuzz::CheckSame(fuzz::WriteAndRead(output, formats::Format::Named("csv"), read.points), read,
                    true, 0.0);
    return 0;
}
