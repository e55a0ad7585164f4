#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/geodesy/VincentyInverse.h"

namespace {

struct Measured {
    double distance;
    double forward;
    double back;
};

Measured Measure(const CEarth& earth, double lat1, double lon1, double lat2, double lon2) {
    Measured m;
    m.forward = -1;
    m.back = -1;
    m.distance = earth.GetSurfaceDistance(CPolarCoordinate(lat1, lon1),
                                          CPolarCoordinate(lat2, lon2), &m.forward, &m.back);
    return m;
}

void ExpectNoAnswer(const Measured& m) {
    EXPECT_TRUE(std::isnan(m.distance)) << m.distance;
    EXPECT_TRUE(std::isnan(m.forward)) << m.forward;
    EXPECT_TRUE(std::isnan(m.back)) << m.back;
}

TEST(SurfaceDistance, QuarterOfTheEarthAndAShortLeg) {
    const CEarth earth(25);
    const Measured longLine = Measure(earth, 0, 0, 45, 90);
    EXPECT_NEAR(longLine.distance, 10010386.361, 0.0005);
    EXPECT_NEAR(longLine.forward, 45.096, 0.0005);
    EXPECT_NEAR(longLine.back, 270.151, 0.0005);
    // The 17-digit values quoted for this line, which the order of operations
    // reproduces.
    EXPECT_EQ(longLine.distance, 10010386.361066332);
    EXPECT_EQ(longLine.forward, 45.09601233034709);

    const Measured leg = Measure(earth, 10, 20, 10.001, 20.001);
    EXPECT_NEAR(leg.distance, 155.7396, 0.00005);
    EXPECT_NEAR(leg.forward, 44.748, 0.0005);
    EXPECT_NEAR(leg.back, 224.748, 0.0005);
}

TEST(SurfaceDistance, SwappingThePointsExchangesTheAzimuths) {
    const CEarth earth(25);
    const double pairs[][4] = {{0, 0, 45, 90}, {10, 20, 10.001, 20.001}, {-33.9, 18.4, 51.5, -0.1}};
    for (const auto& p : pairs) {
        const Measured there = Measure(earth, p[0], p[1], p[2], p[3]);
        const Measured back = Measure(earth, p[2], p[3], p[0], p[1]);
        EXPECT_NEAR(back.distance, there.distance, 1e-8 * there.distance);
        EXPECT_NEAR(back.forward, there.back, 1e-9);
        EXPECT_NEAR(back.back, there.forward, 1e-9);
    }
}

TEST(SurfaceDistance, MeridiansPolesAndTheSphere) {
    const CEarth earth(25);
    const Measured north = Measure(earth, 47.1, 8.5, 47.2, 8.5);
    EXPECT_EQ(north.forward, 0.0);
    EXPECT_EQ(north.back, 180.0);

    // The azimuth at the pole is measured against the meridian of the given
    // longitude.
    const Measured pole = Measure(earth, 90, 0, 45, 10);
    EXPECT_NEAR(pole.distance, 5017021.351, 0.0005);
    EXPECT_NEAR(pole.forward, 170.0, 1e-9);

    // On the sphere the distance is the radius times the central angle.
    const CEarth sphere(1);
    const double pairs[][4] = {{0, 0, 0, 1}, {10, 20, -30, 40}, {52.2, 0.1, 48.9, 2.3}};
    for (const auto& p : pairs) {
        const double rad = M_PI / 180;
        const double phi1 = p[0] * rad, phi2 = p[2] * rad, dl = (p[3] - p[1]) * rad;
        const double angle = std::acos(std::sin(phi1) * std::sin(phi2) +
                                       std::cos(phi1) * std::cos(phi2) * std::cos(dl));
        EXPECT_NEAR(Measure(sphere, p[0], p[1], p[2], p[3]).distance, 6378137 * angle, 1e-6);
    }
}

// An azimuth that is not asked for is not computed; the rest stays the same
// to the last bit, on short legs, identical points, the fallback's nearly
// antipodal points and input that is not a number.
TEST(SurfaceDistance, EachAzimuthPointerMayBeNull) {
    const CEarth earth(25);
    const double legs[][4] = {
        {10, 20, 10.001, 20.001},
        {46.9481, 7.4474, 46.9481, 7.4474},
        {0.5, 0, -0.5, 179.7},
        {std::nan(""), 0, 1, 1},
    };
    for (const auto& leg : legs) {
        const CPolarCoordinate a(leg[0], leg[1]), b(leg[2], leg[3]);
        const Measured full = Measure(earth, leg[0], leg[1], leg[2], leg[3]);
        const auto same = [](double x, double y) { return x == y || (x != x && y != y); };
        EXPECT_TRUE(same(earth.GetSurfaceDistance(a, b, nullptr, nullptr), full.distance));
        double forward = -1, back = -1;
        EXPECT_TRUE(same(earth.GetSurfaceDistance(a, b, &forward, nullptr), full.distance));
        EXPECT_TRUE(same(forward, full.forward));
        EXPECT_TRUE(same(earth.GetSurfaceDistance(a, b, nullptr, &back), full.distance));
        EXPECT_TRUE(same(back, full.back));
    }
}

// Identical fixes of a standing vehicle must be exactly 0 apart: at these
// latitudes a term-by-term evaluation leaves about 1e-10 m.
TEST(SurfaceDistance, IdenticalPointsAreExactlyZeroApart) {
    const CEarth earth(25);
    for (double lat : {-87.0, -82.0, -72.0, -60.0, 0.0, 12.345678, 47.5, 90.0}) {
        SCOPED_TRACE(lat);
        const Measured m = Measure(earth, lat, 8.25, lat, 8.25);
        EXPECT_EQ(m.distance, 0.0);
        // The azimuths come from the rounding residue: due north or south.
        EXPECT_TRUE(m.forward == 0.0 || m.forward == 180.0) << m.forward;
        EXPECT_EQ(m.back, m.forward + 180.0);
    }
}

// Points that differ only far below a metre near latitude and longitude 0
// (a record of 0, 0 and one with leftover bits) make the squares of the
// loop underflow; the leg still has a length, not a missing answer. Along the
// equator the length is a times the longitude difference in radians, along
// the meridian at the equator a(1 - e^2) times the latitude difference; the
// iteration's absolute tolerance leaves such legs a fraction f short.
TEST(SurfaceDistance, LegsFarShorterThanAMetreNearZeroHaveALength) {
    const CEarth earth(25);
    const double radians = 1e-200 * (CMath::Pi() / 180.0);
    const Measured east = Measure(earth, 0, 0, 0, 1e-200);
    EXPECT_NEAR(east.distance, 6378137.0 * radians, 6378137.0 * radians * 0.005);
    EXPECT_EQ(east.forward, 90.0);
    EXPECT_EQ(east.back, 270.0);
    const Measured north = Measure(earth, 0, 0, 1e-200, 0);
    EXPECT_NEAR(north.distance, 6335439.327 * radians, 6335439.327 * radians * 0.005);
    EXPECT_EQ(north.forward, 0.0);
    EXPECT_EQ(north.back, 180.0);
    // Subnormal coordinates, as random record bytes give them.
    const Measured tiny = Measure(earth, 0, 0, 4.431060073616e-312, 1.0609978955e-314);
    EXPECT_TRUE(std::isfinite(tiny.distance));
    EXPECT_GE(tiny.distance, 0.0);
    EXPECT_LT(tiny.distance, 1e-300);
}

// Short GPS legs whose estimates alternate between two neighbouring values;
// expected values from GeodSolve (more such legs are in the reference file).
TEST(SurfaceDistance, LegsWhoseEstimatesAlternateStillGiveTheDistance) {
    const Measured m = Measure(CEarth(25), 32.837431, -154.185045, 32.833902, -154.181916);
    EXPECT_NEAR(m.distance, 488.8710270794, 1e-4);
    EXPECT_NEAR(m.forward, 143.182946256334191, 1e-6);
}

// Where the iteration fails (nearly antipodal points: its estimate passes
// pi, swings between far-apart values or still moves after 1000 iterations)
// GeographicLib answers; antipodal.txt holds such pairs with GeodSolve's
// values, checked in reference_test.cpp.
TEST(SurfaceDistance, NearlyAntipodalPointsAreMeasuredByGeographicLib) {
    const CEarth earth(25);
    // GeodSolve -i: "0 0 0 180" gives azi1 0, azi2 180, s12 20003931.4586254470.
    const Measured across = Measure(earth, 0, 0, 0, 180);
    EXPECT_NEAR(across.distance, 20003931.4586254470, 1e-4);
    EXPECT_EQ(across.forward, 0.0);
    // 180 + 180 comes back as +0, neither 360 nor -0.
    EXPECT_EQ(across.back, 0.0);
    EXPECT_FALSE(std::signbit(across.back));

    // Settled to within 1e-15 after 1000 iterations: the iteration's own
    // answer is kept (GeodSolve: 19945641.0729198493 m, 154.661634268843642
    // degrees).
    const Measured slow =
        Measure(earth, -14.738987888123617, 0, 14.309743024651052, 179.54193928729489);
    double distance, forward, back;
    ASSERT_TRUE(geodesy::VincentyInverse(geodesy::Ellipsoid::FromTable(25))
                    .InverseByIteration(-14.738987888123617, 0, 14.309743024651052,
                                        179.54193928729489, distance, &forward, &back));
    EXPECT_EQ(slow.distance, distance);
    EXPECT_EQ(slow.forward, forward);
    EXPECT_EQ(slow.back, back);
    EXPECT_NEAR(slow.distance, 19945641.0729198493, 1e-4);
    EXPECT_NEAR(slow.forward, 154.661634268843642, 1e-6);
}

TEST(SurfaceDistance, NoAnswerForInputThatIsNotFiniteOrAModelThatIsNotValid) {
    const CEarth earth(25);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ExpectNoAnswer(Measure(earth, nan, 0, 0.5, 179.7));
    ExpectNoAnswer(Measure(earth, 0, inf, 0.5, 179.7));
    ExpectNoAnswer(Measure(earth, 0, 0, 0.5, -inf));

    // A zero polar radius keeps the previous flattening, so the iteration
    // still runs and fails here, but GeographicLib cannot take the model.
    CEarth flat(25);
    flat.SetEllipsoidByRadii(6378137, 0);
    EXPECT_FALSE(flat.IsValid());
    ExpectNoAnswer(Measure(flat, 0, 0, 0.5, 179.7));
}

// Longitudes are not normalised: a leg over the antimeridian, or a longitude
// difference beyond 180 degrees, settles like its wrapped form.
TEST(SurfaceDistance, LongitudeDifferencesBeyondHalfATurnSettle) {
    const CEarth earth(25);
    const Measured across = Measure(earth, 10, 179.9999, 10.0001, -179.9999);
    const Measured wrapped = Measure(earth, 10, 179.9999, 10.0001, 180.0001);
    EXPECT_NEAR(across.distance, 24.5595650795, 1e-4);  // GeodSolve
    EXPECT_NEAR(across.distance, wrapped.distance, 1e-8);
    EXPECT_NEAR(across.forward, wrapped.forward, 1e-8);

    const Measured wide = Measure(earth, -30, -100, 20, 100);
    const Measured narrow = Measure(earth, -30, -100, 20, -260);
    EXPECT_FALSE(std::isnan(wide.distance));
    EXPECT_NEAR(wide.distance, narrow.distance, 1e-6);
    EXPECT_NEAR(wide.back, narrow.back, 1e-9);
}

TEST(SurfaceDistance, CartesianOverloadsMeasureTheFootPoints) {
    const CEarth earth(25);
    const CPolarCoordinate a(10, 20, 0), b(10.5, 20.5, 0);
    const CPolarCoordinate aHigh(10, 20, 3000), bLow(10.5, 20.5, -50);
    CEarthCoordinate ca, cb;
    earth.Convert(aHigh, ca);
    earth.Convert(bLow, cb);
    double f0, b0, f1, b1;
    const double expected = earth.GetSurfaceDistance(a, b, &f0, &b0);
    EXPECT_NEAR(earth.GetSurfaceDistance(ca, cb, &f1, &b1), expected, 1e-6);
    EXPECT_NEAR(f1, f0, 1e-9);
    EXPECT_NEAR(b1, b0, 1e-9);
    EXPECT_NEAR(earth.GetSurfaceDistance(ca, b, nullptr, nullptr), expected, 1e-6);
    EXPECT_NEAR(earth.GetSurfaceDistance(a, cb, nullptr, nullptr), expected, 1e-6);
    EXPECT_EQ(earth.GetSurfaceDistance(aHigh, bLow, nullptr, nullptr), expected);
}

TEST(LineOfSight, StraightDistancesThroughSpace) {
    const CEarth earth(25);
    EXPECT_EQ(earth.GetLineOfSightDistance(CEarthCoordinate(0, 0, 0), CEarthCoordinate(3, 4, 12)),
              13.0);

    const CPolarCoordinate a(45, 7, 500), b(45.2, 7.3, 1500);
    CEarthCoordinate ca, cb;
    earth.Convert(a, ca);
    earth.Convert(b, cb);
    const double expected = earth.GetLineOfSightDistance(ca, cb);
    EXPECT_EQ(earth.GetLineOfSightDistance(a, b), expected);
    EXPECT_EQ(earth.GetLineOfSightDistance(a, cb), expected);
    EXPECT_EQ(earth.GetLineOfSightDistance(ca, b), expected);
    EXPECT_NEAR(expected, 32448.734557902, 1e-6);  // from CartConvert's X, Y, Z of a and b
}

TEST(LineOfSight, DistanceFromACourse) {
    const CEarth earth(25);
    const CEarthCoordinate start(0, 0, 0), end(10, 0, 0);
    EXPECT_DOUBLE_EQ(earth.GetLineOfSightDistanceFromCourse(CEarthCoordinate(0, 5, 0), start, end),
                     5.0);
    // Beyond the end of the course the distance is still from the line.
    EXPECT_DOUBLE_EQ(earth.GetLineOfSightDistanceFromCourse(CEarthCoordinate(20, 5, 0), start, end),
                     5.0);
    EXPECT_NEAR(earth.GetLineOfSightDistanceFromCourse(CEarthCoordinate(3, 4, 12), start,
                                                       CEarthCoordinate(0, 0, 1)),
                5.0, 1e-12);

    // Points on the course line: rounding makes Heron's product slightly
    // negative here, which must not turn the distance into not-a-number.
    const CEarthCoordinate shortEnd(0.9, 0, 0), otherEnd(0.4, 0, 0);
    EXPECT_EQ(earth.GetLineOfSightDistanceFromCourse(CEarthCoordinate(0.2, 0, 0), start, shortEnd),
              0.0);
    EXPECT_EQ(earth.GetLineOfSightDistanceFromCourse(CEarthCoordinate(0.9, 0, 0), start, otherEnd),
              0.0);

    // Coincident course points leave no line.
    const double none =
        earth.GetLineOfSightDistanceFromCourse(CEarthCoordinate(0, 5, 0), start, start);
    EXPECT_FALSE(std::isfinite(none));
}

TEST(Horizon, RadioHorizonOfAFourThirdsEarth) {
    const CEarth earth(25);
    EXPECT_DOUBLE_EQ(earth.GetDistanceToHorizon(CPolarCoordinate(10, 20, 100)), std::sqrt(1700.0));
    EXPECT_EQ(earth.GetDistanceToHorizon(CPolarCoordinate(10, 20, 0)), 0.0);
    EXPECT_TRUE(std::isnan(earth.GetDistanceToHorizon(CPolarCoordinate(10, 20, -1))));
    EXPECT_DOUBLE_EQ(CEarth(1).GetDistanceToHorizon(CPolarCoordinate(0, 0, 100)),
                     earth.GetDistanceToHorizon(CPolarCoordinate(0, 0, 100)));

    CEarthCoordinate c;
    earth.Convert(CPolarCoordinate(-33, 151, 100), c);
    EXPECT_NEAR(earth.GetDistanceToHorizon(c), std::sqrt(1700.0), 1e-9);
}

}  // namespace
