#include <cmath>

#include <gtest/gtest.h>

#include "earth_test_support.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/geodesy/Geocentric.h"

namespace {

void ExpectAllZero(const ProbeEarth& earth) {
    EXPECT_EQ(earth.GetEquatorialRadiusInMeters(), 0.0);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 0.0);
    EXPECT_EQ(earth.Flattening(), 0.0);
    EXPECT_EQ(earth.EccentricitySquared(), 0.0);
    EXPECT_EQ(earth.EllipsoidId(), 0);
}

TEST(EarthModel, DefaultsToWgs84) {
    const ProbeEarth earth;
    EXPECT_EQ(earth.EllipsoidId(), 25);
    EXPECT_EQ(earth.GetEquatorialRadiusInMeters(), 6378137.0);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 6356752.314245179);
    EXPECT_NEAR(earth.Flattening(), 0.0033528106647475, 5e-17);
    EXPECT_NEAR(earth.EccentricitySquared(), 0.00669437999014, 5e-15);
}

// The table's radii against the published equatorial radius and inverse
// flattening of each reference ellipsoid: a wrong digit in a polar radius
// down to its micrometres moves 1/f by more than the tolerance.
TEST(EarthModel, TableMatchesThePublishedEllipsoids) {
    struct Published {
        int id;
        double a;
        double inverseFlattening;
    };
    const Published published[] = {
        {2, 6377563.396, 299.3249646},  {3, 6378160.0, 298.25},
        {4, 6377397.155, 299.1528128},  {5, 6377483.865, 299.1528128},
        {6, 6378206.4, 294.9786982},    {7, 6378249.145, 293.465},
        {8, 6377276.345, 300.8017},     {9, 6378166.0, 298.3},
        {10, 6378150.0, 298.3},         {11, 6378160.0, 298.247167427},
        {12, 6378137.0, 298.257222101}, {13, 6378200.0, 298.3},
        {14, 6378270.0, 297.0},         {15, 6378388.0, 297.0},
        {16, 6378245.0, 298.3},         {17, 6377340.189, 299.3249646},
        {18, 6377304.063, 300.8017},    {19, 6378155.0, 298.3},
        {20, 6378160.0, 298.25},        {21, 6378136.3, 298.257},
        {22, 6378165.0, 298.3},         {23, 6378145.0, 298.25},
        {24, 6378135.0, 298.26},        {25, 6378137.0, 298.257223563},
    };
    ProbeEarth earth;
    for (const Published& p : published) {
        SCOPED_TRACE(p.id);
        earth.SetEllipsoid(p.id);
        EXPECT_EQ(earth.EllipsoidId(), p.id);
        EXPECT_EQ(earth.GetEquatorialRadiusInMeters(), p.a);
        EXPECT_NEAR(1.0 / earth.Flattening(), p.inverseFlattening, 1e-8);
        const double f = earth.Flattening();
        EXPECT_EQ(earth.EccentricitySquared(), 2 * f - f * f);
    }
    // The two radii quoted with every digit.
    earth.SetEllipsoid(6);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 6356583.799999);
    earth.SetEllipsoid(21);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 6356751.600562938);

    earth.SetEllipsoid(1);
    EXPECT_EQ(earth.GetEquatorialRadiusInMeters(), 6378137.0);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 6378137.0);
    EXPECT_EQ(earth.Flattening(), 0.0);
    EXPECT_EQ(earth.EccentricitySquared(), 0.0);
}

TEST(EarthModel, UnknownIdsGiveTheAllZeroModel) {
    for (int id : {0, 26, -1, 1000}) {
        SCOPED_TRACE(id);
        ProbeEarth earth(25);
        earth.SetEllipsoid(id);
        ExpectAllZero(earth);
        ExpectAllZero(ProbeEarth(id));
        EXPECT_FALSE(earth.IsValid());
    }
    // The zero model treats the earth as a point.
    const ProbeEarth none(0);
    CEarthCoordinate c(1, 2, 3);
    none.Convert(CPolarCoordinate(10, 20, 5), c);
    EXPECT_NEAR(c.GetXCoordinateInMeters(),
                5 * std::cos(10 * M_PI / 180) * std::cos(20 * M_PI / 180), 1e-12);
    EXPECT_EQ(none.GetSurfaceDistance(CPolarCoordinate(10, 20), CPolarCoordinate(11, 21), nullptr,
                                      nullptr),
              0.0);
}

