#include "gpldata.h"

#include <cstdint>

GPL_Data_Point::GPL_Data_Point(double latitude, double longitude)
    : Latitude(latitude), Longitude(longitude) {}

GPL_Data_Point::GPL_Data_Point(double latitude, double longitude, double altitude)
    : Latitude(latitude), Longitude(longitude), Altitude(altitude) {}

GPL_Data_Point::GPL_Data_Point(double latitude, double longitude, double altitude, double heading)
    : Latitude(latitude), Longitude(longitude), Altitude(altitude), Heading(heading) {}

GPL_Data_Point::GPL_Data_Point(double latitude, double longitude, double altitude, double heading,
                               double speed)
    : Latitude(latitude),
      Longitude(longitude),
      Altitude(altitude),
      Heading(heading),
      Speed(speed) {}

GPL_Data_Point::GPL_Data_Point(double latitude, double longitude, double altitude, double heading,
                               double speed, unsigned long time)
    : Latitude(latitude),
      Longitude(longitude),
      Altitude(altitude),
      Heading(heading),
      Speed(speed),
      Time(static_cast<std::uint32_t>(time)) {}

GPL_Data_Point::GPL_Data_Point(double latitude, double longitude, double altitude, double heading,
                               double speed, unsigned long time, unsigned long tag)
    : Tag(static_cast<std::uint32_t>(tag)),
      Latitude(latitude),
      Longitude(longitude),
      Altitude(altitude),
      Heading(heading),
      Speed(speed),
      Time(static_cast<std::uint32_t>(time)) {}

bool GPL_Data_Point::SamePlace(const GPL_Data_Point& other) const {
    return Latitude == other.Latitude && Longitude == other.Longitude;
}

bool GPL_Data_Point::operator==(const GPL_Data_Point& other) const {
    return Latitude == other.Latitude && Longitude == other.Longitude && Tag == other.Tag &&
           Altitude == other.Altitude && Heading == other.Heading && Speed == other.Speed &&
           Time == other.Time;
}

bool GPL_Data_Point::operator!=(const GPL_Data_Point& other) const {
    return !(*this == other);
}

GPL_Data_Point& GPL_Data_Point::operator+(const GPL_Data_Point& other) {
    Latitude += other.Latitude;
    Longitude += other.Longitude;
    Altitude += other.Altitude;
    Heading += other.Heading;
    Speed += other.Speed;
    Time += other.Time;  // unsigned: wraps modulo 2^32
    return *this;
}

GPL_Data_Point& GPL_Data_Point::operator-(const GPL_Data_Point& other) {
    Latitude -= other.Latitude;
    Longitude -= other.Longitude;
    Altitude -= other.Altitude;
    Heading -= other.Heading;
    Speed -= other.Speed;
    Time -= other.Time;
    return *this;
}

GPL_Data_Point& GPL_Data_Point::operator*(double factor) {
    Latitude *= factor;
    Longitude *= factor;
    Altitude *= factor;
    Heading *= factor;
    Speed *= factor;
    Time = gpl::TimeFromSeconds(static_cast<double>(Time) * factor);
    return *this;
}

GPL_Data_Point& GPL_Data_Point::operator/(double divisor) {
    Latitude /= divisor;
    Longitude /= divisor;
    Altitude /= divisor;
    Heading /= divisor;
    Speed /= divisor;
    Time = gpl::TimeFromSeconds(static_cast<double>(Time) / divisor);
    return *this;
}

namespace gpl {

std::uint32_t TimeFromSeconds(double seconds) {
    constexpr double kTwoTo63 = 9223372036854775808.0;  // exact as a double
    if (!(seconds >= -kTwoTo63 && seconds < kTwoTo63)) {
        return 0;
    }
    return static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::int64_t>(seconds)));
}

}  // namespace gpl
