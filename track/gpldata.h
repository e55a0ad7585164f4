// One point of a GPS track log and its 56-byte record layout.
#ifndef TRACKTOOLS_TRACK_GPLDATA_H
#define TRACKTOOLS_TRACK_GPLDATA_H

#include <cstdint>
#include <ostream>
#include <string>

// A plain value: the fields in declaration order are also the record of a GPL
// track file (Tag at offset 0 ... Reserved2 at offset 52, little-endian).
// The arithmetic operators change the left operand in place and return it.
class GPL_Data_Point {
  public:
    std::uint32_t Tag = 0;
    std::uint32_t Reserved1 = 0;
    double Latitude = 0.0;   // degrees
    double Longitude = 0.0;  // degrees
    double Altitude = 0.0;   // feet
    double Heading = 0.0;    // degrees
    double Speed = 0.0;      // statute miles per hour
    std::uint32_t Time = 0;  // seconds since 1970-01-01 00:00:00 UTC
    std::uint32_t Reserved2 = 0;

    GPL_Data_Point() = default;
    GPL_Data_Point(double latitude, double longitude);
    GPL_Data_Point(double latitude, double longitude, double altitude);
    GPL_Data_Point(double latitude, double longitude, double altitude, double heading);
    GPL_Data_Point(double latitude, double longitude, double altitude, double heading,
                   double speed);
    // Time and Tag keep the low 32 bits of the arguments.
    GPL_Data_Point(double latitude, double longitude, double altitude, double heading, double speed,
                   unsigned long time);
    GPL_Data_Point(double latitude, double longitude, double altitude, double heading, double speed,
                   unsigned long time, unsigned long tag);
    GPL_Data_Point(const GPL_Data_Point& other) = default;
    GPL_Data_Point& operator=(const GPL_Data_Point& other) = default;

    // Same Latitude and Longitude, compared exactly.
    bool SamePlace(const GPL_Data_Point& other) const;

    // Latitude, Longitude, Tag, Altitude, Heading, Speed and Time all equal;
    // the reserved words are not compared.
    bool operator==(const GPL_Data_Point& other) const;
    bool operator!=(const GPL_Data_Point& other) const;

    // In place: the five doubles add or subtract, Time wraps modulo 2^32;
    // Tag and the reserved words are left alone.
    GPL_Data_Point& operator+(const GPL_Data_Point& other);
    GPL_Data_Point& operator-(const GPL_Data_Point& other);
    // In place: the five doubles are scaled; Time is scaled in floating point,
    // truncated to a signed 64-bit value and stored modulo 2^32 (0 when the
    // scaled value is not finite or out of that range).
    GPL_Data_Point& operator*(double factor);
    GPL_Data_Point& operator/(double divisor);

    // The text form (defined in gpltext.cpp, with the number reading of gpltext.h).
    // Reads a text line "<number>:<Tag>, <Latitude>, <Longitude>, <dd-Mon-yyyy>,
    // <hh:mm:ss>, <Heading>, <Speed>, <Altitude>" (local time, daylight-saving
    // time as the calendar has it) into this point; the number is not kept.
    // True when at least the number, Tag, Latitude and Longitude were found;
    // without a date Time is 0. The point is reset (Latitude and Longitude to
    // 500.0, all else to 0) and changed even when the result is false; the
    // text is not changed.
    bool ExtractFromString(std::string& text);
};

// Writes "Tag, Latitude, Longitude, dd-Mon-yyyy, hh:mm:ss, Heading, Speed,
// Altitude" in local time, without a line end; a Time of 2^31 or more is a
// date after 2038. Leaves the stream in fixed notation with the decimal point
// shown and a precision of 5.
std::ostream& operator<<(std::ostream& out, const GPL_Data_Point& point);

namespace gpl {

// The Time of a number of seconds since 1970: truncated toward zero to a
// signed 64-bit integer and kept modulo 2^32, so a negative value wraps like a
// 32-bit time stamp. A value that is not a number or lies outside the signed
// 64-bit range has no such integer and gives 0.
std::uint32_t TimeFromSeconds(double seconds);

}  // namespace gpl

#endif
