// Ellipsoidal earth model: conversions between geodetic and earth-centred
// positions, distances and azimuths on the ellipsoid, and moves along it.
#ifndef TRACKTOOLS_GEODESY_CEARTH_H
#define TRACKTOOLS_GEODESY_CEARTH_H

#include "CEarthCoordinate.h"
#include "CPolarCoordinate.h"

// The earth as an ellipsoid of revolution, chosen by id from a table of
// reference ellipsoids (1 is a sphere, 25 is WGS 84) or given by the caller.
//
// Every public operation except construction and destruction is virtual. The
// overloads that take the other coordinate kind reach the core operation and
// Convert through the virtual calls, so a derived class that replaces a core
// operation changes every overload built on it. Nothing throws: bad input
// shows as zeros or as IEEE infinities and not-a-number values.
class CEarth {
  public:
    explicit CEarth(int ellipsoidId = 25);
    ~CEarth();  // deliberately not virtual; the model is used by value

    // Moves a position along a straight line of sight towards a target
    // `heightOfTarget` metres above the surface (the result's height is kept).
    virtual void AddLineOfSightDistanceAndDirectionToCoordinate(const CPolarCoordinate& start,
                                                                double distanceInMeters,
                                                                double directionInDegrees,
                                                                CPolarCoordinate& result,
                                                                double heightOfTarget);

    // Moves a position along the ellipsoid surface (the geodesic direct
    // problem). The polar-to-polar overload is the core; it writes only the
    // latitude and longitude of the result. Cartesian results lie on the
    // surface.
    virtual void AddSurfaceDistanceAndDirectionToCoordinate(const CEarthCoordinate& start,
                                                            double distanceInMeters,
                                                            double directionInDegrees,
                                                            CEarthCoordinate& result);
    virtual void AddSurfaceDistanceAndDirectionToCoordinate(const CEarthCoordinate& start,
                                                            double distanceInMeters,
                                                            double directionInDegrees,
                                                            CPolarCoordinate& result);
    virtual void AddSurfaceDistanceAndDirectionToCoordinate(const CPolarCoordinate& start,
                                                            double distanceInMeters,
                                                            double directionInDegrees,
                                                            CEarthCoordinate& result);
    virtual void AddSurfaceDistanceAndDirectionToCoordinate(const CPolarCoordinate& start,
                                                            double distanceInMeters,
                                                            double directionInDegrees,
                                                            CPolarCoordinate& result);

    virtual void Convert(const CEarthCoordinate& from, CPolarCoordinate& to) const;
    virtual void Convert(const CPolarCoordinate& from, CEarthCoordinate& to) const;

    // Radio horizon of a four-thirds earth: sqrt(17 * height in metres), in
    // kilometres. Independent of the ellipsoid.
    virtual double GetDistanceToHorizon(const CEarthCoordinate& location) const;
    virtual double GetDistanceToHorizon(const CPolarCoordinate& location) const;

    virtual double GetEquatorialRadiusInMeters() const;
    virtual double GetPolarRadiusInMeters() const;

    // Perpendicular distance of `point` from the straight line through the two
    // course points (the line, not the segment).
    virtual double GetLineOfSightDistanceFromCourse(const CEarthCoordinate& point,
                                                    const CEarthCoordinate& courseStart,
                                                    const CEarthCoordinate& courseEnd) const;

    // Straight-line distance through space; the cartesian pair is the core.
    virtual double GetLineOfSightDistance(const CEarthCoordinate& from,
                                          const CEarthCoordinate& to) const;
    virtual double GetLineOfSightDistance(const CPolarCoordinate& from,
                                          const CEarthCoordinate& to) const;
    virtual double GetLineOfSightDistance(const CEarthCoordinate& from,
                                          const CPolarCoordinate& to) const;
    virtual double GetLineOfSightDistance(const CPolarCoordinate& from,
                                          const CPolarCoordinate& to) const;

    // Distance along the ellipsoid surface between the foot points of two
    // positions (the geodesic inverse problem); the polar pair is the core.
    // The azimuths, in degrees clockwise from north, are stored when the
    // pointers are not null: the forward one at `from` towards `to`, the back
    // one at `to` towards `from`. When no answer can be found (nearly
    // antipodal points) the distance and both azimuths are not-a-number.
    virtual double GetSurfaceDistance(const CEarthCoordinate& from, const CEarthCoordinate& to,
                                      double* forwardAzimuthInDegrees,
                                      double* backAzimuthInDegrees) const;
    virtual double GetSurfaceDistance(const CEarthCoordinate& from, const CPolarCoordinate& to,
                                      double* forwardAzimuthInDegrees,
                                      double* backAzimuthInDegrees) const;
    virtual double GetSurfaceDistance(const CPolarCoordinate& from, const CEarthCoordinate& to,
                                      double* forwardAzimuthInDegrees,
                                      double* backAzimuthInDegrees) const;
    virtual double GetSurfaceDistance(const CPolarCoordinate& from, const CPolarCoordinate& to,
                                      double* forwardAzimuthInDegrees,
                                      double* backAzimuthInDegrees) const;

    // Ids 1 to 25 pick from the table; any other id gives the all-zero model
    // with id 0.
    virtual void SetEllipsoid(int ellipsoidId);
    virtual void SetEllipsoidByRadii(double equatorialRadius, double polarRadius);
    virtual void SetEllipsoidByEquatorialRadiusAndFlattening(double equatorialRadius,
                                                             double flattening);

  protected:
    void m_Initialize();
    void m_ComputeFlattening();
    void m_ComputeEccentricitySquared();

    double m_PolarRadiusInMeters;
    double m_EquatorialRadiusInMeters;
    double m_Flattening;
    double m_EccentricitySquared;
    int m_EllipsoidId;
};

#endif
