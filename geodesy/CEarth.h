// Ellipsoidal earth model: conversions between geodetic and earth-centred
// positions, distances and azimuths on the ellipsoid, and moves along it.
//
// Units: degrees for latitudes, longitudes, azimuths and directions
// (clockwise from north); metres for heights, radii, distances and X, Y, Z.
// Ranges: angles of any size are taken as given and not wrapped; latitudes
// belong in -90..90. Input that is not finite gives infinities or
// not-a-number.
// Error bound: the operations have those of the solvers they delegate to,
// measured against GeographicLib (Geocentric.h, VincentyInverse.h,
// VincentyDirect.h). The line-of-sight move works on the sphere that
// osculates the ellipsoid at the start; measured over 600000 random moves on
// three ellipsoids, the straight line to the point reached is within 0.14 mm
// of the given length up to 20 km, within 3.3 mm up to 100 km.
//
// The model holds its parameters in the m_ fields. The conversions, surface
// distances and surface moves build a geodesy::Ellipsoid from them on every
// call and hand the work to the converter or solver, so a derived class that
// changes the fields changes every result.
#ifndef TRACKTOOLS_GEODESY_CEARTH_H
#define TRACKTOOLS_GEODESY_CEARTH_H

#include "CEarthCoordinate.h"
#include "CPolarCoordinate.h"

namespace geodesy {
class Ellipsoid;
}

// The earth as an ellipsoid of revolution, chosen by id from a table of
// reference ellipsoids (1 is a sphere, 25 is WGS 84) or given by the caller.
//
// Every public operation except construction, destruction and IsValid is
// virtual. The overloads that take the other coordinate kind reach the core
// operation and Convert through the virtual calls, so a derived class that
// replaces a core operation changes every overload built on it. Nothing
// throws: bad input shows as zeros or as IEEE infinities and not-a-number
// values.
//
// An unknown ellipsoid id (0, negative, 26 and above) silently gives the
// all-zero model with id 0: a point-sized earth on which conversions give
// the height along the normal as the whole position, surface distances come
// out 0 and moves go nowhere. IsValid() tells such a model apart.
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
    // problem, VincentyDirect.h). The polar-to-polar overload is the core; it
    // writes only the latitude and longitude of the result. Cartesian results
    // lie on the surface.
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

    // Cartesian to geodetic and back (Geocentric.h). A point deep inside the
    // earth, where the iteration gives no answer, is converted by
    // GeographicLib; only a model that is not valid gives (0, 0, 0) there.
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
    // one at `to` towards `from`. Nearly antipodal points, where Vincenty's
    // iteration fails, are measured by GeographicLib; the distance and both
    // azimuths are not-a-number only for input that is not finite, or where
    // a model that is not valid gives no answer.
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

    // True when the parameters describe a real ellipsoid (both radii positive
    // and finite); false for the all-zero model of an unknown id.
    bool IsValid() const;

  protected:
    void m_Initialize();
    void m_ComputeFlattening();
    void m_ComputeEccentricitySquared();

    double m_PolarRadiusInMeters;
    double m_EquatorialRadiusInMeters;
    double m_Flattening;
    double m_EccentricitySquared;
    int m_EllipsoidId;

  private:
    geodesy::Ellipsoid m_Model() const;
};

#endif
