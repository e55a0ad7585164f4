#include "point.h"

#include <cmath>
#include <cstring>

#include "units.h"

namespace track {

double Point::*Point::Member(Field field) {
    switch (field) {
        case kElevation:
            return &Point::elevation;
        case kSpeed:
            return &Point::speed;
        case kCourse:
            return &Point::course;
        case kHeartRate:
            return &Point::heart_rate;
        case kCadence:
            return &Point::cadence;
        case kPower:
            return &Point::power;
        case kTemperature:
            return &Point::temperature;
        case kDistance:
            return &Point::distance;
        default:
            // kPosition and kTime are not one double: a caller's mistake.
            return &Point::latitude;
    }
}

void Point::Reset() {
    // Member by member, every one of the class: readers reset a point for
    // each one they read, and the name keeps its buffer for the next name.
    latitude = longitude = elevation = 0.0;
    time = Instant();
    speed = course = heart_rate = cadence = power = temperature = distance = 0.0;
    fields = 0;
    begins_segment = begins_track = false;
    track = 0;
    track_name.clear();
    tag = 0;
    has_record = false;
    record = GPL_Data_Point();
}

namespace {

// The same bits: a NaN matches the NaN it was made from, -0 only -0.
bool Same(double a, double b) {
    std::uint64_t bits_a = 0;
    std::uint64_t bits_b = 0;
    std::memcpy(&bits_a, &a, sizeof a);
    std::memcpy(&bits_b, &b, sizeof b);
    return bits_a == bits_b;
}

}  // namespace

void FromRecord(const GPL_Data_Point& record, Point& point) {
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
    point.record = record;
}

GPL_Data_Point ToRecord(const Point& point) {
    GPL_Data_Point record = point.has_record ? point.record : GPL_Data_Point();
    const bool kept = point.has_record;
    record.Tag = point.tag;
    if (point.Has(kPosition)) {
        record.Latitude = point.latitude;
        record.Longitude = point.longitude;
    } else {
        record.Latitude = record.Longitude = 0.0;
    }
    if (!point.Has(kElevation)) {
        record.Altitude = 0.0;
    } else if (!kept || !Same(point.elevation, record.Altitude * kMetersPerFoot)) {
        record.Altitude = point.elevation / kMetersPerFoot;
    }
    if (!point.Has(kSpeed)) {
        record.Speed = 0.0;
    } else if (!kept || !Same(point.speed, MetersPerSecondFromMph(record.Speed))) {
        record.Speed = MphFromMetersPerSecond(point.speed);
    }
    record.Heading = point.Has(kCourse) ? point.course : 0.0;
    if (!point.Has(kTime)) {
        record.Time = 0;
    } else if (!kept || point.time != Instant::FromSeconds(record.Time)) {
        const std::int64_t seconds = point.time.Seconds();
        record.Time = FitsTimeStamp(seconds) ? static_cast<std::uint32_t>(seconds) : 0;
    }
    return record;
}

void ApplyRecord(const GPL_Data_Point& record, Point& point) {
    const GPL_Data_Point before = RecordAsRead(point);
    point.tag = record.Tag;
    if (!Same(record.Latitude, before.Latitude) || !Same(record.Longitude, before.Longitude)) {
        point.SetPosition(record.Latitude, record.Longitude);
    }
    if (!Same(record.Altitude, before.Altitude)) {
        point.Set(kElevation, record.Altitude * kMetersPerFoot);
    }
    if (!Same(record.Speed, before.Speed)) {
        point.Set(kSpeed, MetersPerSecondFromMph(record.Speed));
    }
    if (!Same(record.Heading, before.Heading)) {
        point.Set(kCourse, record.Heading);
    }
    if (record.Time != before.Time) {
        point.time = Instant::FromSeconds(record.Time);
        point.fields = static_cast<std::uint16_t>(record.Time != 0 ? point.fields | kTime
                                                                   : point.fields & ~kTime);
    }
    point.has_record = true;
    point.record = record;
}

}  // namespace track
