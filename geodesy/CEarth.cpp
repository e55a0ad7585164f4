#include "CEarth.h"

#include <cmath>

#include "Ellipsoid.h"
#include "Geocentric.h"
#include "VincentyDirect.h"
#include "VincentyInverse.h"
#include "detail/formulas.h"

namespace {

// The id of parameters the caller gave rather than the table.
const int kCallerEllipsoidId = 26;

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
    if (ellipsoidId < geodesy::Ellipsoid::kFirstTableId ||
        ellipsoidId > geodesy::Ellipsoid::kLastTableId) {
        m_Initialize();
        return;
    }
    const geodesy::Ellipsoid table = geodesy::Ellipsoid::FromTable(ellipsoidId);
    m_EquatorialRadiusInMeters = table.EquatorialRadius();
    m_PolarRadiusInMeters = table.PolarRadius();
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

bool CEarth::IsValid() const {
    return m_Model().IsValid();
}

// Built afresh for every operation: a derived class may change the m_ fields
// directly, and every operation must see what they hold.
geodesy::Ellipsoid CEarth::m_Model() const {
    return {m_EquatorialRadiusInMeters, m_PolarRadiusInMeters, m_Flattening, m_EccentricitySquared};
}

// ---------------------------------------------------------------------------
// Conversions

void CEarth::Convert(const CPolarCoordinate& from, CEarthCoordinate& to) const {
    double x, y, z;
    geodesy::Geocentric(m_Model()).Forward(from.GetUpDownAngleInDegrees(),
                                           from.GetLeftRightAngleInDegrees(),
                                           from.GetDistanceFromSurfaceInMeters(), x, y, z);
    to.SetXCoordinateInMeters(x);
    to.SetYCoordinateInMeters(y);
    to.SetZCoordinateInMeters(z);
}

void CEarth::Convert(const CEarthCoordinate& from, CPolarCoordinate& to) const {
    double latitude, longitude, height;
    geodesy::Geocentric(m_Model()).Reverse(
        from.GetXCoordinateInMeters(), from.GetYCoordinateInMeters(), from.GetZCoordinateInMeters(),
        latitude, longitude, height);
    to.SetUpDownAngleInDegrees(latitude);
    to.SetLeftRightAngleInDegrees(longitude);
    to.SetDistanceFromSurfaceInMeters(height);
}

// ---------------------------------------------------------------------------
// Distances

double CEarth::GetSurfaceDistance(const CPolarCoordinate& from, const CPolarCoordinate& to,
                                  double* forwardAzimuthInDegrees,
                                  double* backAzimuthInDegrees) const {
    return geodesy::VincentyInverse(m_Model()).Inverse(
        from.GetUpDownAngleInDegrees(), from.GetLeftRightAngleInDegrees(),
        to.GetUpDownAngleInDegrees(), to.GetLeftRightAngleInDegrees(), forwardAzimuthInDegrees,
        backAzimuthInDegrees);
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
    double latitude, longitude;
    geodesy::VincentyDirect(m_Model()).Direct(
        start.GetUpDownAngleInDegrees(), start.GetLeftRightAngleInDegrees(), directionInDegrees,
        distanceInMeters, latitude, longitude);
    result.SetUpDownAngleInDegrees(latitude);
    result.SetLeftRightAngleInDegrees(longitude);
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
    const double phi = geodesy::detail::ToRadians(start.GetUpDownAngleInDegrees());
    const double alpha = geodesy::detail::ToRadians(directionInDegrees);
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