// The ellipsoid value the solvers get holds exactly what the model holds.
TEST(EarthModel, EllipsoidValueOfTheTable) {
    for (int id = -1; id <= 27; ++id) {
        SCOPED_TRACE(id);
        const ProbeEarth earth(id);
        const geodesy::Ellipsoid table = geodesy::Ellipsoid::FromTable(id);
        EXPECT_EQ(table.EquatorialRadius(), earth.GetEquatorialRadiusInMeters());
        EXPECT_EQ(table.PolarRadius(), earth.GetPolarRadiusInMeters());
        EXPECT_EQ(table.Flattening(), earth.Flattening());
        EXPECT_EQ(table.EccentricitySquared(), earth.EccentricitySquared());
        EXPECT_EQ(table.IsValid(), id >= 1 && id <= 25);
        EXPECT_EQ(earth.IsValid(), table.IsValid());
    }
    // Radii that no real ellipsoid has, and the flattening they describe.
    EXPECT_FALSE(geodesy::Ellipsoid(-1, 1, 0, 0).IsValid());
    EXPECT_FALSE(geodesy::Ellipsoid(1, INFINITY, 0, 0).IsValid());
    EXPECT_FALSE(geodesy::Ellipsoid(NAN, 1, 0, 0).IsValid());
    EXPECT_FALSE(geodesy::Ellipsoid(1e10, 1e-300, 1, 1).IsValid());  // f rounds to 1
    EXPECT_TRUE(geodesy::Ellipsoid(1e10, 1e-6, 1, 1).IsValid());
    EXPECT_EQ(geodesy::Ellipsoid(1000, 1010, 0.01, 0).FlatteningOfRadii(), -0.01);
}

TEST(EarthModel, CallerGivenParameters) {
    ProbeEarth earth(1);
    earth.SetEllipsoidByRadii(6378137, 6356752.314245179);
    EXPECT_EQ(earth.EllipsoidId(), 26);
    EXPECT_EQ(earth.Flattening(), ProbeEarth(25).Flattening());
    EXPECT_EQ(earth.EccentricitySquared(), ProbeEarth(25).EccentricitySquared());

    // A zero radius leaves the flattening of the previous model in place.
    earth.SetEllipsoid(15);
    const double f15 = earth.Flattening();
    earth.SetEllipsoidByRadii(6378137, 0);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 0.0);
    EXPECT_EQ(earth.Flattening(), f15);
    EXPECT_EQ(earth.EccentricitySquared(), 2 * f15 - f15 * f15);

    earth.SetEllipsoidByEquatorialRadiusAndFlattening(6378137, 0);
    EXPECT_EQ(earth.EllipsoidId(), 26);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 6378137.0);
    EXPECT_EQ(earth.EccentricitySquared(), 0.0);

    // The flattening is kept as given, not recomputed from the radii (which
    // would make it positive).
    earth.SetEllipsoidByEquatorialRadiusAndFlattening(1000, -0.01);
    EXPECT_EQ(earth.Flattening(), -0.01);
    EXPECT_EQ(earth.GetPolarRadiusInMeters(), 1010.0);
    EXPECT_EQ(earth.EccentricitySquared(), 2 * -0.01 - 0.01 * 0.01);
}

TEST(Conversion, PointsOnTheAxes) {
    const CEarth earth(25);
    CEarthCoordinate c;
    earth.Convert(CPolarCoordinate(0, 0, 0), c);
    EXPECT_EQ(c.GetXCoordinateInMeters(), 6378137.0);
    EXPECT_EQ(c.GetYCoordinateInMeters(), 0.0);
    EXPECT_EQ(c.GetZCoordinateInMeters(), 0.0);

    earth.Convert(CPolarCoordinate(90, 0, 0), c);
    EXPECT_NEAR(c.GetXCoordinateInMeters(), 0.0, 1e-9);
    EXPECT_EQ(c.GetYCoordinateInMeters(), 0.0);
    EXPECT_NEAR(c.GetZCoordinateInMeters(), 6356752.314245179, 1e-8);

    earth.Convert(CPolarCoordinate(0, 90, 0), c);
    EXPECT_NEAR(c.GetXCoordinateInMeters(), 0.0, 1e-9);
    EXPECT_EQ(c.GetYCoordinateInMeters(), 6378137.0);
    EXPECT_EQ(c.GetZCoordinateInMeters(), 0.0);
}

