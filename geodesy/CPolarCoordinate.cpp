#include "CPolarCoordinate.h"

CPolarCoordinate::CPolarCoordinate()
    : m_UpDownAngleInDegrees(0.0),
      m_LeftRightAngleInDegrees(0.0),
      m_DistanceFromSurfaceInMeters(0.0) {}

CPolarCoordinate::CPolarCoordinate(double upDownAngle)
    : m_UpDownAngleInDegrees(upDownAngle),
      m_LeftRightAngleInDegrees(0.0),
      m_DistanceFromSurfaceInMeters(0.0) {}

CPolarCoordinate::CPolarCoordinate(double upDownAngle, double leftRightAngle)
    : m_UpDownAngleInDegrees(upDownAngle),
      m_LeftRightAngleInDegrees(leftRightAngle),
      m_DistanceFromSurfaceInMeters(0.0) {}

CPolarCoordinate::CPolarCoordinate(double upDownAngle, double leftRightAngle,
                                   double distanceFromSurface)
    : m_UpDownAngleInDegrees(upDownAngle),
      m_LeftRightAngleInDegrees(leftRightAngle),
      m_DistanceFromSurfaceInMeters(distanceFromSurface) {}

CPolarCoordinate::CPolarCoordinate(const CPolarCoordinate& source) {
    Copy(source);
}

CPolarCoordinate::~CPolarCoordinate() {
    Set(0.0, 0.0, 0.0);
}

void CPolarCoordinate::Copy(const CPolarCoordinate& source) {
    m_UpDownAngleInDegrees = source.m_UpDownAngleInDegrees;
    m_LeftRightAngleInDegrees = source.m_LeftRightAngleInDegrees;
    m_DistanceFromSurfaceInMeters = source.m_DistanceFromSurfaceInMeters;
}

void CPolarCoordinate::Get(double& upDownAngle, double& leftRightAngle,
                           double& distanceFromSurface) const {
    upDownAngle = m_UpDownAngleInDegrees;
    leftRightAngle = m_LeftRightAngleInDegrees;
    distanceFromSurface = m_DistanceFromSurfaceInMeters;
}

void CPolarCoordinate::Set(double upDownAngle, double leftRightAngle, double distanceFromSurface) {
    m_UpDownAngleInDegrees = upDownAngle;
    m_LeftRightAngleInDegrees = leftRightAngle;
    m_DistanceFromSurfaceInMeters = distanceFromSurface;
}

CPolarCoordinate& CPolarCoordinate::operator=(const CPolarCoordinate& source) {
    Copy(source);
    return *this;
}
