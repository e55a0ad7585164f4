// The C library's sscanf run on a listing line beside gpl::ScanLineItems, for
// the differential test and the text line fuzz target. Header only, so the
// fuzz build can include it without a library of its own.
#ifndef TRACKTOOLS_TESTS_TRACK_LINE_SCAN_REFERENCE_H
#define TRACKTOOLS_TESTS_TRACK_LINE_SCAN_REFERENCE_H

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tracktools/track/gpldata.h"
#include "tracktools/track/gpltext.h"

namespace linescan {

// The items of a line as one scanner or the other leaves them in a point and
// two text buffers that were set beforehand.
struct Scan {
    int items = 0;
    GPL_Data_Point point;
    char date[gpl::kDateTextWidth + 1] = {};
    char clock[gpl::kTimeTextWidth + 1] = {};
};

// The 32-bit rule on the text that sscanf's "%lu" took ([blanks][sign]digits):
// a magnitude above 4294967295 gives 4294967295, a minus sign 2^32 minus the
// magnitude. The magnitude comes from the C library's own strtoul.
inline std::uint32_t Unsigned32Of(const char* taken) {
    while (gpl::IsSpace(*taken)) {
        ++taken;
    }
    const bool negative = *taken == '-';
    if (*taken == '+' || *taken == '-') {
        ++taken;
    }
    errno = 0;
    const unsigned long long magnitude = std::strtoull(taken, nullptr, 10);
    if (errno == ERANGE || magnitude > 0xFFFFFFFFull) {
        return 0xFFFFFFFFu;
    }
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? 0u - value : value;
}

// sscanf with the reader's format. Tag is what the 32-bit rule makes of the
// text "%lu" took (found with %n, which converts nothing and is not counted).
inline Scan ScanWithCLibrary(const char* line, const GPL_Data_Point& start) {
    Scan scan;
    scan.point = start;
    unsigned long lead = 0;
    unsigned long tag = 0;
    int tag_at = 0;
    const int items =
        std::sscanf(line, "%lu:%n%lu,%lf,%lf,%12s%9s%lf,%lf,%lf", &lead, &tag_at, &tag,
                    &scan.point.Latitude, &scan.point.Longitude, scan.date, scan.clock,
                    &scan.point.Heading, &scan.point.Speed, &scan.point.Altitude);
    scan.items = items < 0 ? 0 : items;  // EOF: the line ended before the first item
    if (scan.items >= 2) {
        scan.point.Tag = Unsigned32Of(line + tag_at);
    }
    return scan;
}

inline Scan ScanWithReader(const char* line, const GPL_Data_Point& start) {
    Scan scan;
    scan.point = start;
    scan.items = gpl::ScanLineItems(line, scan.point, scan.date, scan.clock);
    return scan;
}

inline bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Empty when the two scans agree in the item count, every field (the doubles
// bit for bit) and every byte of the text buffers; else what differs.
inline std::string Difference(const Scan& expected, const Scan& actual) {
    std::string difference;
    const auto note = [&difference](bool same, const char* what) {
        if (!same) {
            difference += difference.empty() ? what : std::string(", ") + what;
        }
    };
    note(expected.items == actual.items, "item count");
    note(expected.point.Tag == actual.point.Tag, "Tag");
    note(SameBits(expected.point.Latitude, actual.point.Latitude), "Latitude");
    note(SameBits(expected.point.Longitude, actual.point.Longitude), "Longitude");
    note(std::memcmp(expected.date, actual.date, sizeof expected.date) == 0, "date text");
    note(std::memcmp(expected.clock, actual.clock, sizeof expected.clock) == 0, "time text");
    note(SameBits(expected.point.Heading, actual.point.Heading), "Heading");
    note(SameBits(expected.point.Speed, actual.point.Speed), "Speed");
    note(SameBits(expected.point.Altitude, actual.point.Altitude), "Altitude");
    return difference;
}

}  // namespace linescan

#endif
