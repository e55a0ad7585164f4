#include "CEarth.h"

#include <cmath>
#include <limits>

// The programs' output depends on the last bits of these results, so every
// formula below keeps its order of operations: degrees become radians by
// multiplying with (Pi / 180.0), radians become degrees as (x * 180.0) / Pi, a
// square is formed on its own before it takes part in a product, and products
// are taken left to right.

namespace {

const double kNotANumber = std::numeric_limits<double>::quiet_NaN();

double ToRadians(double degrees) {
    return degrees * (CMath::Pi() / 180.0);
}

double ToDegrees(double radians) {
    return (radians * 180.0) / CMath::Pi();
}

struct EllipsoidRadii {
    double equatorial;
    double polar;
};

// Radii of ids 1 to 25 exactly as published for each reference ellipsoid; the
// flattening follows from them at run time.
const EllipsoidRadii kEllipsoids[25] = {
    {6378137.0, 6378137.0},          // 1 sphere
    {6377563.396, 6356256.909237},   // 2 Airy 1830
    {6378160.0, 6356774.719195},     // 3 Australian National 1965
    {6377397.155, 6356078.962818},   // 4 Bessel 1841
    {6377483.865, 6356165.382966},   // 5 Bessel 1841 (Namibia)
    {6378206.4, 6356583.799999},     // 6 Clarke 1866
    {6378249.145, 6356514.86955},    // 7 Clarke 1880
    {6377276.345, 6356075.41314},    // 8 Everest 1830
    {6378166.0, 6356784.283607},     // 9 Fischer 1960 (Mercury)
    {6378150.0, 6356768.337244},     // 10 Fischer 1968
    {6378160.0, 6356774.516091},     // 11 GRS 67
    {6378137.0, 6356752.31414},      // 12 GRS 80
    {6378200.0, 6356818.169628},     // 13 Helmert 1906
    {6378270.0, 6356794.343434},     // 14 Hough 1960
    {6378388.0, 6356911.946128},     // 15 International 1924
    {6378245.0, 6356863.018773},     // 16 Krassovsky 1940
    {6377340.189, 6356034.447939},   // 17 Modified Airy
    {6377304.063, 6356103.038993},   // 18 Modified Everest
    {6378155.0, 6356773.320483},     // 19 Modified Fischer 1960
    {6378160.0, 6356774.719195},     // 20 South American 1969
    {6378136.3, 6356751.600562938},  // 21 TOPEX/Poseidon
    {6378165.0, 6356783.286959},     // 22 WGS 60
    {6378145.0, 6356759.769489},     // 23 WGS 66
    {6378135.0, 6356750.520016},     // 24 WGS 72
    {6378137.0, 6356752.314245179},  // 25 WGS 84
};

const int kCallerEllipsoidId = 26;

// Bounds of the iterations. Inputs that settle never reach them.
const int kMaximumInverseIterations = 1000;
const int kMaximumDirectIterations = 1000;
const int kMaximumConversionEstimates = 1024;

// Largest swing of a two-cycle that still counts as settled. Measured on
// random input: cycles between neighbouring values swing by less than 1e-13
// (radians of longitude, or a fraction of tan(latitude)) and are accurate to
// far better than 0.1 mm; failed ones swing by 1e-4 and more.
const double kLargestTwoCycleStep = 1e-12;
const double kLargestRelativeTwoCycleStep = 1e-12;

// Coefficients of the distance series of Vincenty's formulas (inverse and
// direct), from the squared cosine of the azimuth at the equator crossing.
struct DistanceSeries {
    double c;  // scale of the arc length
    double d;  // weight of the correction terms
};

DistanceSeries MakeDistanceSeries(double r, double cos2Alpha) {
    double x = std::sqrt((1.0 / r / r - 1.0) * cos2Alpha + 1.0) + 1.0;
    x = (x - 2.0) / x;
    return {(x * x / 4.0 + 1.0) / (1.0 - x), (0.375 * (x * x) - 1.0) * x};
}

// The coefficient that corrects the longitude difference on the auxiliary sphere.
double LongitudeCorrection(double f, double cos2Alpha) {
    return ((-3.0 * cos2Alpha + 4.0) * f + 4.0) * cos2Alpha * f / 16.0;
}

}  // namespace

