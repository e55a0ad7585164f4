#include "point.h"

#include <cmath>
#include <cstring>

namespace track {

namespace {

constexpr std::size_t kHeader = 5;  // the text's number, then its length

std::uint32_t LengthAt(const std::string& packed, std::size_t at) {
    std::uint32_t length = 0;
    std::memcpy(&length, packed.data() + at + 1, sizeof length);
    return length;
}

}  // namespace

std::string_view Texts::Get(Text which) const {
    for (std::size_t at = 0; at < packed_.size(); at += kHeader + LengthAt(packed_, at)) {
        if (static_cast<Text>(packed_[at]) == which) {
            return std::string_view(packed_).substr(at + kHeader, LengthAt(packed_, at));
        }
    }
    return {};
}

bool Texts::Has(Text which) const {
    return !Get(which).empty();
}

void Texts::Set(Text which, std::string_view text) {
    // The texts stay in the order of Text, so that equal texts pack alike.
    std::size_t at = 0;
    while (at < packed_.size() && static_cast<Text>(packed_[at]) < which) {
        at += kHeader + LengthAt(packed_, at);
    }
    if (at < packed_.size() && static_cast<Text>(packed_[at]) == which) {
        packed_.erase(at, kHeader + LengthAt(packed_, at));
    }
    if (text.empty()) {
        return;
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    char header[kHeader] = {static_cast<char>(which)};
    std::memcpy(header + 1, &length, sizeof length);
    packed_.insert(at, std::string_view(header, kHeader));
    packed_.insert(at + kHeader, text);
}

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
    ResetMarks();
    record = GPL_Data_Point();
}

void SetOtherRecordTime(Point& point, std::uint32_t time) {
    if (RecordTime(point) == time) {
        return;
    }
    KeepRecord(point);
    point.record.Time = time;
    point.time = Instant::FromSeconds(time);
    point.fields =
        static_cast<std::uint16_t>(time != 0 ? point.fields | kTime : point.fields & ~kTime);
}

}  // namespace track
