// An ellipsoid of revolution as an immutable value: equatorial radius a,
// polar radius b, flattening f and eccentricity squared e2.
//
// Units: metres for the radii; f and e2 have none.
// Ranges: any doubles are held as given. The solvers built on a value need
// IsValid() for their fallback (both radii positive and finite); the table
// holds the usual earth ellipsoids, with f up to 1/293.
// Error bound: FromTable computes f = |a - b| / a and e2 = 2f - f*f in double
// arithmetic; over the 25 entries, against exact rational arithmetic on the
// same radii, f is within 0.47 ulp and e2 within 0.91 ulp.
#ifndef TRACKTOOLS_GEODESY_ELLIPSOID_H
#define TRACKTOOLS_GEODESY_ELLIPSOID_H

namespace geodesy {

class Ellipsoid {
  public:
    // The four parameters exactly as given: f and e2 are not derived from the
    // radii, so that a model may keep a flattening of its own choosing.
    Ellipsoid(double equatorialRadius, double polarRadius, double flattening,
              double eccentricitySquared)
        : a_(equatorialRadius), b_(polarRadius), f_(flattening), e2_(eccentricitySquared) {}

    // Ids 1 to 25 of the reference table (1 is a sphere of radius 6378137 m,
    // 25 is WGS 84). Any other id gives the all-zero value, which is not
    // valid: on it distances come out 0 and conversions treat the earth as a
    // point.
    static Ellipsoid FromTable(int id);
    static constexpr int kFirstTableId = 1;
    static constexpr int kLastTableId = 25;
    // WGS 84, the ellipsoid of GPS, which every program measures on.
    static constexpr int kWgs84 = 25;
    static Ellipsoid Wgs84() { return FromTable(kWgs84); }

    double EquatorialRadius() const { return a_; }
    double PolarRadius() const { return b_; }
    double Flattening() const { return f_; }
    double EccentricitySquared() const { return e2_; }
    // (a - b) / a: the flattening the radii describe, negative for a prolate
    // ellipsoid. It differs from Flattening() where a model keeps |a - b| / a
    // or a flattening of its own.
    double FlatteningOfRadii() const { return (a_ - b_) / a_; }

    // Both radii positive and finite, and so is the polar radius rebuilt
    // from a and FlatteningOfRadii(): a real ellipsoid, which the solvers'
    // fallback to GeographicLib can take.
    bool IsValid() const;

  private:
    double a_;
    double b_;
    double f_;
    double e2_;
};

}  // namespace geodesy

#endif
