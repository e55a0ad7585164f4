#include "point.h"

#include <cmath>
#include <cstring>

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
    ResetMarks();
    record = GPL_Data_Point();
}

}  // namespace track
