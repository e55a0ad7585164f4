#include "CEarthCoordinate.h"

CEarthCoordinate::CEarthCoordinate() : m_X(0.0), m_Y(0.0), m_Z(0.0) {}

CEarthCoordinate::CEarthCoordinate(double x) : m_X(x), m_Y(0.0), m_Z(0.0) {}

CEarthCoordinate::CEarthCoordinate(double x, double y) : m_X(x), m_Y(y), m_Z(0.0) {}

CEarthCoordinate::CEarthCoordinate(double x, double y, double z) : m_X(x), m_Y(y), m_Z(z) {}

CEarthCoordinate::CEarthCoordinate(const CEarthCoordinate& source) {
    Copy(source);
}

CEarthCoordinate::~CEarthCoordinate() {
    Set(0.0, 0.0, 0.0);
}

void CEarthCoordinate::Copy(const CEarthCoordinate& source) {
    m_X = source.m_X;
    m_Y = source.m_Y;
    m_Z = source.m_Z;
}

void CEarthCoordinate::Get(double& x, double& y, double& z) const {
    x = m_X;
    y = m_Y;
    z = m_Z;
}

void CEarthCoordinate::Set(double x, double y, double z) {
    m_X = x;
    m_Y = y;
    m_Z = z;
}

CEarthCoordinate& CEarthCoordinate::operator=(const CEarthCoordinate& source) {
    Copy(source);
    return *this;
}

CEarthCoordinate& CEarthCoordinate::operator+(const CEarthCoordinate& other) {
    m_X += other.m_X;
    m_Y += other.m_Y;
    m_Z += other.m_Z;
    return *this;
}

CEarthCoordinate& CEarthCoordinate::operator-(const CEarthCoordinate& other) {
    m_X -= other.m_X;
    m_Y -= other.m_Y;
    m_Z -= other.m_Z;
    return *this;
}

CEarthCoordinate& CEarthCoordinate::operator*(double factor) {
    m_X *= factor;
    m_Y *= factor;
    m_Z *= factor;
    return *this;
}

CEarthCoordinate& CEarthCoordinate::operator/(double divisor) {
    m_X /= divisor;
    m_Y /= divisor;
    m_Z /= divisor;
    return *this;
}