CEarth::CEarth(int ellipsoidId) {
    m_Initialize();
    // A constructor reaches only its own class's version: say so.
    CEarth::SetEllipsoid(ellipsoidId);
}

CEarth::~CEarth() {
    m_Initialize();
}

void CEarth::m_Initialize() {
    m_PolarRadiusInMeters = 0.0;
    m_EquatorialRadiusInMeters = 0.0;
    m_Flattening = 0.0;
    m_EccentricitySquared = 0.0;
    m_EllipsoidId = 0;
}

void CEarth::m_ComputeFlattening() {
    // With a zero radius there is no ellipsoid to take a flattening from; the
    // previous value stays.
    if (m_EquatorialRadiusInMeters == 0.0 || m_PolarRadiusInMeters == 0.0) {
        return;
    }
    m_Flattening =
        std::fabs(m_EquatorialRadiusInMeters - m_PolarRadiusInMeters) / m_EquatorialRadiusInMeters;
}

void CEarth::m_ComputeEccentricitySquared() {
    m_EccentricitySquared = 2.0 * m_Flattening - m_Flattening * m_Flattening;
}

void CEarth::SetEllipsoid(int ellipsoidId) {
    m_EllipsoidId = ellipsoidId;
    if (ellipsoidId < 1 || ellipsoidId > 25) {
        m_Initialize();
        return;
    }
    m_EquatorialRadiusInMeters = kEllipsoids[ellipsoidId - 1].equatorial;
    m_PolarRadiusInMeters = kEllipsoids[ellipsoidId - 1].polar;
    m_ComputeFlattening();
    m_ComputeEccentricitySquared();
}

void CEarth::SetEllipsoidByRadii(double equatorialRadius, double polarRadius) {
    m_EquatorialRadiusInMeters = equatorialRadius;
    m_PolarRadiusInMeters = polarRadius;
    m_EllipsoidId = kCallerEllipsoidId;
    m_ComputeFlattening();
    m_ComputeEccentricitySquared();
}

void CEarth::SetEllipsoidByEquatorialRadiusAndFlattening(double equatorialRadius,
                                                         double flattening) {
    // The flattening is kept as given, not recomputed from the radii.
    m_Flattening = flattening;
    m_EllipsoidId = kCallerEllipsoidId;
    m_EquatorialRadiusInMeters = equatorialRadius;
    m_PolarRadiusInMeters = equatorialRadius - equatorialRadius * flattening;
    m_ComputeEccentricitySquared();
}

double CEarth::GetEquatorialRadiusInMeters() const {
    return m_EquatorialRadiusInMeters;
}

double CEarth::GetPolarRadiusInMeters() const {
    return m_PolarRadiusInMeters;
}

// ---------------------------------------------------------------------------
// Conversions

void CEarth::Convert(const CPolarCoordinate& from, CEarthCoordinate& to) const {
    const double phi = ToRadians(from.GetUpDownAngleInDegrees());
    const double lambda = ToRadians(from.GetLeftRightAngleInDegrees());
    const double h = from.GetDistanceFromSurfaceInMeters();
    const double a = m_EquatorialRadiusInMeters;
    const double e2 = m_EccentricitySquared;

    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double n = a / std::sqrt(1.0 - e2 * (sinPhi * sinPhi));

    to.SetXCoordinateInMeters((n + h) * cosPhi * std::cos(lambda));
    to.SetYCoordinateInMeters((n + h) * cosPhi * std::sin(lambda));
    to.SetZCoordinateInMeters((n * (1.0 - e2) + h) * sinPhi);
}

