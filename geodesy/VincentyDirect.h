// The geodesic direct problem: the position reached from a start position by
// going a given distance along the surface of an ellipsoid in a given
// direction.
//
// Units: degrees for latitudes, longitudes and the azimuth (clockwise from
// north), metres for the distance.
// Ranges: start latitude -90..90, any longitude, azimuth and distance
// (negative distances go backwards). The longitude reached is not wrapped
// (going east from 179.9 gives more than 180) but lies within about half a
// turn of the start, however often the line goes round the earth.
// Error bound, measured against GeographicLib's Geodesic::Direct over 2
// million random lines of up to 20000 km on WGS 84 and seven other ellipsoids
// of the table: within 9.7e-5 m of the position. Lines many times round the
// earth lose a little on each turn: 2.9 mm at 8e8 m. Where GeographicLib
// answers, the position is its own.
//
// The iteration is T. Vincenty, "Direct and inverse solutions of geodesics
// on the ellipsoid with application of nested equations", Survey Review
// 23(176), 88-93 (1975): the arc length sigma on the auxiliary sphere is
// iterated until two estimates differ by at most 5e-15. Where it does not
// settle within 1000 iterations (for finite input on a valid ellipsoid; on
// the table's ellipsoids only lines longer than about 2e8 m, five times
// round the earth, were seen to), the answer is GeographicLib's
// Geodesic(a, (a - b) / a).Direct: C. F. F. Karney, "Algorithms for
// geodesics", J. Geodesy 87(1), 43-55 (2013).
#ifndef TRACKTOOLS_GEODESY_VINCENTYDIRECT_H
#define TRACKTOOLS_GEODESY_VINCENTYDIRECT_H

#include "Ellipsoid.h"

namespace geodesy {

class VincentyDirect {
  public:
    explicit VincentyDirect(const Ellipsoid& ellipsoid) : ellipsoid_(ellipsoid) {}

    // Latitude and longitude reached from the start. Input that is not
    // finite gives not-a-number.
    void Direct(double latitude1, double longitude1, double azimuth, double distance,
                double& latitude2, double& longitude2) const;

    // The iteration alone: false where it does not settle, with the position
    // of its last estimate written.
    bool DirectByIteration(double latitude1, double longitude1, double azimuth, double distance,
                           double& latitude2, double& longitude2) const;

  private:
    Ellipsoid ellipsoid_;
};

}  // namespace geodesy

#endif
