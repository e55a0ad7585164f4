// Pieces shared by the geodesy solvers; not installed, not part of the
// library's interface.
//
// The programs' output depends on the last bits of the results, so every
// formula keeps its order of operations: degrees become radians by
// multiplying with (Pi / 180.0), radians become degrees as (x * 180.0) / Pi, a
// square is formed on its own before it takes part in a product, and products
// are taken left to right.
#ifndef TRACKTOOLS_GEODESY_DETAIL_FORMULAS_H
#define TRACKTOOLS_GEODESY_DETAIL_FORMULAS_H

#include <cmath>

#include "tracktools/geodesy/CMath.h"

namespace geodesy::detail {

inline double ToRadians(double degrees) {
    return degrees * (CMath::Pi() / 180.0);
}

inline double ToDegrees(double radians) {
    return (radians * 180.0) / CMath::Pi();
}

// Coefficients of the distance series of both Vincenty formulas, from the
// squared cosine of the azimuth at the equator crossing.
struct DistanceSeries {
    double c;  // scale of the arc length
    double d;  // weight of the correction terms
};

inline DistanceSeries MakeDistanceSeries(double r, double cos2Alpha) {
    double x = std::sqrt((1.0 / r / r - 1.0) * cos2Alpha + 1.0) + 1.0;
    x = (x - 2.0) / x;
    return {(x * x / 4.0 + 1.0) / (1.0 - x), (0.375 * (x * x) - 1.0) * x};
}

// The coefficient that corrects the longitude difference on the auxiliary
// sphere.
inline double LongitudeCorrection(double f, double cos2Alpha) {
    return ((-3.0 * cos2Alpha + 4.0) * f + 4.0) * cos2Alpha * f / 16.0;
}

}  // namespace geodesy::detail

#endif
