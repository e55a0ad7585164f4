// Earth-centred, earth-fixed cartesian position in metres.
//
// Ranges: any doubles, stored as given.
// Error bound: none for the fields; the arithmetic operators round as IEEE
// double arithmetic does.
#ifndef TRACKTOOLS_GEODESY_CEARTHCOORDINATE_H
#define TRACKTOOLS_GEODESY_CEARTHCOORDINATE_H

// X points to latitude 0 / longitude 0, Y to latitude 0 / longitude +90 and
// Z along the polar axis to latitude +90; the origin is the ellipsoid centre.
class CEarthCoordinate {
  public:
    CEarthCoordinate();
    explicit CEarthCoordinate(double x);
    CEarthCoordinate(double x, double y);
    CEarthCoordinate(double x, double y, double z);
    CEarthCoordinate(const CEarthCoordinate& source);
    ~CEarthCoordinate();

    void Copy(const CEarthCoordinate& source);
    void Get(double& x, double& y, double& z) const;
    double GetXCoordinateInMeters() const { return m_X; }
    double GetYCoordinateInMeters() const { return m_Y; }
    double GetZCoordinateInMeters() const { return m_Z; }
    void Set(double x, double y, double z);
    void SetXCoordinateInMeters(double value) { m_X = value; }
    void SetYCoordinateInMeters(double value) { m_Y = value; }
    void SetZCoordinateInMeters(double value) { m_Z = value; }

    CEarthCoordinate& operator=(const CEarthCoordinate& source);

    // These change this object in place and return it, like compound
    // assignment: after `a - b`, a holds the difference.
    CEarthCoordinate& operator+(const CEarthCoordinate& other);
    CEarthCoordinate& operator-(const CEarthCoordinate& other);
    CEarthCoordinate& operator*(double factor);
    CEarthCoordinate& operator/(double divisor);

  private:
    double m_X;
    double m_Y;
    double m_Z;
};

#endif
