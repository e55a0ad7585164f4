#include "VincentyDirect.h"

#include <cmath>

#include <GeographicLib/Geodesic.hpp>

#include "detail/formulas.h"

namespace geodesy {

namespace {

using detail::ToDegrees;
using detail::ToRadians;

// Bound of the iteration. Inputs that settle never reach it.
const int kMaximumIterations = 1000;

[[gnu::cold]] void DirectByGeographicLib(const Ellipsoid& ellipsoid, double latitude1,
                                         double longitude1, double azimuth, double distance,
                                         double& latitude2, double& longitude2) {
    if (!ellipsoid.IsValid() || !std::isfinite(latitude1) || !std::isfinite(longitude1) ||
        !std::isfinite(azimuth) || !std::isfinite(distance)) {
        return;  // the iteration's last estimate stays
    }
    const GeographicLib::Geodesic geodesic(ellipsoid.EquatorialRadius(),
                                           ellipsoid.FlatteningOfRadii());
    geodesic.Direct(latitude1, longitude1, azimuth, distance, latitude2, longitude2);
    // Like the iteration's, the longitude reached lies within about half a
    // turn of the start, whatever number of turns the line makes.
    longitude2 = longitude1 + std::remainder(longitude2 - longitude1, 360.0);
}

// One body for both entry points, inlined into each, so that a line the
// iteration settles costs Direct no call beyond its own.
[[gnu::always_inline]] inline bool Iterate(const Ellipsoid& ellipsoid, double latitude1,
                                           double longitude1, double azimuth, double distance,
                                           double& latitude2, double& longitude2) {
    const double phi1 = ToRadians(latitude1);
    const double lambda1 = ToRadians(longitude1);
    const double alpha1 = ToRadians(azimuth);
    const double s = distance;
    const double a = ellipsoid.EquatorialRadius();
    const double f = ellipsoid.Flattening();

    const double r = 1.0 - f;
    const double t = r * std::sin(phi1) / std::cos(phi1);
    const double sf = std::sin(alpha1);
    const double cf = std::cos(alpha1);
    // Twice the arc from the equator crossing to the start.
    double b = 0.0;
    if (cf != 0.0) {
        b = 2.0 * std::atan2(t, cf);
    }
    const double cosU = 1.0 / std::sqrt(t * t + 1.0);
    const double sinU = t * cosU;
    const double sinAlpha = cosU * sf;
    const double cos2Alpha = 1.0 - sinAlpha * sinAlpha;
    const detail::DistanceSeries series = detail::MakeDistanceSeries(r, cos2Alpha);
    const double d = series.d;
    const double tt = s / r / a / series.c;

    // Input that is not a number makes the difference not a number and ends
    // the loop (its not-a-number result is the answer); the bound only
    // guards against an endless alternation.
    double sigma = tt;
    double sy, cy, cz, e;
    bool settled = true;
    for (int iterations = 1;; ++iterations) {
        sy = std::sin(sigma);
        cy = std::cos(sigma);
        cz = std::cos(b + sigma);
        e = 2.0 * (cz * cz) - 1.0;
        const double sigmaNext =
            ((((4.0 * (sy * sy) - 3.0) * (2.0 * e - 1.0) * cz * d / 6.0 + e * cy) * d / 4.0 - cz) *
             sy * d) +
            tt;
        const double step = std::fabs(sigmaNext - sigma);
        sigma = sigmaNext;
        if (!(step > 5e-15)) {
            break;
        }
        if (iterations == kMaximumIterations) {
            settled = false;
            break;
        }
    }

    const double bb = cosU * cy * cf - sinU * sy;
    const double phi2 =
        std::atan2(sinU * cy + cosU * sy * cf, r * std::sqrt(sinAlpha * sinAlpha + bb * bb));
    const double l = std::atan2(sy * sf, cosU * cy - sinU * sy * cf);
    const double c = detail::LongitudeCorrection(f, cos2Alpha);
    const double lambda2 =
        lambda1 + l - (1.0 - c) * ((e * cy * c + cz) * sy * c + sigma) * sinAlpha * f;

    latitude2 = ToDegrees(phi2);
    longitude2 = ToDegrees(lambda2);
    return settled;
}

}  // namespace

void VincentyDirect::Direct(double latitude1, double longitude1, double azimuth, double distance,
                            double& latitude2, double& longitude2) const {
    if (!Iterate(ellipsoid_, latitude1, longitude1, azimuth, distance, latitude2, longitude2)) {
        DirectByGeographicLib(ellipsoid_, latitude1, longitude1, azimuth, distance, latitude2,
                              longitude2);
    }
}

bool VincentyDirect::DirectByIteration(double latitude1, double longitude1, double azimuth,
                                       double distance, double& latitude2,
                                       double& longitude2) const {
    return Iterate(ellipsoid_, latitude1, longitude1, azimuth, distance, latitude2, longitude2);
}

}  // namespace geodesy
