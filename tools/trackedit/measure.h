// The measures of trackedit: distances along the WGS 84 ellipsoid, and how
// far a point lies off the line between two others.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_MEASURE_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_MEASURE_H

#include "tracktools/geodesy/SurfaceDistances.h"

namespace trackedit {

using geodesy::OnGlobe;
// Geodesic distances on WGS 84.
using Distances = geodesy::SurfaceDistances;

// A position on the ellipsoid's surface (height 0): its place in
// earth-centred axes, metres, and the unit normal there (the vertical).
struct Place {
    double x = 0.0, y = 0.0, z = 0.0;
    double up_x = 0.0, up_y = 0.0, up_z = 0.0;
    static Place At(double latitude_degrees, double longitude_degrees);
};

// The line from one place to another, to measure how far places lie off
// it: from the plane through both that holds the mean of their verticals,
// which follows the geodesic between them closely (within 0.1 % of a
// distance off it for lines up to 100 km); beyond either end, the straight
// distance to that end.
class Line {
  public:
    Line(const Place& a, const Place& b);
    double SquaredLength() const { return length2_; }
    // True when `p` lies within the distance whose square is `within2` of
    // the line.
    bool Covers(const Place& p, double within2) const {
        const double dx = p.x - a_.x;
        const double dy = p.y - a_.y;
        const double dz = p.z - a_.z;
        const double along = dx * along_[0] + dy * along_[1] + dz * along_[2];
        if (along <= 0.0 || length2_ == 0.0) {
            return dx * dx + dy * dy + dz * dz <= within2;
        }
        if (along >= length2_) {
            const double ex = p.x - b_.x;
            const double ey = p.y - b_.y;
            const double ez = p.z - b_.z;
            return ex * ex + ey * ey + ez * ez <= within2;
        }
        // Against the normal as it comes, not made a unit vector.
        const double off = dx * across_[0] + dy * across_[1] + dz * across_[2];
        return off * off <= within2 * across2_;
    }
    // The square of how far `p` lies off the line, metres squared.
    double SquaredOff(const Place& p) const;

  private:
    Place a_;
    Place b_;
    double along_[3];   // b - a
    double across_[3];  // normal of the plane
    double across2_;    // its length squared
    double length2_;
};

// How far `p` lies off the line from `a` to `b`, in metres (the measure of
// -simplify).
double OffLine(double a_latitude, double a_longitude, double b_latitude, double b_longitude,
               double p_latitude, double p_longitude);

}  // namespace trackedit

#endif
