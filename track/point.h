// The track point every reader yields, every writer takes and every program
// works on: a position, the values a recording may carry (each present or
// absent, never 0 for absent), where segments and tracks begin, and the GPL
// record the point was read from, if it was.
#ifndef TRACKTOOLS_TRACK_POINT_H
#define TRACKTOOLS_TRACK_POINT_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

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

// What a point is: a point of a recorded track, a point of a planned route
// (in the route's order), or a waypoint (a place of its own: a hut, a
// spring, a photo).
enum class Kind : std::uint8_t { kTrack, kRoute, kWaypoint };

// What ended the lap before the point that begins one, as a device tells.
enum class LapTrigger : std::uint8_t {
    kUnknown,
    kManual,
    kDistance,
    kTime,
    kPosition,
    kSessionEnd,
};

// The sport of a session, by the numbers FIT gives sports and sub-sports (0
// generic, 1 running, 2 cycling, 5 swimming, ...), the fullest list devices
// use: the names of the other formats map to them.
constexpr std::uint8_t kUnknownSport = 0xFF;

// The texts a point may carry besides its values (GPX's name, desc, cmt,
// sym, type and link), kept in one string so that a point without any
// costs nothing to copy or to reset.
enum class Text : std::uint8_t { kName, kDescription, kComment, kSymbol, kType, kLink };
constexpr std::size_t kTextCount = 6;

class Texts {
  public:
    bool Empty() const { return packed_.empty(); }
    // The text, "" when the point has none.
    std::string_view Get(Text which) const;
    bool Has(Text which) const;
    // Sets a text; an empty one is no text.
    void Set(Text which, std::string_view text);
    void Clear() {
        if (!packed_.empty()) {
            packed_.clear();
        }
    }
    friend bool operator==(const Texts& a, const Texts& b) { return a.packed_ == b.packed_; }
    friend bool operator!=(const Texts& a, const Texts& b) { return !(a == b); }

  private:
    // Each text present, in the order of Text: its number, its length in
    // four bytes, its bytes.
    std::string packed_;
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
    // A route's points are a track of kind kRoute: its first point begins
    // it and carries its name. A waypoint begins nothing.
    Kind kind = Kind::kTrack;
    // Laps and sessions as the device recorded them: the first point of a
    // lap, with what ended the lap before, and the first point of a session
    // (an activity, or one sport of a multisport one), with its sport.
    bool begins_lap = false;
    LapTrigger lap_trigger = LapTrigger::kUnknown;
    bool begins_session = false;
    std::uint8_t sport = kUnknownSport;
    std::uint8_t sub_sport = 0;
    std::uint32_t track = 0;  // the track's number in its input, from 0
    // The Tag of the point's GPL record: the record's own, or the point's
    // number in its input.
    std::uint32_t tag = 0;
    // What the GPL driver carries along with a point it read: the record as
    // it was, so that a GPL writer writes every field nobody changed exactly
    // as it was read (see ToRecord). Programs leave it to the driver and to
    // the record's fields below.
    bool has_record = false;
    GPL_Data_Point record;

    // The track's name on the point that begins it ("" when it has none);
    // empty on the other points, so that copying a point allocates nothing.
    std::string track_name;
    Texts texts;

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
    // Resets what is not a value: the marks, the track and its name, the
    // tag and the carried record. For a reader that sets `fields` and every
    // value it marks present (a GPL reader); the others keep stale numbers
    // that nobody reads, as their fields are absent.
    void ResetMarks() {
        begins_segment = begins_track = false;
        kind = Kind::kTrack;
        begins_lap = false;
        lap_trigger = LapTrigger::kUnknown;
        begins_session = false;
        sport = kUnknownSport;
        sub_sport = 0;
        track = 0;
        tag = 0;
        has_record = false;
        if (!track_name.empty()) {
            track_name.clear();
        }
        texts.Clear();
    }

  private:
    static double Point::*Member(Field field);
};

// The values of a recording's sensors, in the order in which every table
// of them lists them (tallies, columns, arrays).
inline constexpr Field kSensorFields[] = {kHeartRate, kCadence, kPower, kTemperature};
constexpr std::size_t kSensorCount = sizeof kSensorFields / sizeof kSensorFields[0];

// The units of a GPL record, by their exact definitions.
constexpr double kMetersPerFoot = 0.3048;
constexpr double kMetersPerMile = 1609.344;
inline double MetersPerSecondFromMph(double mph) {
    return mph * kMetersPerMile / 3600.0;
}
inline double MphFromMetersPerSecond(double meters_per_second) {
    return meters_per_second * 3600.0 / kMetersPerMile;
}

// A point from a GPL record: altitude feet x 0.3048, speed mph x 1609.344 /
// 3600, heading as the course, Time 0 as no time. Position, elevation,
// speed and course are present; the record is kept.
inline void FromRecord(const GPL_Data_Point& record, Point& point);

