#include "row.h"

#include "igcreader.h"

namespace formats {
namespace {

bool UpperOrDigit(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// "A" and a manufacturer's three letters first, then a line of a record
// (an upper-case letter).
bool LooksLikeIgc(const unsigned char* bytes, std::size_t size) {
    if (size < 4 || bytes[0] != 'A' || !UpperOrDigit(bytes[1]) || !UpperOrDigit(bytes[2]) ||
        !UpperOrDigit(bytes[3])) {
        return false;
    }
    for (std::size_t i = 4; i + 1 < size; ++i) {
        if (bytes[i] == '\n') {
            return bytes[i + 1] >= 'A' && bytes[i + 1] <= 'Z';
        }
    }
    return false;
}

}  // namespace

constexpr FormatRow kIgcFormat =
    FormatRow("igc", "IGC flight log").Extensions("igc").Content(LooksLikeIgc).Reads<IgcReader>();

}  // namespace formats