void CEarth::Convert(const CEarthCoordinate& from, CPolarCoordinate& to) const {
    const double x = from.GetXCoordinateInMeters();
    const double y = from.GetYCoordinateInMeters();
    const double z = from.GetZCoordinateInMeters();
    const double a = m_EquatorialRadiusInMeters;
    const double e2 = m_EccentricitySquared;

    const double p = std::sqrt(x * x + y * y);
    const double ae2 = a * e2;

    // Fixed-point iteration on t = tan(latitude). On the polar axis the first
    // estimate is infinite and the difference below is not a number, which
    // ends the loop at once with latitude +-90.
    double t = z / p / (1.0 - e2);
    double tBeforeLast = kNotANumber;
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
        if (tNext == tBeforeLast) {
            if (std::fabs(tNext - t) <= kLargestRelativeTwoCycleStep * std::fabs(tNext)) {
                break;
            }
            to.Set(0.0, 0.0, 0.0);
            return;
        }
        if (estimates == kMaximumConversionEstimates) {
            to.Set(0.0, 0.0, 0.0);
            return;
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
    double h;
    if (std::fabs(phi) < 0.7854) {
        h = p / std::cos(phi) - n;
    } else {
        h = z / sinPhi - n + n * e2;
    }

    to.SetUpDownAngleInDegrees(ToDegrees(phi));
    to.SetLeftRightAngleInDegrees(ToDegrees(lambda));
    to.SetDistanceFromSurfaceInMeters(h);
}

// ---------------------------------------------------------------------------
// Distances

double CEarth::GetSurfaceDistance(const CPolarCoordinate& from, const CPolarCoordinate& to,
                                  double* forwardAzimuthInDegrees,
                                  double* backAzimuthInDegrees) const {
    // Vincenty's inverse formula, iterated on the auxiliary sphere.
    const double phi1 = ToRadians(from.GetUpDownAngleInDegrees());
    const double lambda1 = ToRadians(from.GetLeftRightAngleInDegrees());
    const double phi2 = ToRadians(to.GetUpDownAngleInDegrees());
    const double lambda2 = ToRadians(to.GetLeftRightAngleInDegrees());
    const double a = m_EquatorialRadiusInMeters;
    const double f = m_Flattening;

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
        const double c = LongitudeCorrection(f, cos2Alpha);
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
        if (iterations == kMaximumInverseIterations) {
            answered = step < 1e-15;
            break;
        }
        lambdaBeforeLast = lambda;
        lambda = lambdaNext;
    }

    if (!answered) {
        if (forwardAzimuthInDegrees != nullptr) {
            *forwardAzimuthInDegrees = kNotANumber;
        }
        if (backAzimuthInDegrees != nullptr) {
            *backAzimuthInDegrees = kNotANumber;
        }
        return kNotANumber;
    }

    double forward = ToDegrees(std::atan2(a1, a2));
    if (forward < 0.0) {
        forward += 360.0;
    }
    if (forwardAzimuthInDegrees != nullptr) {
        *forwardAzimuthInDegrees = forward;
    }
    // The literal pi turns the azimuth of travel at `to` into the direction
    // back towards `from`.
    double back =
        ToDegrees(std::atan2(cosU1 * sinLambda, q * cosLambda - sinU1 * cosU2) + 3.141592653589793);
    if (back < 0.0) {
        back += 360.0;
    }
    if (backAzimuthInDegrees != nullptr) {
        *backAzimuthInDegrees = back;
    }

    // Identical points are exactly 0 apart; evaluating the series would leave
    // the rounding residue of a2 (about 1e-10 m), which turns the speed of two
    // identical fixes with equal times from not-a-number into infinity.
    if (phi1 == phi2 && lambda1 == lambda2) {
        return 0.0;
    }

    const DistanceSeries series = MakeDistanceSeries(r, cos2Alpha);
    const double c = series.c;
    const double d = series.d;
    return ((((4.0 * (sinSigma * sinSigma) - 3.0) * (1.0 - 2.0 * e) * cos2SigmaM * d / 6.0 -
              e * cosSigma) *
                 d / 4.0 +
             cos2SigmaM) *
                sinSigma * d +
            sigma) *
           c * a * r;
}

double CEarth::GetSurfaceDistance(const CEarthCoordinate& from, const CEarthCoordinate& to,
                                  double* forwardAzimuthInDegrees,
                                  double* backAzimuthInDegrees) const {
    CPolarCoordinate polarFrom;
    CPolarCoordinate polarTo;
    Convert(from, polarFrom);
    Convert(to, polarTo);
    return GetSurfaceDistance(polarFrom, polarTo, forwardAzimuthInDegrees, backAzimuthInDegrees);
}