// The GPL record of a point. A value that is what the point's record gave
// is written back bit for bit; others are converted, and an absent value
// becomes 0. A time is written as its whole second, or 0 outside the range
// of a Time stamp (1970 to 2106). A point without a position has latitude
// and longitude 0: writers of GPL leave such points out.
inline GPL_Data_Point ToRecord(const Point& point);

// True when a Time stamp can hold the time: 1970-01-01T00:00:00Z to
// 2106-02-07T06:28:15Z.
constexpr bool FitsTimeStamp(std::int64_t seconds) {
    return seconds >= 0 && seconds <= 0xFFFFFFFFLL;
}

namespace detail {
// The same bits: a NaN matches the NaN it was made from, -0 only -0.
inline bool SameBits(double a, double b) {
    std::uint64_t bits_a = 0;
    std::uint64_t bits_b = 0;
    std::memcpy(&bits_a, &a, sizeof a);
    std::memcpy(&bits_b, &b, sizeof b);
    return bits_a == bits_b;
}
}  // namespace detail

// The fields of a point's GPL record one by one, each as ToRecord gives it:
// the carried record's own bits where the point's value is what they give.
inline double RecordAltitude(const Point& point) {
    if (!point.Has(kElevation)) {
        return 0.0;
    }
    return point.has_record &&
                   detail::SameBits(point.elevation, point.record.Altitude * kMetersPerFoot)
               ? point.record.Altitude
               : point.elevation / kMetersPerFoot;
}
inline double RecordSpeed(const Point& point) {
    if (!point.Has(kSpeed)) {
        return 0.0;
    }
    return point.has_record &&
                   detail::SameBits(point.speed, MetersPerSecondFromMph(point.record.Speed))
               ? point.record.Speed
               : MphFromMetersPerSecond(point.speed);
}
inline double RecordHeading(const Point& point) {
    return point.Has(kCourse) ? point.course : 0.0;
}
inline std::uint32_t RecordTime(const Point& point) {
    if (!point.Has(kTime)) {
        return 0;
    }
    if (point.has_record && point.time == Instant::FromSeconds(point.record.Time)) {
        return point.record.Time;
    }
    const std::int64_t seconds = point.time.Seconds();
    return FitsTimeStamp(seconds) ? static_cast<std::uint32_t>(seconds) : 0;
}

inline void FromRecord(const GPL_Data_Point& record, Point& point) {
    point.latitude = record.Latitude;
    point.longitude = record.Longitude;
    point.elevation = record.Altitude * kMetersPerFoot;
    point.speed = MetersPerSecondFromMph(record.Speed);
    point.course = record.Heading;
    point.time = Instant::FromSeconds(record.Time);
    point.fields = static_cast<std::uint16_t>(kPosition | kElevation | kSpeed | kCourse |
                                              (record.Time != 0 ? kTime : 0));
    point.tag = record.Tag;
    point.has_record = true;
    if (&record != &point.record) {
        point.record = record;
    }
}

inline GPL_Data_Point ToRecord(const Point& point) {
    GPL_Data_Point record = point.has_record ? point.record : GPL_Data_Point();
    record.Tag = point.tag;
    const bool position = point.Has(kPosition);
    record.Latitude = position ? point.latitude : 0.0;
    record.Longitude = position ? point.longitude : 0.0;
    record.Altitude = RecordAltitude(point);
    record.Speed = RecordSpeed(point);
    record.Heading = RecordHeading(point);
    record.Time = RecordTime(point);
    return record;
}

// Sets a value as a GPL record's field holds it: the point takes the value,
// and its record the field, so that a GPL writer writes the field exactly.
// A point read from another format is given its record first. A field that
// already holds the value, bit for bit, is left as it is.
inline void KeepRecord(Point& point) {
    if (!point.has_record) {
        point.record = ToRecord(point);
        point.has_record = true;
    }
}
inline void SetRecordSpeed(Point& point, double mph) {
    if (!detail::SameBits(RecordSpeed(point), mph)) {
        KeepRecord(point);
        point.record.Speed = mph;
        point.Set(kSpeed, MetersPerSecondFromMph(mph));
    }
}
inline void SetRecordHeading(Point& point, double degrees) {
    if (!detail::SameBits(RecordHeading(point), degrees)) {
        KeepRecord(point);
        point.record.Heading = degrees;
        point.Set(kCourse, degrees);
    }
}
// Time 0 is no time.
void SetOtherRecordTime(Point& point, std::uint32_t time);
inline void SetRecordTime(Point& point, std::uint32_t time) {
    // A point whose time is its record's takes the new one at once.
    if (!point.has_record || point.time != Instant::FromSeconds(point.record.Time)) {
        SetOtherRecordTime(point, time);
        return;
    }
    point.record.Time = time;
    point.time = Instant::FromSeconds(time);
    point.fields =
        static_cast<std::uint16_t>(time != 0 ? point.fields | kTime : point.fields & ~kTime);
}

}  // namespace track

#endif
