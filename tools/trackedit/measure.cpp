#include "measure.h"

#include <cmath>

#include "tracktools/geodesy/Ellipsoid.h"

namespace trackedit {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
// WGS 84.
constexpr double kEquatorialRadius = 6378137.0;
constexpr double kFlattening = 1.0 / 298.257223563;
constexpr double kEccentricity2 = kFlattening * (2.0 - kFlattening);
// The smallest radius of curvature of a meridian, a(1 - e2) at the equator,
// rounded down: two points are at least this many metres apart for each
// radian of latitude between them.
constexpr double kLeastMeridianRadius = 6335439.0;
// Above the error of the geodesic solver, so that the short cut decides as
// the solver would.
constexpr double kShortCutMargin = 0.001;

}  // namespace

bool OnGlobe(double latitude, double longitude) {
    return latitude >= -90.0 && latitude <= 90.0 && std::isfinite(longitude);
}

Distances::Distances() : inverse_(geodesy::Ellipsoid::Wgs84()) {}

double Distances::Metres(double latitude1, double longitude1, double latitude2,
                         double longitude2) const {
    if (!OnGlobe(latitude1, longitude1) || !OnGlobe(latitude2, longitude2)) {
        return HUGE_VAL;
    }
    return inverse_.Inverse(latitude1, longitude1, latitude2, longitude2, nullptr, nullptr);
}

bool Distances::AtLeast(double latitude1, double longitude1, double latitude2, double longitude2,
                        double metres) const {
    const double apart = std::fabs(latitude1 - latitude2) * kRadiansPerDegree;
    // Not a number (a latitude that is none) goes to the solver's answer.
    if (apart * kLeastMeridianRadius >= metres + kShortCutMargin) {
        return true;
    }
    return Metres(latitude1, longitude1, latitude2, longitude2) >= metres;
}

Place Place::At(double latitude_degrees, double longitude_degrees) {
    const double latitude = latitude_degrees * kRadiansPerDegree;
    const double longitude = longitude_degrees * kRadiansPerDegree;
    const double sin_latitude = std::sin(latitude);
    const double cos_latitude = std::cos(latitude);
    const double normal =
        kEquatorialRadius / std::sqrt(1.0 - kEccentricity2 * sin_latitude * sin_latitude);
    Place place;
    place.up_x = cos_latitude * std::cos(longitude);
    place.up_y = cos_latitude * std::sin(longitude);
    place.up_z = sin_latitude;
    place.x = normal * place.up_x;
    place.y = normal * place.up_y;
    place.z = normal * (1.0 - kEccentricity2) * sin_latitude;
    return place;
}

Line::Line(const Place& a, const Place& b) : a_(a), b_(b) {
    along_[0] = b.x - a.x;
    along_[1] = b.y - a.y;
    along_[2] = b.z - a.z;
    length2_ = along_[0] * along_[0] + along_[1] * along_[1] + along_[2] * along_[2];
    const double up[3] = {a.up_x + b.up_x, a.up_y + b.up_y, a.up_z + b.up_z};
    across_[0] = along_[1] * up[2] - along_[2] * up[1];
    across_[1] = along_[2] * up[0] - along_[0] * up[2];
    across_[2] = along_[0] * up[1] - along_[1] * up[0];
    across2_ = across_[0] * across_[0] + across_[1] * across_[1] + across_[2] * across_[2];
}

double Line::SquaredOff(const Place& p) const {
    const double dx = p.x - a_.x;
    const double dy = p.y - a_.y;
    const double dz = p.z - a_.z;
    const double along = dx * along_[0] + dy * along_[1] + dz * along_[2];
    if (along <= 0.0 || length2_ == 0.0) {
        return dx * dx + dy * dy + dz * dz;
    }
    if (along >= length2_) {
        const double ex = p.x - b_.x;
        const double ey = p.y - b_.y;
        const double ez = p.z - b_.z;
        return ex * ex + ey * ey + ez * ez;
    }
    const double off = dx * across_[0] + dy * across_[1] + dz * across_[2];
    return off * off / across2_;
}

double OffLine(double a_latitude, double a_longitude, double b_latitude, double b_longitude,
               double p_latitude, double p_longitude) {
    const Line line(Place::At(a_latitude, a_longitude), Place::At(b_latitude, b_longitude));
    return std::sqrt(line.SquaredOff(Place::At(p_latitude, p_longitude)));
}

}  // namespace trackedit
