// The CSV reader on arbitrary text: it ends, and what it reads the CSV
// writer writes so that it reads back bit for bit.
#include <cstddef>
#include <cstdint>

#include "formats_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Points read = fuzz::ReadAll(input.Hold(data, size), formats::Format::kCsv, false);
    const fuzz::Points back = fuzz::WriteAndRead(output, formats::Format::kCsv, read.points);
    FUZZ_CHECK(back.count == read.points.size());
    for (std::size_t i = 0; i < back.points.size(); ++i) {
        const GPL_Data_Point& was = read.points[i];
        const GPL_Data_Point& is = back.points[i];
        FUZZ_CHECK(fuzz::Same(is.Latitude, was.Latitude) &&
                   fuzz::Same(is.Longitude, was.Longitude));
        FUZZ_CHECK(fuzz::Same(is.Altitude, was.Altitude) && fuzz::Same(is.Heading, was.Heading));
        FUZZ_CHECK(fuzz::Same(is.Speed, was.Speed));
        FUZZ_CHECK(is.Time == was.Time && is.Tag == was.Tag);
    }
    return 0;
}
