// Shared helpers of the geodesy tests.
#ifndef TRACKTOOLS_TESTS_GEODESY_EARTH_TEST_SUPPORT_H
#define TRACKTOOLS_TESTS_GEODESY_EARTH_TEST_SUPPORT_H

#include "tracktools/geodesy/CEarth.h"

// Exposes the model parameters that CEarth keeps without getters.
class ProbeEarth : public CEarth {
  public:
    explicit ProbeEarth(int id = 25) : CEarth(id) {}
    double Flattening() const { return m_Flattening; }
    double EccentricitySquared() const { return m_EccentricitySquared; }
    int EllipsoidId() const { return m_EllipsoidId; }
};

#endif
