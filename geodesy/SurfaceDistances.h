// Distances along the surface of an ellipsoid (WGS 84 unless told) between
// positions in degrees, as the programs on tracks measure their legs: the
// geodesic of VincentyInverse, and a quick answer where the latitudes alone
// tell that two places are at least so far apart.
#ifndef TRACKTOOLS_GEODESY_SURFACEDISTANCES_H
#define TRACKTOOLS_GEODESY_SURFACEDISTANCES_H

#include "Ellipsoid.h"
#include "VincentyInverse.h"

namespace geodesy {

// True for a latitude within +-90 degrees and a finite longitude: a place
// on the globe, which has a distance from other places.
bool OnGlobe(double latitude, double longitude);

class SurfaceDistances {
  public:
    explicit SurfaceDistances(const Ellipsoid& ellipsoid = Ellipsoid::Wgs84());

    // Metres from place 1 to place 2; a place off the globe is infinitely
    // far from every other.
    double Metres(double latitude1, double longitude1, double latitude2, double longitude2) const;
    // Metres(...) >= metres, answered without the geodesic when the
    // latitudes alone are that far apart.
    bool AtLeast(double latitude1, double longitude1, double latitude2, double longitude2,
                 double metres) const;

  private:
    VincentyInverse inverse_;
    double least_meridian_radius_;
};

}  // namespace geodesy

#endif
