// Geodetic position: latitude and longitude in degrees, height in metres.
//
// Ranges: any doubles, stored as given; the earth model expects latitudes in
// -90..90 and takes longitudes of any size.
// Error bound: none; a plain value that computes nothing.
#ifndef TRACKTOOLS_GEODESY_CPOLARCOORDINATE_H
#define TRACKTOOLS_GEODESY_CPOLARCOORDINATE_H

// CMath came with this header before it had one of its own; code that
// includes only this header keeps finding it.
#include "CMath.h"

// A geodetic position: latitude and longitude in degrees and the height above
// the ellipsoid surface in metres. Angles are stored as given, never wrapped.
class CPolarCoordinate {
  public:
    CPolarCoordinate();
    explicit CPolarCoordinate(double upDownAngle);
    CPolarCoordinate(double upDownAngle, double leftRightAngle);
    CPolarCoordinate(double upDownAngle, double leftRightAngle, double distanceFromSurface);
    CPolarCoordinate(const CPolarCoordinate& source);
    ~CPolarCoordinate();

    void Copy(const CPolarCoordinate& source);
    void Get(double& upDownAngle, double& leftRightAngle, double& distanceFromSurface) const;
    double GetUpDownAngleInDegrees() const { return m_UpDownAngleInDegrees; }
    double GetLeftRightAngleInDegrees() const { return m_LeftRightAngleInDegrees; }
    double GetDistanceFromSurfaceInMeters() const { return m_DistanceFromSurfaceInMeters; }
    void Set(double upDownAngle, double leftRightAngle, double distanceFromSurface);
    void SetUpDownAngleInDegrees(double value) { m_UpDownAngleInDegrees = value; }
    void SetLeftRightAngleInDegrees(double value) { m_LeftRightAngleInDegrees = value; }
    void SetDistanceFromSurfaceInMeters(double value) { m_DistanceFromSurfaceInMeters = value; }

    CPolarCoordinate& operator=(const CPolarCoordinate& source);

  private:
    double m_UpDownAngleInDegrees;
    double m_LeftRightAngleInDegrees;
    double m_DistanceFromSurfaceInMeters;
};

#endif
