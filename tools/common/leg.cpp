#include "leg.h"

#include "tracktools/geodesy/CPolarCoordinate.h"

namespace tools {

Leg MeasureLeg(const CEarth& earth, const GPL_Data_Point& from, const GPL_Data_Point& to) {
    const CPolarCoordinate start(from.Latitude, from.Longitude, from.Altitude / kFeetPerMeter);
    const CPolarCoordinate end(to.Latitude, to.Longitude, to.Altitude / kFeetPerMeter);
    Leg leg;
    leg.miles =
        earth.GetSurfaceDistance(start, end, &leg.forward_azimuth, nullptr) * kMilesPerMeter;
    leg.elapsed = to.Time - from.Time;
    leg.mph = leg.miles / (static_cast<double>(leg.elapsed) / kSecondsPerHour);
    return leg;
}

}  // namespace tools
