// The text reader on arbitrary lines, beside the C library's sscanf with the
// reader's format, and the line reader that logpack feeds it from, on
// arbitrary files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "../tests/track/line_scan_reference.h"
#include "fuzz_support.h"
#include "tracktools/track/gpldata.h"
#include "tracktools/track/gplfile.h"

namespace {

// The line buffer of logpack: 510 characters and the terminating zero.
constexpr std::size_t kLineSize = 511;

bool SameRecord(const GPL_Data_Point& a, const GPL_Data_Point& b) {
    unsigned char bytes_a[gpl::kRecordSize];
    unsigned char bytes_b[gpl::kRecordSize];
    gpl::EncodeRecord(a, bytes_a);
    gpl::EncodeRecord(b, bytes_b);
    return std::memcmp(bytes_a, bytes_b, sizeof bytes_a) == 0;
}

// A point whose every field differs from what any reset leaves.
GPL_Data_Point UsedPoint() {
    GPL_Data_Point point(-12.5, 99.25, 3.0, 4.0, 5.0, 6, 7);
    point.Reserved1 = 8;
    point.Reserved2 = 9;
    return point;
}

void CheckReader(std::string& text) {
    const std::string before = text;
    GPL_Data_Point fresh;
    const bool accepted = fresh.ExtractFromString(text);
    FUZZ_CHECK(text == before);  // the text is not changed

    // Items, texts and values as sscanf has them (Tag by the 32-bit rule).
    const linescan::Scan expected = linescan::ScanWithCLibrary(text.c_str(), UsedPoint());
    FUZZ_CHECK(linescan::Difference(expected, linescan::ScanWithReader(text.c_str(), UsedPoint()))
                   .empty());
    FUZZ_CHECK(accepted == (expected.items >= 4));

    // Every field is replaced: a point that held other values reads the same.
    GPL_Data_Point used = UsedPoint();
    FUZZ_CHECK(used.ExtractFromString(text) == accepted);
    FUZZ_CHECK(SameRecord(fresh, used));
    FUZZ_CHECK(fresh.Reserved1 == 0 && fresh.Reserved2 == 0);

    // The text ends at its first zero byte.
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        std::string head = text.substr(0, zero);
        GPL_Data_Point cut;
        FUZZ_CHECK(cut.ExtractFromString(head) == accepted);
        FUZZ_CHECK(SameRecord(fresh, cut));
    }
}

// Reads `data` line by line as logpack does and checks every line against the
// bytes: up to the newline, at most 510 of them, the rest of a longer line
// dropped, one more line after the last newline, the end seen only there.
void CheckLines(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile file;
    io::InputFile input;
    FUZZ_CHECK(input.Open(file.Hold(data, size)));
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t at = 0;
    char line[kLineSize];
    for (;;) {
        FUZZ_CHECK(!input.AtEnd());
        std::memset(line, 'Z', sizeof line);
        input.ReadLine(line, sizeof line);
        const void* newline = std::memchr(bytes + at, '\n', size - at);
        const std::size_t length =
            newline != nullptr
                ? static_cast<std::size_t>(static_cast<const char*>(newline) - (bytes + at))
                : size - at;
        const std::size_t kept = length < kLineSize - 1 ? length : kLineSize - 1;
        FUZZ_CHECK(std::memcmp(line, bytes + at, kept) == 0);
        FUZZ_CHECK(line[kept] == '\0');

        std::string text(line);
        CheckReader(text);

        if (newline == nullptr) {
            FUZZ_CHECK(input.AtEnd());
            break;
        }
        at += length + 1;
    }
    // At the end every further line is empty.
    line[0] = 'Z';
    input.ReadLine(line, sizeof line);
    FUZZ_CHECK(line[0] == '\0' && input.AtEnd());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A zone with daylight-saving time, so that the calendar conversion meets
    // the repeated and the missing hour.
    setenv("TZ", "America/New_York", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CheckReader(text);
    CheckLines(data, size);
    return 0;
}
