#include "SurfaceDistances.h"

#include <cmath>

#include "CMath.h"

namespace geodesy {
namespace {

// Above the error of the geodesic solver, so that the short cut decides as
// the solver would.
constexpr double kShortCutMargin = 0.001;

}  // namespace

bool OnGlobe(double latitude, double longitude) {
    return latitude >= -90.0 && latitude <= 90.0 && std::isfinite(longitude);
}

SurfaceDistances::SurfaceDistances(const Ellipsoid& ellipsoid)
    : inverse_(ellipsoid),
      // The smallest radius of curvature of a meridian, a(1 - e2) at the
      // equator, less a millimetre: two places are at least this many
      // metres apart for each radian of latitude between them.
      least_meridian_radius_(
          ellipsoid.EquatorialRadius() * (1.0 - ellipsoid.EccentricitySquared()) - 0.001) {}

double SurfaceDistances::Metres(double latitude1, double longitude1, double latitude2,
                                double longitude2) const {
    if (!OnGlobe(latitude1, longitude1) || !OnGlobe(latitude2, longitude2)) {
        return HUGE_VAL;
    }
    return inverse_.Inverse(latitude1, longitude1, latitude2, longitude2, nullptr, nullptr);
}

bool SurfaceDistances::AtLeast(double latitude1, double longitude1, double latitude2,
                               double longitude2, double metres) const {
    const double apart = std::fabs(latitude1 - latitude2) * (CMath::Pi() / 180.0);
    // Not a number (a latitude that is none) goes to the solver's answer.
    if (apart * least_meridian_radius_ >= metres + kShortCutMargin) {
        return true;
    }
    return Metres(latitude1, longitude1, latitude2, longitude2) >= metres;
}

}  // namespace geodesy
