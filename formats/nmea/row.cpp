#include "row.h"

#include <cstring>

#include "nmeareader.h"
#include "tracktools/formats/ascii.h"
#include "tracktools/formats/sniff.h"

namespace formats {
namespace {

bool IsUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}

// The first line holds "$" and a five-letter address such as GPRMC, after an
// optional prefix a logger put in front of it.
bool LooksLikeNmea(const unsigned char* bytes, std::size_t size) {
    const FirstLine line = FirstTextLine(bytes, size);
    if (line.begin == nullptr) {
        return false;
    }
    const auto* dollar = static_cast<const unsigned char*>(
        std::memchr(line.begin, '$', static_cast<std::size_t>(line.end - line.begin)));
    if (dollar == nullptr || line.end - dollar < 6) {
        return false;
    }
    for (int i = 1; i <= 5; ++i) {
        if (!IsUpper(dollar[i]) && !IsDigit(dollar[i])) {
            return false;
        }
    }
    return IsUpper(dollar[1]);
}

}  // namespace

constexpr FormatRow kNmeaFormat = FormatRow("nmea", "NMEA log")
                                      .Extensions("nmea", "nma", "log")
                                      .Content(LooksLikeNmea)
                                      .Reads<NmeaReader>();

}  // namespace formats
