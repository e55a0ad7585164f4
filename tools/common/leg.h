// The measure of one leg of a track, as pacer, legsheet and trailview take
// it, with the suite's units.
#ifndef TRACKTOOLS_TOOLS_COMMON_LEG_H
#define TRACKTOOLS_TOOLS_COMMON_LEG_H

#include <cstdint>

#include "tracktools/geodesy/CEarth.h"
#include "tracktools/track/gpldata.h"

namespace tools {

// Track points carry feet and miles per hour, the earth model works in
// metres. These are the suite's own rounded factors; every program that
// measures a leg uses them, so their results agree to the last bit.
constexpr double kFeetPerMeter = 3.281;
constexpr double kMilesPerMeter = 0.0006214;
constexpr double kSecondsPerHour = 3600.0;

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
Leg MeasureLeg(const CEarth& earth, const GPL_Data_Point& from, const GPL_Data_Point& to);

}  // namespace tools

#endif
