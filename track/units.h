// The units of the formats the suite exchanges with other software, and the
// exact factors between them and the units of a track point; the foot and
// the mile of a GPL record, and miles per hour, are in point.h.
//
// The GPL programs turn feet into metres with their own rounded factor
// (3.281 feet to the metre, in tools/common/gplunits.h), and keep it so that their
// results never change. The formats use the exact definitions instead: other
// software reads what we write in metres and metres per second, and a track
// that goes out and comes back in must keep its altitudes.
#ifndef TRACKTOOLS_TRACK_UNITS_H
#define TRACKTOOLS_TRACK_UNITS_H

#include "point.h"

namespace track {

constexpr double kMetersPerNauticalMile = 1852.0;  // a knot is one an hour
constexpr double kSecondsPerHour = 3600.0;

inline double FeetFromMeters(double meters) {
    return meters / kMetersPerFoot;
}
inline double MphFromKnots(double knots) {
    return knots * kMetersPerNauticalMile / kMetersPerMile;
}

}  // namespace track

#endif