double CEarth::GetSurfaceDistance(const CEarthCoordinate& from, const CPolarCoordinate& to,
                                  double* forwardAzimuthInDegrees,
                                  double* backAzimuthInDegrees) const {
    CPolarCoordinate polarFrom;
    Convert(from, polarFrom);
    return GetSurfaceDistance(polarFrom, to, forwardAzimuthInDegrees, backAzimuthInDegrees);
}

double CEarth::GetSurfaceDistance(const CPolarCoordinate& from, const CEarthCoordinate& to,
                                  double* forwardAzimuthInDegrees,
                                  double* backAzimuthInDegrees) const {
    CPolarCoordinate polarTo;
    Convert(to, polarTo);
    return GetSurfaceDistance(from, polarTo, forwardAzimuthInDegrees, backAzimuthInDegrees);
}

double CEarth::GetLineOfSightDistance(const CEarthCoordinate& from,
                                      const CEarthCoordinate& to) const {
    const double dx = from.GetXCoordinateInMeters() - to.GetXCoordinateInMeters();
    const double dy = from.GetYCoordinateInMeters() - to.GetYCoordinateInMeters();
    const double dz = from.GetZCoordinateInMeters() - to.GetZCoordinateInMeters();
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double CEarth::GetLineOfSightDistance(const CPolarCoordinate& from,
                                      const CEarthCoordinate& to) const {
    CEarthCoordinate cartesianFrom;
    Convert(from, cartesianFrom);
    return GetLineOfSightDistance(cartesianFrom, to);
}

double CEarth::GetLineOfSightDistance(const CEarthCoordinate& from,
                                      const CPolarCoordinate& to) const {
    CEarthCoordinate cartesianTo;
    Convert(to, cartesianTo);
    return GetLineOfSightDistance(from, cartesianTo);
}

double CEarth::GetLineOfSightDistance(const CPolarCoordinate& from,
                                      const CPolarCoordinate& to) const {
    CEarthCoordinate cartesianFrom;
    CEarthCoordinate cartesianTo;
    Convert(from, cartesianFrom);
    Convert(to, cartesianTo);
    return GetLineOfSightDistance(cartesianFrom, cartesianTo);
}

double CEarth::GetLineOfSightDistanceFromCourse(const CEarthCoordinate& point,
                                                const CEarthCoordinate& courseStart,
                                                const CEarthCoordinate& courseEnd) const {
    // Height over the side courseStart-courseEnd of the triangle the three
    // points span, with the area from Heron's formula.
    const double d1 = GetLineOfSightDistance(point, courseStart);
    const double d2 = GetLineOfSightDistance(point, courseEnd);
    const double d3 = GetLineOfSightDistance(courseStart, courseEnd);
    const double k = (d3 + (d1 + d2)) * 0.5;
    double product = k * (k - d1) * (k - d3) * (k - d2);
    // A point on the course line makes a flat triangle whose product rounding
    // can push just below 0; its distance is 0, not not-a-number.
    if (product < 0.0) {
        product = 0.0;
    }
    const double area = std::sqrt(product);
    return 2.0 * area / d3;
}

double CEarth::GetDistanceToHorizon(const CPolarCoordinate& location) const {
    return std::sqrt(17.0 * location.GetDistanceFromSurfaceInMeters());
}

double CEarth::GetDistanceToHorizon(const CEarthCoordinate& location) const {
    CPolarCoordinate polar;
    Convert(location, polar);
    return GetDistanceToHorizon(polar);
}

// ---------------------------------------------------------------------------
// Moves

void CEarth::AddSurfaceDistanceAndDirectionToCoordinate(const CPolarCoordinate& start,
                                                        double distanceInMeters,
                                                        double directionInDegrees,
                                                        CPolarCoordinate& result) {
    // Vincenty's direct formula, iterated on the arc length.
    const double phi1 = ToRadians(start.GetUpDownAngleInDegrees());
    const double lambda1 = ToRadians(start.GetLeftRightAngleInDegrees());
    const double alpha1 = ToRadians(directionInDegrees);
    const double s = distanceInMeters;
    const double a = m_EquatorialRadiusInMeters;
    const double f = m_Flattening;

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
    const DistanceSeries series = MakeDistanceSeries(r, cos2Alpha);
    const double d = series.d;
    const double tt = s / r / a / series.c;

    // Input that is not a number makes the difference not a number and ends
    // the loop; the bound only guards against an endless alternation.
    double sigma = tt;
    double sy, cy, cz, e;
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
        if (!(step > 5e-15) || iterations == kMaximumDirectIterations) {
            break;
        }
    }

    const double bb = cosU * cy * cf - sinU * sy;
    const double phi2 =
        std::atan2(sinU * cy + cosU * sy * cf, r * std::sqrt(sinAlpha * sinAlpha + bb * bb));
    const double l = std::atan2(sy * sf, cosU * cy - sinU * sy * cf);
    const double c = LongitudeCorrection(f, cos2Alpha);
    const double lambda2 =
        lambda1 + l - (1.0 - c) * ((e * cy * c + cz) * sy * c + sigma) * sinAlpha * f;

    result.SetUpDownAngleInDegrees(ToDegrees(phi2));
    result.SetLeftRightAngleInDegrees(ToDegrees(lambda2));
}