TEST(Conversion, PolarAxisAndCentre) {
    const CEarth earth(25);
    CPolarCoordinate p;
    earth.Convert(CEarthCoordinate(0, 0, 6356752.314245179 + 100), p);
    EXPECT_EQ(p.GetUpDownAngleInDegrees(), 90.0);
    EXPECT_EQ(p.GetLeftRightAngleInDegrees(), 0.0);
    EXPECT_NEAR(p.GetDistanceFromSurfaceInMeters(), 100.0, 1e-8);

    earth.Convert(CEarthCoordinate(0, 0, -6356752.314245179), p);
    EXPECT_EQ(p.GetUpDownAngleInDegrees(), -90.0);
    EXPECT_NEAR(p.GetDistanceFromSurfaceInMeters(), 0.0, 1e-8);

    earth.Convert(CEarthCoordinate(0, 0, 0), p);
    EXPECT_TRUE(std::isnan(p.GetUpDownAngleInDegrees()));
    EXPECT_EQ(p.GetLeftRightAngleInDegrees(), 0.0);
    EXPECT_TRUE(std::isnan(p.GetDistanceFromSurfaceInMeters()));
}

// On this point the estimates of tan(latitude) alternate between two
// neighbouring doubles (more such points are in the reference file); expected
// values from CartConvert -r (GeographicLib).
TEST(Conversion, AlternatingEstimatesStillGiveThePosition) {
    const CEarth earth(25);
    CPolarCoordinate p;
    earth.Convert(CEarthCoordinate(3879011.6391326706, -2612479.7412523185, 4324186.861968031), p);
    EXPECT_NEAR(p.GetUpDownAngleInDegrees(), 42.94887700509701, 1e-12);
    EXPECT_NEAR(p.GetLeftRightAngleInDegrees(), -33.95991489701566, 1e-12);
    EXPECT_NEAR(p.GetDistanceFromSurfaceInMeters(), 1233.525359123, 1e-6);
}

// Deep inside the earth, where a point has several geodetic positions, the
// estimates can run out (the first two points) or swing between two far-apart
// values (-0.28 and 4.6 for tan(latitude), the last): GeographicLib converts
// those. Expected values from CartConvert -r (more such points are in
// deep_inside.txt).
TEST(Conversion, EstimatesThatNeverSettleAreConvertedByGeographicLib) {
    const struct {
        CEarthCoordinate point;
        double latitude, longitude, height;
    } cases[] = {
        {CEarthCoordinate(3073.6434409106732, 18230.216135502706, -33297.789035156282),
         -76.13169786859133, 80.42984506507852, -6321224.427043034},
        {CEarthCoordinate(-11900.338769992464, -21263.99276222277, 37692.486466234899),
         72.77564114563251, -119.23344557977951, -6315412.638000634},
        {CEarthCoordinate(-26014, -29382, -8575), -44.48438644240659, -131.52077876911136,
         -6333639.697949205},
    };
    const CEarth earth(25);
    const geodesy::Geocentric iteration(geodesy::Ellipsoid::FromTable(25));
    for (const auto& c : cases) {
        double latitude, longitude, height;
        EXPECT_FALSE(iteration.ReverseByIteration(
            c.point.GetXCoordinateInMeters(), c.point.GetYCoordinateInMeters(),
            c.point.GetZCoordinateInMeters(), latitude, longitude, height));
        CPolarCoordinate p(1, 2, 3);
        earth.Convert(c.point, p);
        // 1e-11 degrees is about a micrometre here.
        EXPECT_NEAR(p.GetUpDownAngleInDegrees(), c.latitude, 1e-11);
        EXPECT_NEAR(p.GetLeftRightAngleInDegrees(), c.longitude, 1e-11);
        EXPECT_NEAR(p.GetDistanceFromSurfaceInMeters(), c.height, 1e-4);
    }

    // A model that GeographicLib cannot take keeps the zeros.
    CEarth flat(25);
    flat.SetEllipsoidByRadii(6378137, 0);
    CPolarCoordinate p(1, 2, 3);
    flat.Convert(cases[0].point, p);
    EXPECT_EQ(p.GetUpDownAngleInDegrees(), 0.0);
    EXPECT_EQ(p.GetLeftRightAngleInDegrees(), 0.0);
    EXPECT_EQ(p.GetDistanceFromSurfaceInMeters(), 0.0);
}

}  // namespace
