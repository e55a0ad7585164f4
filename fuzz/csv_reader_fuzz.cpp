// The CSV reader on arbitrary text: it ends, and what it reads the CSV
// writer writes so that it reads back bit for bit, and so does its GPL
// record.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formats_fuzz.h"
#include "tracktools/track/gplfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    const fuzz::Points read =
        fuzz::ReadAll(input.Hold(data, size), formats::Format::Named("csv"), false);
    const fuzz::Points back =
        fuzz::WriteAndRead(output, formats::Format::Named("csv"), read.points);
    fuzz::CheckSame(back, read, false);
    for (std::size_t i = 0; i < back.points.size(); ++i) {
        unsigned char is[gpl::kRecordSize];
        unsigned char was[gpl::kRecordSize];
        gpl::EncodeRecord(track::ToRecord(back.points[i]), is);
        gpl::EncodeRecord(track::ToRecord(read.points[i]), was);
        FUZZ_CHECK(std::memcmp(is, was, sizeof is) == 0);
    }
    return 0;
}
