#include "Geocentric.h"

#include <cmath>
#include <limits>

#include <GeographicLib/Geocentric.hpp>

#include "detail/formulas.h"

namespace geodesy {

namespace {

using detail::ToDegrees;

const int kMaximumEstimates = 1024;

// Largest swing, relative to tan(latitude), of a two-cycle that still counts
// as settled. Measured on random input: cycles between neighbouring values
// swing by less than 1e-13 and are accurate to far better than 0.1 mm; failed
// ones swing by 1e-4 and more.
const double kLargestRelativeTwoCycleStep = 1e-12;

[[gnu::cold]] void ReverseByGeographicLib(const Ellipsoid& ellipsoid, double x, double y, double z,
                                          double& latitude, double& longitude, double& height) {
    if (!ellipsoid.IsValid()) {
        return;  // the zeros of the iteration stay
    }
    const GeographicLib::Geocentric geocentric(ellipsoid.EquatorialRadius(),
                                               ellipsoid.FlatteningOfRadii());
    geocentric.Reverse(x, y, z, latitude, longitude, height);
}

// One body for both entry points, inlined into each, so that a point the
// iteration settles costs Reverse no call beyond its own.
[[gnu::always_inline]] inline bool Iterate(const Ellipsoid& ellipsoid, double x, double y, double z,
                                           double& latitude, double& longitude, double& height) {
    const double a = ellipsoid.EquatorialRadius();
    const double e2 = ellipsoid.EccentricitySquared();

    const double p = std::sqrt(x * x + y * y);
    const double ae2 = a * e2;

    // Fixed-point iteration on t = tan(latitude). On the polar axis the first
    // estimate is infinite and the difference below is not a number, which
    // ends the loop at once with latitude +-90.
    double t = z / p / (1.0 - e2);
    double tBeforeLast = std::numeric_limits<double>::quiet_NaN();
    double tNext;  // the first pass of the loop sets it
    for (int estimates = 1;; ++estimates) {
        tNext = z / (p - ae2 / std::sqrt(1.0 + (1.0 - e2) * (t * t)));
        if (!(std::fabs(tNext - t) > 1e-21)) {
            break;
        }
        // Some points make the estimates alternate between two neighbouring
        // doubles, where the test above can never pass; either one is as
        // accurate as doubles allow. Points deep inside the earth can also
        // swing between two far-apart estimates: that is no answer.
        const bool swinging = tNext == tBeforeLast;
        if (swinging && std::fabs(tNext - t) <= kLargestRelativeTwoCycleStep * std::fabs(tNext)) {
            break;
        }
        if (swinging || estimates == kMaximumEstimates) {
            latitude = 0.0;
            longitude = 0.0;
            height = 0.0;
            return false;
        }
        tBeforeLast = t;
        t = tNext;
    }

    const double phi = std::atan(tNext);
    const double lambda = std::atan2(y, x);
    const double sinPhi = std::sin(phi);
    const double n = a / std::sqrt(1.0 - e2 * (sinPhi * sinPhi));
    // p / cos(phi) loses precision near the poles and z / sin(phi) near the
    // equator; 0.7854 (about 45 degrees) picks the better one.
    if (std::fabs(phi) < 0.7854) {
        height = p / std::cos(phi) - n;
    } else {
        height = z / sinPhi - n + n * e2;
    }
    latitude = ToDegrees(phi);
    longitude = ToDegrees(lambda);
    return true;
}

}  // namespace

void Geocentric::Reverse(double x, double y, double z, double& latitude, double& longitude,
                         double& height) const {
    if (!Iterate(ellipsoid_, x, y, z, latitude, longitude, height)) {
        ReverseByGeographicLib(ellipsoid_, x, y, z, latitude, longitude, height);
    }
}

bool Geocentric::ReverseByIteration(double x, double y, double z, double& latitude,
                                    double& longitude, double& height) const {
    return Iterate(ellipsoid_, x, y, z, latitude, longitude, height);
}

}  // namespace geodesy
