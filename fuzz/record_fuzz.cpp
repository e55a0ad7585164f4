// The record reader on arbitrary files, and the text writer on the arbitrary
// records it gives: what the writer writes, the reader reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <ios>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "tracktools/track/gpldata.h"
#include "tracktools/track/gplfile.h"
#include "tracktools/track/point.h"

namespace {

// Records of one input that go through the text form; the rest are only read.
constexpr std::size_t kTextRecords = 16;

std::string Text(const GPL_Data_Point& point) {
    std::ostringstream out;
    out << point;
    // The stream is left in fixed notation, point shown, precision 5, no width.
    FUZZ_CHECK((out.flags() & std::ios::floatfield) == std::ios::fixed);
    FUZZ_CHECK((out.flags() & std::ios::showpoint) != 0);
    FUZZ_CHECK(out.precision() == 5);
    FUZZ_CHECK(out.width() == 0);
    return out.str();
}

// In UTC the calendar text names every 32-bit time stamp exactly, and every
// number is written with a fixed count of decimals that reading and writing
// again reproduces: the text of a point read back is the text written.
void CheckTextForm(const GPL_Data_Point& point) {
    const std::string text = Text(point);
    FUZZ_CHECK(text.find('\n') == std::string::npos);
    FUZZ_CHECK(text.find('\0') == std::string::npos);

    std::string line = "1:" + text;
    GPL_Data_Point back;
    FUZZ_CHECK(back.ExtractFromString(line));
    FUZZ_CHECK(back.Tag == point.Tag);
    FUZZ_CHECK(back.Time == point.Time);
    FUZZ_CHECK(back.Reserved1 == 0 && back.Reserved2 == 0);
    FUZZ_CHECK(Text(back) == text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile file;
    io::InputFile input;
    FUZZ_CHECK(input.Open(file.Hold(data, size)));

    // Every whole record comes back byte for byte; a partial one is dropped.
    std::size_t records = 0;
    GPL_Data_Point point;
    while (gpl::ReadRecord(input, point)) {
        FUZZ_CHECK(!input.AtEnd());
        FUZZ_CHECK((records + 1) * gpl::kRecordSize <= size);
        const std::uint8_t* bytes = data + records * gpl::kRecordSize;
        unsigned char again[gpl::kRecordSize];
        gpl::EncodeRecord(point, again);
        FUZZ_CHECK(std::memcmp(again, bytes, sizeof again) == 0);

        GPL_Data_Point decoded;
        gpl::DecodeRecord(bytes, decoded);
        gpl::EncodeRecord(decoded, again);
        FUZZ_CHECK(std::memcmp(again, bytes, sizeof again) == 0);

        // Through the track model and back, every byte stays as it was.
        track::Point model;
        track::FromRecord(point, model);
        gpl::EncodeRecord(track::ToRecord(model), again);
        FUZZ_CHECK(std::memcmp(again, bytes, sizeof again) == 0);
        // Setting a field to the value its record holds changes no byte.
        track::SetRecordSpeed(model, point.Speed);
        track::SetRecordHeading(model, point.Heading);
        track::SetRecordTime(model, point.Time);
        gpl::EncodeRecord(track::ToRecord(model), again);
        FUZZ_CHECK(std::memcmp(again, bytes, sizeof again) == 0);

        if (records < kTextRecords) {
            CheckTextForm(point);
        }
        ++records;
    }
    FUZZ_CHECK(records == size / gpl::kRecordSize);
    FUZZ_CHECK(input.AtEnd());
    // A failed read leaves the point as it was.
    const GPL_Data_Point last = point;
    FUZZ_CHECK(!gpl::ReadRecord(input, point));
    unsigned char before[gpl::kRecordSize];
    unsigned char after[gpl::kRecordSize];
    gpl::EncodeRecord(last, before);
    gpl::EncodeRecord(point, after);
    FUZZ_CHECK(std::memcmp(before, after, sizeof before) == 0);
    return 0;
}
