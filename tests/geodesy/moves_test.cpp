#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tracktools/geodesy/CEarth.h"

namespace {

CPolarCoordinate Move(CEarth& earth, const CPolarCoordinate& start, double distance,
                      double direction) {
    CPolarCoordinate result;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(start, distance, direction, result);
    return result;
}

TEST(SurfaceMove, ZeroDistanceKeepsThePosition) {
    CEarth earth(25);
    for (double direction : {0.0, 37.5, 90.0, 181.0, 359.0}) {
        for (double lat : {-80.0, 0.0, 10.0, 66.6}) {
            const CPolarCoordinate r = Move(earth, CPolarCoordinate(lat, -45.5), 0, direction);
            EXPECT_NEAR(r.GetUpDownAngleInDegrees(), lat, 1e-12);
            EXPECT_NEAR(r.GetLeftRightAngleInDegrees(), -45.5, 1e-12);
        }
    }
}

TEST(SurfaceMove, DistanceAndAzimuthOfTheInverseLeadToTheSecondPoint) {
    CEarth earth(25);
    const CPolarCoordinate leg =
        Move(earth, CPolarCoordinate(10, 20), 155.73962832954425, 44.747947258523865);
    EXPECT_NEAR(leg.GetUpDownAngleInDegrees(), 10.001, 1e-9);
    EXPECT_NEAR(leg.GetLeftRightAngleInDegrees(), 20.001, 1e-9);
    const CPolarCoordinate quarter =
        Move(earth, CPolarCoordinate(0, 0), 10010386.361066332, 45.09601233034709);
    EXPECT_NEAR(quarter.GetUpDownAngleInDegrees(), 45, 1e-9);
    EXPECT_NEAR(quarter.GetLeftRightAngleInDegrees(), 90, 1e-9);
}

TEST(SurfaceMove, AlongAMeridianAndAlongTheEquator) {
    CEarth earth(25);
    const CPolarCoordinate north = Move(earth, CPolarCoordinate(0, 33), 1000, 0);
    EXPECT_GT(north.GetUpDownAngleInDegrees(), 0.0);
    EXPECT_NEAR(north.GetLeftRightAngleInDegrees(), 33, 1e-12);

    CEarth sphere(1);
    const CPolarCoordinate east = Move(sphere, CPolarCoordinate(0, 0), 1000, 90);
    EXPECT_NEAR(east.GetUpDownAngleInDegrees(), 0, 1e-12);
    EXPECT_EQ(east.GetLeftRightAngleInDegrees(), 0.008983152841195214);

    // The longitude is not wrapped.
    const CPolarCoordinate across = Move(earth, CPolarCoordinate(0, 179.9), 50000, 90);
    EXPECT_GT(across.GetLeftRightAngleInDegrees(), 180.0);
}

TEST(SurfaceMove, HeightsOfStartAndResult) {
    CEarth earth(25);
    const CPolarCoordinate start(47, 8, 500);
    CPolarCoordinate polar(0, 0, 123);
    earth.AddSurfaceDistanceAndDirectionToCoordinate(start, 25000, 60, polar);
    EXPECT_EQ(polar.GetDistanceFromSurfaceInMeters(), 123.0);

    // A cartesian result lies on the surface below the polar one.
    CEarthCoordinate cartesian;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(start, 25000, 60, cartesian);
    CPolarCoordinate back;
    earth.Convert(cartesian, back);
    EXPECT_NEAR(back.GetUpDownAngleInDegrees(), polar.GetUpDownAngleInDegrees(), 1e-12);
    EXPECT_NEAR(back.GetLeftRightAngleInDegrees(), polar.GetLeftRightAngleInDegrees(), 1e-12);
    EXPECT_NEAR(back.GetDistanceFromSurfaceInMeters(), 0.0, 1e-6);

    // A cartesian start moves like its geodetic form.
    CEarthCoordinate cartesianStart;
    earth.Convert(start, cartesianStart);
    CPolarCoordinate fromCartesian(0, 0, 7);
    earth.AddSurfaceDistanceAndDirectionToCoordinate(cartesianStart, 25000, 60, fromCartesian);
    EXPECT_NEAR(fromCartesian.GetUpDownAngleInDegrees(), polar.GetUpDownAngleInDegrees(), 1e-12);
    EXPECT_NEAR(fromCartesian.GetLeftRightAngleInDegrees(), polar.GetLeftRightAngleInDegrees(),
                1e-12);
    EXPECT_EQ(fromCartesian.GetDistanceFromSurfaceInMeters(), 7.0);
    CEarthCoordinate bothCartesian;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(cartesianStart, 25000, 60, bothCartesian);
    EXPECT_NEAR(earth.GetLineOfSightDistance(bothCartesian, cartesian), 0.0, 1e-6);
}

TEST(SurfaceMove, InputThatIsNotANumberGivesNoPosition) {
    CEarth earth(25);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double lat, distance, direction;
    } cases[] = {{10, nan, 30}, {10, 100, nan}, {10, inf, 30}, {nan, 100, 30}};
    for (const auto& c : cases) {
        CPolarCoordinate r(1, 2, 3);
        earth.AddSurfaceDistanceAndDirectionToCoordinate(CPolarCoordinate(c.lat, 20), c.distance,
                                                         c.direction, r);
        EXPECT_TRUE(std::isnan(r.GetUpDownAngleInDegrees()));
        EXPECT_TRUE(std::isnan(r.GetLeftRightAngleInDegrees()));
        EXPECT_EQ(r.GetDistanceFromSurfaceInMeters(), 3.0);
    }
}

TEST(LineOfSightMove, ArcOverTheChord) {
    CEarth earth(25);
    // On the surface the arc exceeds the chord by about L^3 / (24 R^2): 0.13
    // mm for 5 km.
    const CPolarCoordinate start(45, 10, 0);
    const double chord = 5000;
    CPolarCoordinate result;
    earth.AddLineOfSightDistanceAndDirectionToCoordinate(start, chord, 60, result, 0);
    const double radius = 6378137;
    EXPECT_NEAR(earth.GetSurfaceDistance(start, result, nullptr, nullptr),
                chord + chord * chord * chord / (24 * radius * radius), 1e-5);

    // Between heights the straight line from the start to the target is the
    // given distance; the osculating sphere the move works on differs from
    // the ellipsoid by far less than a millimetre over 20 km.
    const CPolarCoordinate high(45, 10, 100);
    CPolarCoordinate target(0, 0, 2000);
    earth.AddLineOfSightDistanceAndDirectionToCoordinate(high, 20000, 60, target, 2000);
    EXPECT_EQ(target.GetDistanceFromSurfaceInMeters(), 2000.0);
    EXPECT_NEAR(earth.GetLineOfSightDistance(high, target), 20000, 1e-3);
}

TEST(LineOfSightMove, DistanceShorterThanTheClimbGivesNoPosition) {
    CEarth earth(25);
    CPolarCoordinate result(1, 2, 3);
    earth.AddLineOfSightDistanceAndDirectionToCoordinate(CPolarCoordinate(45, 10, 0), 500, 60,
                                                         result, 1000);
    EXPECT_TRUE(std::isnan(result.GetUpDownAngleInDegrees()));
    EXPECT_TRUE(std::isnan(result.GetLeftRightAngleInDegrees()));
}

}  // namespace
