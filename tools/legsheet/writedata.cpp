#include "writedata.h"

#include <charconv>
#include <cmath>

namespace {

// Appends `value` in fixed notation with `decimals` digits after the point,
// right-aligned in at least `width` characters filled with `fill`; with
// decimals the decimal point is always there. A value that is not finite
// prints its name filled with blanks, and a NaN never shows the sign it
// happens to carry. The digits are those of printf's "%.*f".
void PutNumber(std::string& out, double value, int width, int decimals, char fill) {
    // Room for the longest fixed form of a double: 309 digits, sign, point, decimals.
    char digits[400];
    const char* text = digits;
    std::size_t length = 0;
    if (!std::isfinite(value)) {
        text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
        length = std::char_traits<char>::length(text);
        fill = ' ';
    } else {
        const std::to_chars_result done = std::to_chars(digits, digits + sizeof digits, value,
                                                        std::chars_format::fixed, decimals);
        length = static_cast<std::size_t>(done.ptr - digits);
    }
    const std::size_t wanted = width > 0 ? static_cast<std::size_t>(width) : 0;
    if (length < wanted) {
        // Padding goes before the sign as well: "  -0", like a stream's right adjustment.
        out.append(wanted - length, fill);
    }
    out.append(text, length);
}

// Degrees (keeping the sign, so -0.5 gives -0), minutes and seconds. Each part
// is rounded only as it is printed, never carrying into the part on its left:
// seconds from 59.99995 up print as 60.0000.
void PutDegreesMinutesSeconds(std::string& out, double value) {
    double degrees = 0.0;
    const double fraction = std::fabs(std::modf(value, &degrees));
    double minutes = 0.0;
    const double seconds = std::modf(fraction * 60.0, &minutes) * 60.0;
    PutNumber(out, degrees, 4, 0, ' ');
    out += ':';
    PutNumber(out, minutes, 2, 0, '0');
    out += ':';
    PutNumber(out, seconds, 7, 4, '0');
    out += ", ";
}

}  // namespace

std::string WriteData(const GPL_Data_Point& point, double distance_miles,
                      bool degrees_minutes_seconds) {
    std::string out;
    out.reserve(80);
    if (degrees_minutes_seconds) {
        PutDegreesMinutesSeconds(out, point.Latitude);
        PutDegreesMinutesSeconds(out, point.Longitude);
    } else {
        PutNumber(out, point.Latitude, 0, 8, ' ');
        out += ", ";
        PutNumber(out, point.Longitude, 0, 8, ' ');
        out += ", ";
    }
    PutNumber(out, point.Heading, 8, 4, ' ');
    out += ", ";
    PutNumber(out, distance_miles, 9, 4, ' ');
    out += ", ";
    PutNumber(out, point.Speed, 9, 4, ' ');
    return out;
}
