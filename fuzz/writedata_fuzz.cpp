// The leg report line in both position forms, for any record and distance,
// against the same fields written by printf.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "tracktools/track/gpldata.h"
#include "tracktools/track/gplfile.h"
#include "writedata.h"

namespace {

// printf's "%*.*f" (with '0' fill "%0*.*f"; with no decimals and no point,
// "%*.0f"); a value that is not finite is its name, right-aligned in blanks,
// and a NaN has no sign.
std::string Field(double value, int width, int decimals, bool zero_fill) {
    char text[512];
    if (std::isnan(value)) {
        std::snprintf(text, sizeof text, "%*s", width, "nan");
    } else if (std::isinf(value)) {
        std::snprintf(text, sizeof text, "%*s", width, value < 0 ? "-inf" : "inf");
    } else if (zero_fill) {
        std::snprintf(text, sizeof text, "%0*.*f", width, decimals, value);
    } else {
        std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
    }
    return text;
}

// Degrees with their sign, then minutes and seconds of the fraction's size.
std::string DegreesMinutesSeconds(double value) {
    double degrees = 0.0;
    const double fraction = std::fabs(std::modf(value, &degrees));
    double minutes = 0.0;
    const double seconds = std::modf(fraction * 60.0, &minutes) * 60.0;
    return Field(degrees, 4, 0, false) + ":" + Field(minutes, 2, 0, true) + ":" +
           Field(seconds, 7, 4, true) + ", ";
}

std::string ExpectedLine(const GPL_Data_Point& point, double miles, bool dms) {
    std::string line;
    if (dms) {
        line = DegreesMinutesSeconds(point.Latitude) + DegreesMinutesSeconds(point.Longitude);
    } else {
        line =
            Field(point.Latitude, 0, 8, false) + ", " + Field(point.Longitude, 0, 8, false) + ", ";
    }
    return line + Field(point.Heading, 8, 4, false) + ", " + Field(miles, 9, 4, false) + ", " +
           Field(point.Speed, 9, 4, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    unsigned char record[gpl::kRecordSize];
    in.Take(record, sizeof record);
    GPL_Data_Point point;
    gpl::DecodeRecord(record, point);
    const double miles = in.Double();

    for (const bool dms : {false, true}) {
        const std::string line = WriteData(point, miles, dms);
        if (line != ExpectedLine(point, miles, dms)) {
            std::fprintf(stderr, "got      [%s]\nexpected [%s]\n", line.c_str(),
                         ExpectedLine(point, miles, dms).c_str());
            FUZZ_CHECK(line == ExpectedLine(point, miles, dms));
        }
    }
    return 0;
}
