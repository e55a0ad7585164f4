#include "VincentyInverse.h"

#include <cmath>
#include <limits>

#include <GeographicLib/Geodesic.hpp>

#include "detail/formulas.h"

namespace geodesy {

namespace {

using detail::ToDegrees;
using detail::ToRadians;

const double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// Bound of the iteration. Inputs that settle never reach it.
const int kMaximumIterations = 1000;

// Largest swing of a two-cycle that still counts as settled. Measured on
// random input: cycles between neighbouring values swing by less than 1e-13
// radians of longitude and are accurate to far better than 0.1 mm; failed
// ones swing by 1e-4 and more.
const double kLargestTwoCycleStep = 1e-12;

// An azimuth of GeographicLib (-180..180, or 0..360 for a back azimuth)
// brought into 0 <= x < 360, without a negative zero.
double AzimuthFrom0To360(double degrees) {
    double x = std::fmod(degrees, 360.0);
    if (x < 0.0) {
        x += 360.0;
    }
    if (x >= 360.0) {
        x = 0.0;
    }
    return x + 0.0;  // -0 + 0 is +0
}

[[gnu::cold]] double InverseByGeographicLib(const Ellipsoid& ellipsoid, double latitude1,
                                            double longitude1, double latitude2, double longitude2,
                                            double* forwardAzimuth, double* backAzimuth) {
    if (!ellipsoid.IsValid() || !std::isfinite(latitude1) || !std::isfinite(longitude1) ||
        !std::isfinite(latitude2) || !std::isfinite(longitude2)) {
        return kNotANumber;  // the iteration's not-a-number azimuths stay
    }
    const GeographicLib::Geodesic geodesic(ellipsoid.EquatorialRadius(),
                                           ellipsoid.FlatteningOfRadii());
    double distance, azimuth1, azimuth2;
    geodesic.Inverse(latitude1, longitude1, latitude2, longitude2, distance, azimuth1, azimuth2);
    if (forwardAzimuth != nullptr) {
        *forwardAzimuth = AzimuthFrom0To360(azimuth1);
    }
    // GeographicLib's second azimuth is the direction of travel at point 2.
    if (backAzimuth != nullptr) {
        *backAzimuth = AzimuthFrom0To360(azimuth2 + 180.0);
    }
    return distance;
}

// One body for both entry points, inlined into each, so that a leg the
// iteration settles costs Inverse no call beyond its own. An azimuth is
// computed only when it is asked for: each takes an arc tangent.
[[gnu::always_inline]] inline bool Iterate(const Ellipsoid& ellipsoid, double latitude1,
                                           double longitude1, double latitude2, double longitude2,
                                           double& distance, double* forwardAzimuth,
                                           double* backAzimuth) {
    const double phi1 = ToRadians(latitude1);
    const double lambda1 = ToRadians(longitude1);
    const double phi2 = ToRadians(latitude2);
    const double lambda2 = ToRadians(longitude2);
    const double a = ellipsoid.EquatorialRadius();
    const double f = ellipsoid.Flattening();

    const double r = 1.0 - f;
    // Tangents of the reduced latitudes. No pole needs a special case: the
    // cosine of 90 degrees is not exactly 0 in double arithmetic.
    const double t1 = r * std::sin(phi1) / std::cos(phi1);
    const double t2 = r * std::sin(phi2) / std::cos(phi2);
    const double cosU1 = 1.0 / std::sqrt(t1 * t1 + 1.0);
    const double sinU1 = cosU1 * t1;
    const double cosU2 = 1.0 / std::sqrt(t2 * t2 + 1.0);
    const double p = cosU1 * cosU2;
    const double q = p * t2;
    const double rr = q * t1;

    const double l = lambda2 - lambda1;
    // The longitudes are not normalised, so the longitude difference on the
    // auxiliary sphere is judged against the multiple of 2 pi nearest to l.
    const double turnsOfL = l - std::remainder(l, 2.0 * CMath::Pi());

    double lambda = l;
    double lambdaBeforeLast = kNotANumber;
    double sinLambda, cosLambda, a1, a2, sinSigma, cosSigma, sigma, cos2Alpha, cos2SigmaM, e;
    bool answered = true;
    for (int iterations = 1;; ++iterations) {
        sinLambda = std::sin(lambda);
        cosLambda = std::cos(lambda);
        a1 = cosU2 * sinLambda;
        a2 = q - sinU1 * cosU2 * cosLambda;
        sinSigma = std::sqrt(a1 * a1 + a2 * a2);
        // Points a few hundred decimal places apart (near latitude and
        // longitude 0) make both squares underflow; only then is the root
        // taken without squaring, so that sinAlpha below stays finite.
        if (sinSigma == 0.0 && (a1 != 0.0 || a2 != 0.0)) {
            sinSigma = std::hypot(a1, a2);
        }
        cosSigma = p * cosLambda + rr;
        sigma = std::atan2(sinSigma, cosSigma);
        double sinAlpha;
        if (p * sinLambda == 0.0 && sinSigma == 0.0) {
            sinAlpha = 1.0;
        } else {
            sinAlpha = p * sinLambda / sinSigma;
        }
        cos2Alpha = 1.0 - sinAlpha * sinAlpha;
        cos2SigmaM = 2.0 * rr;
        if (cos2Alpha > 0.0) {
            cos2SigmaM = cosSigma - 2.0 * rr / cos2Alpha;
        }
        e = 2.0 * (cos2SigmaM * cos2SigmaM) - 1.0;
        const double c = detail::LongitudeCorrection(f, cos2Alpha);
        const double lambdaNext =
            ((e * cosSigma * c + cos2SigmaM) * sinSigma * c + sigma) * sinAlpha * (1.0 - c) * f + l;

        const double step = std::fabs(lambdaNext - lambda);
        if (!(step > 5e-23)) {
            break;
        }
        // An estimate that returns to the one of two iterations before repeats
        // forever. Between neighbouring doubles (short legs) the values of this
        // iteration are far better than a millimetre; a wide swing (nearly
        // antipodal points) is a failure, its values up to 65 km wrong.
        if (lambdaNext == lambdaBeforeLast) {
            answered = step < kLargestTwoCycleStep;
            break;
        }
        // Beyond pi the iteration has failed (nearly antipodal points); a value
        // taken here can be 100 km wrong.
        if (std::fabs(lambdaNext - turnsOfL) > CMath::Pi()) {
            answered = false;
            break;
        }
        if (iterations == kMaximumIterations) {
            answered = step < 1e-15;
            break;
        }
        lambdaBeforeLast = lambda;
        lambda = lambdaNext;
    }

    if (!answered) {
        distance = kNotANumber;
        if (forwardAzimuth != nullptr) {
            *forwardAzimuth = kNotANumber;
        }
        if (backAzimuth != nullptr) {
            *backAzimuth = kNotANumber;
        }
        return false;
    }

    if (forwardAzimuth != nullptr) {
        double forward = ToDegrees(std::atan2(a1, a2));
        if (forward < 0.0) {
            forward += 360.0;
        }
        *forwardAzimuth = forward;
    }
    if (backAzimuth != nullptr) {
        // The literal pi turns the azimuth of travel at point 2 into the
        // direction back towards point 1.
        double back = ToDegrees(std::atan2(cosU1 * sinLambda, q * cosLambda - sinU1 * cosU2) +
                                3.141592653589793);
        if (back < 0.0) {
            back += 360.0;
        }
        *backAzimuth = back;
    }

    // Identical points are exactly 0 apart; evaluating the series would leave
    // the rounding residue of a2 (about 1e-10 m), which turns the speed of two
    // identical fixes with equal times from not-a-number into infinity.
    if (phi1 == phi2 && lambda1 == lambda2) {
        distance = 0.0;
        return true;
    }

    const detail::DistanceSeries series = detail::MakeDistanceSeries(r, cos2Alpha);
    const double c = series.c;
    const double d = series.d;
    distance = ((((4.0 * (sinSigma * sinSigma) - 3.0) * (1.0 - 2.0 * e) * cos2SigmaM * d / 6.0 -
                  e * cosSigma) *
                     d / 4.0 +
                 cos2SigmaM) *
                    sinSigma * d +
                sigma) *
               c * a * r;
    return true;
}

}  // namespace

double VincentyInverse::Inverse(double latitude1, double longitude1, double latitude2,
                                double longitude2, double* forwardAzimuth,
                                double* backAzimuth) const {
    double distance;
    if (!Iterate(ellipsoid_, latitude1, longitude1, latitude2, longitude2, distance, forwardAzimuth,
                 backAzimuth)) {
        distance = InverseByGeographicLib(ellipsoid_, latitude1, longitude1, latitude2, longitude2,
                                          forwardAzimuth, backAzimuth);
    }
    return distance;
}

bool VincentyInverse::InverseByIteration(double latitude1, double longitude1, double latitude2,
                                         double longitude2, double& distance,
                                         double* forwardAzimuth, double* backAzimuth) const {
    return Iterate(ellipsoid_, latitude1, longitude1, latitude2, longitude2, distance,
                   forwardAzimuth, backAzimuth);
}

}  // namespace geodesy
