// Constants of the geodesy library.
//
// Units: Pi in radians. Error bound: Pi lies 1.2e-16 below pi, less than
// half an ulp.
#ifndef TRACKTOOLS_GEODESY_CMATH_H
#define TRACKTOOLS_GEODESY_CMATH_H

// Holder of the library's constants. Every degree/radian conversion takes Pi
// from here so that all of them round the same way.
class CMath {
  public:
    // The double nearest to pi (3.141592653589793, within half an ulp of pi),
    // stored rather than computed.
    static double Pi() { return 3.141592653589793; }
};

#endif