void CEarth::AddSurfaceDistanceAndDirectionToCoordinate(const CEarthCoordinate& start,
                                                        double distanceInMeters,
                                                        double directionInDegrees,
                                                        CEarthCoordinate& result) {
    CPolarCoordinate polarStart;
    CPolarCoordinate polarResult;
    Convert(start, polarStart);
    AddSurfaceDistanceAndDirectionToCoordinate(polarStart, distanceInMeters, directionInDegrees,
                                               polarResult);
    Convert(polarResult, result);
}

void CEarth::AddSurfaceDistanceAndDirectionToCoordinate(const CEarthCoordinate& start,
                                                        double distanceInMeters,
                                                        double directionInDegrees,
                                                        CPolarCoordinate& result) {
    CPolarCoordinate polarStart;
    Convert(start, polarStart);
    AddSurfaceDistanceAndDirectionToCoordinate(polarStart, distanceInMeters, directionInDegrees,
                                               result);
}

void CEarth::AddSurfaceDistanceAndDirectionToCoordinate(const CPolarCoordinate& start,
                                                        double distanceInMeters,
                                                        double directionInDegrees,
                                                        CEarthCoordinate& result) {
    CPolarCoordinate polarResult;
    AddSurfaceDistanceAndDirectionToCoordinate(start, distanceInMeters, directionInDegrees,
                                               polarResult);
    Convert(polarResult, result);
}

void CEarth::AddLineOfSightDistanceAndDirectionToCoordinate(const CPolarCoordinate& start,
                                                            double distanceInMeters,
                                                            double directionInDegrees,
                                                            CPolarCoordinate& result,
                                                            double heightOfTarget) {
    // The chord between the two foot points is taken on the sphere that
    // osculates the ellipsoid at the start in the given direction, and the
    // arc over it becomes the surface distance.
    const double a = m_EquatorialRadiusInMeters;
    const double b = m_PolarRadiusInMeters;
    const double h1 = start.GetDistanceFromSurfaceInMeters();
    const double h2 = heightOfTarget;
    const double lineOfSight = distanceInMeters;

    const double ep2 = (a * a - b * b) / (b * b);
    const double phi = ToRadians(start.GetUpDownAngleInDegrees());
    const double alpha = ToRadians(directionInDegrees);
    const double cosPhi = std::cos(phi);
    const double cosAlpha = std::cos(alpha);
    const double eta2 = ep2 * (cosPhi * cosPhi);
    const double n = (a * a / b) / std::sqrt(1.0 + eta2);
    const double radius = n / (1.0 + eta2 * (cosAlpha * cosAlpha));
    const double dh = h2 - h1;
    // Shorter than the height difference there is no real chord: not a number.
    const double chord = std::sqrt((lineOfSight * lineOfSight - dh * dh) /
                                   ((1.0 + h1 / radius) * (1.0 + h2 / radius)));
    const double surfaceDistance = 2.0 * radius * std::asin(chord / (2.0 * radius));

    AddSurfaceDistanceAndDirectionToCoordinate(start, surfaceDistance, directionInDegrees, result);
}
