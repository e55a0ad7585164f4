// The arithmetic of the programs that work on GPL records (stepclock,
// pacer, idlescan, legsheet, trailview), kept as it has always been so that
// their results never change: feet and miles per hour with the suite's own
// rounded factors, and time stamps of 32 bits that wrap modulo 2^32. They
// read and set a point's values as its GPL record holds them (see
// track::RecordAltitude and the others in track/point.h), so that every
// input is seen as the GPL track trackconvert would make of it.
#ifndef TRACKTOOLS_TOOLS_COMMON_GPLUNITS_H
#define TRACKTOOLS_TOOLS_COMMON_GPLUNITS_H

#include <cstdint>

#include "tracktools/geodesy/CEarth.h"
#include "tracktools/track/point.h"

namespace tools {

// Every program that measures a leg uses these factors, so their results
// agree to the last bit.
constexpr double kFeetPerMeter = 3.281;
constexpr double kMilesPerMeter = 0.0006214;
constexpr double kSecondsPerHour = 3600.0;

// The altitude of a point in metres, as the programs take it: its record's
// feet divided by 3.281.
inline double AltitudeMeters(const track::Point& point) {
    return track::RecordAltitude(point) / kFeetPerMeter;
}

struct Leg {
    double miles = 0.0;            // along the ellipsoid surface; altitude does not count
    double forward_azimuth = 0.0;  // degrees clockwise from north, at the start
    // Seconds from the start's Time to the end's, modulo 2^32: a step
    // backwards reads as nearly 2^32 seconds, a speed near 0.
    std::uint32_t elapsed = 0;
    // miles / (elapsed / 3600): infinite or not a number when elapsed is 0.
    double mph = 0.0;
};

// Measures the leg from `from` to `to` on `earth`. A leg the earth model
// cannot measure has a not-a-number length, azimuth and speed.
Leg MeasureLeg(const CEarth& earth, const track::Point& from, const track::Point& to);

}  // namespace tools

#endif
