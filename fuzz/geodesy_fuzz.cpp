// The geodesy operations on arbitrary doubles and ellipsoids. Every call must
// end (libFuzzer's -timeout makes a hang a finding); on a real ellipsoid and
// a real position the results must also make sense.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/CEarthCoordinate.h"
#include "tracktools/geodesy/CPolarCoordinate.h"

namespace {

// Latitudes as far as the poles, longitudes of any number of turns (but not
// so many that their conversion to radians and back overflows).
bool IsPosition(double latitude, double longitude) {
    return std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 1e6;
}

// On a real model between real positions there is always an answer (the
// iteration's or GeographicLib's): a distance no longer than half a
// meridian's worth of the equator and azimuths in 0..360.
void CheckSurfaceDistance(const CEarth& earth, const CPolarCoordinate& from,
                          const CPolarCoordinate& to, bool real_model) {
    double forward = 1234.0;
    double back = 1234.0;
    const double distance = earth.GetSurfaceDistance(from, to, &forward, &back);
    // Without places for the azimuths the distance is the same.
    const double alone = earth.GetSurfaceDistance(from, to, nullptr, nullptr);
    FUZZ_CHECK(std::isnan(distance) ? std::isnan(alone) : alone == distance);

    const double lat1 = from.GetUpDownAngleInDegrees();
    const double lon1 = from.GetLeftRightAngleInDegrees();
    const double lat2 = to.GetUpDownAngleInDegrees();
    const double lon2 = to.GetLeftRightAngleInDegrees();
    if (!real_model || !IsPosition(lat1, lon1) || !IsPosition(lat2, lon2)) {
        return;
    }
    if (lat1 == lat2 && lon1 == lon2) {
        FUZZ_CHECK(distance == 0.0);
    }
    FUZZ_CHECK(!std::isnan(distance));
    const double longest = CMath::Pi() * earth.GetEquatorialRadiusInMeters() * 1.001;
    FUZZ_CHECK(distance >= 0.0 && distance <= longest);
    FUZZ_CHECK(forward >= 0.0 && forward <= 360.0);
    FUZZ_CHECK(back >= 0.0 && back <= 360.0);
}

// A position near the surface goes to earth-centred coordinates and back to
// the same place.
void CheckConversions(const CEarth& earth, const CPolarCoordinate& polar, bool real_model) {
    CEarthCoordinate cartesian;
    earth.Convert(polar, cartesian);
    CPolarCoordinate back;
    earth.Convert(cartesian, back);
    CEarthCoordinate again;
    earth.Convert(back, again);

    const double height = polar.GetDistanceFromSurfaceInMeters();
    if (!real_model ||
        !IsPosition(polar.GetUpDownAngleInDegrees(), polar.GetLeftRightAngleInDegrees()) ||
        !(std::fabs(height) <= 1e6)) {
        return;
    }
    FUZZ_CHECK(std::isfinite(cartesian.GetXCoordinateInMeters()));
    FUZZ_CHECK(std::isfinite(cartesian.GetYCoordinateInMeters()));
    FUZZ_CHECK(std::isfinite(cartesian.GetZCoordinateInMeters()));
    const double tolerance = 1e-3;  // metres
    FUZZ_CHECK(std::fabs(again.GetXCoordinateInMeters() - cartesian.GetXCoordinateInMeters()) <=
               tolerance);
    FUZZ_CHECK(std::fabs(again.GetYCoordinateInMeters() - cartesian.GetYCoordinateInMeters()) <=
               tolerance);
    FUZZ_CHECK(std::fabs(again.GetZCoordinateInMeters() - cartesian.GetZCoordinateInMeters()) <=
               tolerance);
}

// Every point but the centre has a geodetic position on a real model; deep
// inside the earth, where the iteration gives none, GeographicLib's.
void CheckCartesianToGeodetic(const CEarth& earth, const CEarthCoordinate& point, bool real_model) {
    CPolarCoordinate polar(1234.0, 1234.0, 1234.0);
    earth.Convert(point, polar);
    const double x = point.GetXCoordinateInMeters();
    const double y = point.GetYCoordinateInMeters();
    const double z = point.GetZCoordinateInMeters();
    const double largest = std::fmax(std::fabs(x), std::fmax(std::fabs(y), std::fabs(z)));
    const bool finite = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
    if (!real_model || !finite || !(largest >= 1e-3 && largest <= 1e9)) {
        return;
    }
    FUZZ_CHECK(std::fabs(polar.GetUpDownAngleInDegrees()) <= 90.0);
    FUZZ_CHECK(std::fabs(polar.GetLeftRightAngleInDegrees()) <= 180.0);
    FUZZ_CHECK(std::isfinite(polar.GetDistanceFromSurfaceInMeters()));
}

// A move from a real position by a real distance ends at a real position.
void CheckMove(CEarth& earth, const CPolarCoordinate& start, double distance, double direction,
               bool real_model) {
    CPolarCoordinate moved(1234.0, 1234.0, 1234.0);
    earth.AddSurfaceDistanceAndDirectionToCoordinate(start, distance, direction, moved);
    // Only latitude and longitude are written.
    FUZZ_CHECK(moved.GetDistanceFromSurfaceInMeters() == 1234.0);
    if (!real_model ||
        !IsPosition(start.GetUpDownAngleInDegrees(), start.GetLeftRightAngleInDegrees()) ||
        !(std::fabs(start.GetUpDownAngleInDegrees()) < 90.0) || !(std::fabs(distance) <= 2e7) ||
        !(std::fabs(direction) <= 1e6)) {
        return;
    }
    FUZZ_CHECK(std::isfinite(moved.GetUpDownAngleInDegrees()));
    FUZZ_CHECK(std::isfinite(moved.GetLeftRightAngleInDegrees()));
    FUZZ_CHECK(std::fabs(moved.GetUpDownAngleInDegrees()) <= 90.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::uint8_t operation = in.Byte();
    const std::uint8_t model = in.Byte();

    // Ids 1 to 25 are the table, 0 and 26 to 29 give the empty model, and the
    // last two are an ellipsoid of any radii or flattening.
    CEarth earth(model % 32 < 30 ? model % 32 : 25);
    const bool real_model = model % 32 >= 1 && model % 32 <= 25;
    if (model % 32 == 30) {
        const double equatorial = in.Double();
        earth.SetEllipsoidByRadii(equatorial, in.Double());
    } else if (model % 32 == 31) {
        const double equatorial = in.Double();
        earth.SetEllipsoidByEquatorialRadiusAndFlattening(equatorial, in.Double());
    }

    const double d[8] = {in.Double(), in.Double(), in.Double(), in.Double(),
                         in.Double(), in.Double(), in.Double(), in.Double()};
    const CPolarCoordinate polar1(d[0], d[1], d[2]);
    const CPolarCoordinate polar2(d[3], d[4], d[5]);
    const CEarthCoordinate cartesian1(d[0], d[1], d[2]);
    const CEarthCoordinate cartesian2(d[3], d[4], d[5]);

    switch (operation % 8) {
        case 0:
            CheckSurfaceDistance(earth, polar1, polar2, real_model);
            break;
        case 1:
            CheckConversions(earth, polar1, real_model);
            break;
        case 2:
            CheckCartesianToGeodetic(earth, cartesian1, real_model);
            break;
        case 3:
            CheckMove(earth, polar1, d[6], d[7], real_model);
            break;
        case 4: {
            CPolarCoordinate moved;
            earth.AddLineOfSightDistanceAndDirectionToCoordinate(polar1, d[6], d[7], moved, d[5]);
            break;
        }
        case 5: {
            double forward = 0.0;
            double back = 0.0;
            earth.GetSurfaceDistance(cartesian1, cartesian2, &forward, &back);
            earth.GetSurfaceDistance(cartesian1, polar2, &forward, nullptr);
            earth.GetSurfaceDistance(polar1, cartesian2, nullptr, &back);
            break;
        }
        case 6: {
            CEarthCoordinate cartesian;
            CPolarCoordinate polar;
            earth.AddSurfaceDistanceAndDirectionToCoordinate(cartesian1, d[6], d[7], cartesian);
            earth.AddSurfaceDistanceAndDirectionToCoordinate(cartesian1, d[6], d[7], polar);
            earth.AddSurfaceDistanceAndDirectionToCoordinate(polar1, d[6], d[7], cartesian);
            break;
        }
        default:
            earth.GetLineOfSightDistanceFromCourse(cartesian1, cartesian2,
                                                   CEarthCoordinate(d[6], d[7], d[0]));
            earth.GetDistanceToHorizon(cartesian1);
            earth.GetLineOfSightDistance(polar1, polar2);
            break;
    }
    return 0;
}
