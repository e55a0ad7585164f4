// The geodesic inverse problem: the shortest distance along the surface of an
// ellipsoid between two positions, with the azimuths of that line.
//
// Units: degrees for latitudes, longitudes and azimuths (clockwise from
// north), metres for the distance.
// Ranges: latitudes -90..90 (beyond them GeographicLib's answer is not a
// number); longitudes of any size, not wrapped. Azimuths come out in 0..360;
// the iteration's can be 360 itself (a tiny negative angle plus 360), the
// fallback's are below 360.
// Error bound, measured against GeographicLib's Geodesic::Inverse over 2
// million random pairs (GPS legs, lines of every length and nearly antipodal
// pairs) on WGS 84 and seven other ellipsoids of the table: distance within
// 8.1e-5 m; azimuths within 4e-7 degrees on lines of 1 m and more (below a
// centimetre the azimuth is only as good as the rounding of the coordinates
// allows, 7.4e-5 degrees at worst). Where GeographicLib answers, the results
// are its own.
//
// The iteration is T. Vincenty, "Direct and inverse solutions of geodesics
// on the ellipsoid with application of nested equations", Survey Review
// 23(176), 88-93 (1975): on the auxiliary sphere, the longitude difference
// lambda is iterated until two estimates differ by at most 5e-23 or
// alternate between two neighbouring doubles, and the distance follows from
// the series in the squared cosine of the equatorial azimuth. For nearly
// antipodal points it has no answer: its estimates pass pi, swing between
// far-apart values, or still move after 1000 iterations. There, for finite
// input on a valid ellipsoid, the answer is GeographicLib's
// Geodesic(a, (a - b) / a).Inverse: C. F. F. Karney, "Algorithms for
// geodesics", J. Geodesy 87(1), 43-55 (2013), which solves every pair.
#ifndef TRACKTOOLS_GEODESY_VINCENTYINVERSE_H
#define TRACKTOOLS_GEODESY_VINCENTYINVERSE_H

#include "Ellipsoid.h"

namespace geodesy {

class VincentyInverse {
  public:
    explicit VincentyInverse(const Ellipsoid& ellipsoid) : ellipsoid_(ellipsoid) {}

    // Distance from point 1 to point 2. The azimuths are stored where the
    // pointers are not null (and only then computed): the forward one is the
    // direction at point 1 towards point 2, the back one the direction at
    // point 2 back towards point 1. Identical points are exactly 0 apart.
    // Input that is not finite, or an ellipsoid that is not valid where the
    // iteration fails, gives not-a-number for all three.
    double Inverse(double latitude1, double longitude1, double latitude2, double longitude2,
                   double* forwardAzimuth, double* backAzimuth) const;

    // The iteration alone: false, with not-a-number written, where it gives
    // no answer.
    bool InverseByIteration(double latitude1, double longitude1, double latitude2,
                            double longitude2, double& distance, double* forwardAzimuth,
                            double* backAzimuth) const;

  private:
    Ellipsoid ellipsoid_;
};

}  // namespace geodesy

#endif
