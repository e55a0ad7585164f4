#include "measure.h"

#include <cmath>

#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/geodesy/Geocentric.h"

namespace trackedit {
Place Place::At(double latitude_degrees, double longitude_degrees) {
    static const geodesy::Geocentric kWgs84(geodesy::Ellipsoid::Wgs84());
    Place place;
    double at[3];
    double up[3];
    kWgs84.Surface(latitude_degrees, longitude_degrees, at, up);
    place.x = at[0];
    place.y = at[1];
    place.z = at[2];
    place.up_x = up[0];
    place.up_y = up[1];
    place.up_z = up[2];
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
