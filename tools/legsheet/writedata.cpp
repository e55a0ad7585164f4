#include "writedata.h"

#include <cmath>
#include <ios>
#include <sstream>

namespace {

// Prints `value` in fixed notation, right-aligned in at least `width`
// characters filled with `fill`; with decimals the decimal point is always
// shown. A value that is not finite prints its name filled with blanks, and
// a NaN never shows the sign it happens to carry.
void PutNumber(std::ostringstream& out, double value, int width, int decimals, char fill) {
    out.width(width);
    if (!std::isfinite(value)) {
        out.fill(' ');
        out << (std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf");
        return;
    }
    out.fill(fill);
    out.precision(decimals);
    if (decimals > 0) {
        out.setf(std::ios::showpoint);
    } else {
        out.unsetf(std::ios::showpoint);
    }
    out << value;
}

// Degrees (keeping the sign, so -0.5 gives -0), minutes and seconds. Each part
// is rounded only as it is printed, never carrying into the part on its left:
// seconds from 59.99995 up print as 60.0000.
void PutDegreesMinutesSeconds(std::ostringstream& out, double value) {
    double degrees = 0.0;
    const double fraction = std::fabs(std::modf(value, &degrees));
    double minutes = 0.0;
    const double seconds = std::modf(fraction * 60.0, &minutes) * 60.0;
    PutNumber(out, degrees, 4, 0, ' ');
    out << ':';
    PutNumber(out, minutes, 2, 0, '0');
    out << ':';
    PutNumber(out, seconds, 7, 4, '0');
    out << ", ";
}

}  // namespace

std::string WriteData(const GPL_Data_Point& point, double distance_miles,
                      bool degrees_minutes_seconds) {
    std::ostringstream out;
    out.setf(std::ios::fixed, std::ios::floatfield);
    out.setf(std::ios::right, std::ios::adjustfield);
    if (degrees_minutes_seconds) {
        PutDegreesMinutesSeconds(out, point.Latitude);
        PutDegreesMinutesSeconds(out, point.Longitude);
    } else {
        PutNumber(out, point.Latitude, 0, 8, ' ');
        out << ", ";
        PutNumber(out, point.Longitude, 0, 8, ' ');
        out << ", ";
    }
    PutNumber(out, point.Heading, 8, 4, ' ');
    out << ", ";
    PutNumber(out, distance_miles, 9, 4, ' ');
    out << ", ";
    PutNumber(out, point.Speed, 9, 4, ' ');
    return out.str();
}
