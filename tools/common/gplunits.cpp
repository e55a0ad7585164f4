#include "gplunits.h"

#include "tracktools/geodesy/CPolarCoordinate.h"

namespace tools {

Leg MeasureLeg(const CEarth& earth, const track::Point& from, const track::Point& to) {
    const CPolarCoordinate start(from.latitude, from.longitude, AltitudeMeters(from));
    const CPolarCoordinate end(to.latitude, to.longitude, AltitudeMeters(to));
    Leg leg;
    leg.miles =
        earth.GetSurfaceDistance(start, end, &leg.forward_azimuth, nullptr) * kMilesPerMeter;
    leg.elapsed = track::RecordTime(to) - track::RecordTime(from);
    leg.mph = leg.miles / (static_cast<double>(leg.elapsed) / kSecondsPerHour);
    return leg;
}

}  // namespace tools
