// The track point every reader yields, every writer takes and every program
// works on: a position, the values a recording may carry (each present or
// absent, never 0 for absent), where segments and tracks begin, and the GPL
// record the point was read from, if it was.
#ifndef TRACKTOOLS_TRACK_POINT_H
#define TRACKTOOLS_TRACK_POINT_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "gpldata.h"

namespace track {

// An instant in UTC, in nanoseconds since 1970-01-01T00:00:00Z (leap
// seconds not counted, as in every format the suite reads). It covers the
// years 1678 to 2262; readers keep the years 1900 to 2200 (see kFirstSecond).
class Instant {
  public:
    constexpr Instant() = default;
    static constexpr Instant FromNanoseconds(std::int64_t nanoseconds) {
        Instant instant;
        instant.nanoseconds_ = nanoseconds;
        return instant;
    }
    static constexpr Instant FromSeconds(std::int64_t seconds) {
        return FromNanoseconds(seconds * kNanosecondsPerSecond);
    }

    constexpr std::int64_t Nanoseconds() const { return nanoseconds_; }
    // The whole seconds, rounded down: the second the instant lies in.
    constexpr std::int64_t Seconds() const {
        return nanoseconds_ >= 0 ? nanoseconds_ / kNanosecondsPerSecond
                                 : -((-(nanoseconds_ + 1)) / kNanosecondsPerSecond) - 1;
    }
    // The nanoseconds within that second, 0 to 999999999.
    constexpr std::int64_t Fraction() const {
        return nanoseconds_ - Seconds() * kNanosecondsPerSecond;
    }
    // Seconds from `earlier` to this instant, negative when it is later.
    // Whole seconds and fractions apart: nanoseconds of three centuries
    // apart would not fit 64 bits.
    double SecondsSince(Instant earlier) const {
        return static_cast<double>(Seconds() - earlier.Seconds()) +
               static_cast<double>(Fraction() - earlier.Fraction()) / 1e9;
    }

    friend constexpr bool operator==(Instant a, Instant b) {
        return a.nanoseconds_ == b.nanoseconds_;
    }
    friend constexpr bool operator!=(Instant a, Instant b) { return !(a == b); }
    friend constexpr bool operator<(Instant a, Instant b) {
        return a.nanoseconds_ < b.nanoseconds_;
    }
    friend constexpr bool operator<=(Instant a, Instant b) { return !(b < a); }
    friend constexpr bool operator>(Instant a, Instant b) { return b < a; }
    friend constexpr bool operator>=(Instant a, Instant b) { return !(a < b); }

    static constexpr std::int64_t kNanosecondsPerSecond = 1000000000;

  private:
    std::int64_t nanoseconds_ = 0;
};

// The times a reader keeps: 1900-01-01T00:00:00Z to 2200-12-31T23:59:59Z.
constexpr std::int64_t kFirstSecond = -2208988800LL;
constexpr std::int64_t kLastSecond = 7289654399LL;
constexpr bool KeepsTime(std::int64_t seconds) {
    return seconds >= kFirstSecond && seconds <= kLastSecond;
}

// The values a point may carry; Point::fields holds those it has.
enum Field : std::uint16_t {
    kPosition = 1u << 0,   // latitude and longitude
    kElevation = 1u << 1,  // metres above the ellipsoid or sea level, as recorded
    kTime = 1u << 2,
    kSpeed = 1u << 3,        // metres per second
    kCourse = 1u << 4,       // degrees clockwise from north
    kHeartRate = 1u << 5,    // beats per minute
    kCadence = 1u << 6,      // revolutions (or steps) per minute
    kPower = 1u << 7,        // watts
    kTemperature = 1u << 8,  // degrees Celsius
    kDistance = 1u << 9,     // metres from the start, as the device counted them
};

class Point {
  public:
    double latitude = 0.0;  // degrees, with kPosition
    double longitude = 0.0;
    double elevation = 0.0;
    Instant time;
    double speed = 0.0;
    double course = 0.0;
    double heart_rate = 0.0;
    double cadence = 0.0;
    double power = 0.0;
    double temperature = 0.0;
    double distance = 0.0;
    std::uint16_t fields = 0;  // the Field values present

    // The first point of a segment: no leg joins it to the point before.
    // The first point of a track begins a segment too.
    bool begins_segment = false;
    bool begins_track = false;
    std::uint32_t track = 0;  // the track's number in its input, from 0
    // The track's name on the point that begins it ("" when it has none);
    // empty on the other points, so that copying a point allocates nothing.
    std::string track_name;

    // The Tag of the point's GPL record: the record's own, or the point's
    // number in its input.
    std::uint32_t tag = 0;
    // The GPL record the point was read from, which a GPL writer writes
    // back with the fields nobody changed exactly as they were.
    bool has_record = false;
    GPL_Data_Point record;

    bool Has(Field field) const { return (fields & field) != 0; }
    void Clear(Field field) { fields = static_cast<std::uint16_t>(fields & ~field); }
    void SetPosition(double latitude_degrees, double longitude_degrees) {
        latitude = latitude_degrees;
        longitude = longitude_degrees;
        fields |= kPosition;
    }
    void SetTime(Instant instant) {
        time = instant;
        fields |= kTime;
    }
    // One of the values held in a double (not kPosition, not kTime).
    void Set(Field field, double value) {
        this->*Member(field) = value;
        fields |= field;
    }
    double Get(Field field) const { return this->*Member(field); }

    // Resets every value and mark to a point that has nothing.
    void Reset();

  private:
    static double Point::*Member(Field field);
};

// The values of a recording's sensors, in the order in which every table
// of them lists them (tallies, columns, arrays).
inline constexpr Field kSensorFields[] = {kHeartRate, kCadence, kPower, kTemperature};
constexpr std::size_t kSensorCount = sizeof kSensorFields / sizeof kSensorFields[0];

// The units of a GPL record.
constexpr double kMetersPerFoot = 0.3048;
constexpr double kMetersPerMile = 1609.344;

// A point from a GPL record: altitude feet x 0.3048, speed mph x 1609.344 /
// 3600, heading as the course, Time 0 as no time. Position, elevation,
// speed and course are present; the record is kept.
void FromRecord(const GPL_Data_Point& record, Point& point);

// The GPL record of a point. A value that is what the point's record gave
// is written back bit for bit; others are converted, and an absent value
// becomes 0. A time is written as its whole second, or 0 outside the range
// of a Time stamp (1970 to 2106). A point without a position has latitude
// and longitude 0: writers of GPL leave such points out.
GPL_Data_Point ToRecord(const Point& point);

// The record of a point as a reader made it: its own record when it has
// one (a reader that keeps a record makes the point's values what the record
// gives, and marks absent only values the record holds as 0, so the record
// is what ToRecord would give), else ToRecord(point). For points nobody has
// changed since they were read.
inline GPL_Data_Point RecordAsRead(const Point& point) {
    return point.has_record ? point.record : ToRecord(point);
}

// Takes a record that a program changed (one RecordAsRead gave, then
// worked on) back into the point: each field that differs from the record
// as read replaces the point's value; the rest of the point stays as it
// was, and the record is kept.
void ApplyRecord(const GPL_Data_Point& record, Point& point);

// True when a Time stamp can hold the time: 1970-01-01T00:00:00Z to
// 2106-02-07T06:28:15Z.
constexpr bool FitsTimeStamp(std::int64_t seconds) {
    return seconds >= 0 && seconds <= 0xFFFFFFFFLL;
}

}  // namespace track

#endif
