#include <cmath>

#include <gtest/gtest.h>

#include "CEarthCoordinate.h"
#include "CPolarCoordinate.h"

namespace {

void ExpectFields(const CEarthCoordinate& c, double x, double y, double z) {
    EXPECT_EQ(c.GetXCoordinateInMeters(), x);
    EXPECT_EQ(c.GetYCoordinateInMeters(), y);
    EXPECT_EQ(c.GetZCoordinateInMeters(), z);
}

TEST(PolarCoordinate, ConstructorsSettersAndGettersKeepTheFieldOrder) {
    const CPolarCoordinate zero;
    EXPECT_EQ(zero.GetUpDownAngleInDegrees(), 0.0);
    EXPECT_EQ(zero.GetLeftRightAngleInDegrees(), 0.0);
    EXPECT_EQ(zero.GetDistanceFromSurfaceInMeters(), 0.0);

    CPolarCoordinate p;
    p.Set(1, 2, 3);
    double lat = 0, lon = 0, h = 0;
    p.Get(lat, lon, h);
    EXPECT_EQ(lat, 1);
    EXPECT_EQ(lon, 2);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(p.GetUpDownAngleInDegrees(), 1);
    EXPECT_EQ(p.GetLeftRightAngleInDegrees(), 2);
    EXPECT_EQ(p.GetDistanceFromSurfaceInMeters(), 3);

    p.SetUpDownAngleInDegrees(-4);
    p.SetLeftRightAngleInDegrees(-5);
    p.SetDistanceFromSurfaceInMeters(-6);
    p.Get(lat, lon, h);
    EXPECT_EQ(lat, -4);
    EXPECT_EQ(lon, -5);
    EXPECT_EQ(h, -6);

    const CPolarCoordinate latOnly(7), latLon(7, 8), full(7, 8, 9);
    EXPECT_EQ(latOnly.GetUpDownAngleInDegrees(), 7);
    EXPECT_EQ(latOnly.GetLeftRightAngleInDegrees(), 0);
    EXPECT_EQ(latLon.GetLeftRightAngleInDegrees(), 8);
    EXPECT_EQ(latLon.GetDistanceFromSurfaceInMeters(), 0);
    EXPECT_EQ(full.GetDistanceFromSurfaceInMeters(), 9);
}

TEST(PolarCoordinate, AnglesOutOfRangeAreStoredUnchanged) {
    const CPolarCoordinate p(95.5, 190.25, -11000);
    EXPECT_EQ(p.GetUpDownAngleInDegrees(), 95.5);
    EXPECT_EQ(p.GetLeftRightAngleInDegrees(), 190.25);
    const CPolarCoordinate q(-135, -725);
    EXPECT_EQ(q.GetUpDownAngleInDegrees(), -135);
    EXPECT_EQ(q.GetLeftRightAngleInDegrees(), -725);
}

TEST(PolarCoordinate, CopyAndAssignmentCopyEveryField) {
    const CPolarCoordinate b(10, 20, 30);
    CPolarCoordinate a(1, 2, 3);
    CPolarCoordinate& returned = (a = b);
    EXPECT_EQ(&returned, &a);
    EXPECT_EQ(a.GetUpDownAngleInDegrees(), 10);
    EXPECT_EQ(a.GetLeftRightAngleInDegrees(), 20);
    EXPECT_EQ(a.GetDistanceFromSurfaceInMeters(), 30);

    CPolarCoordinate& self = a;
    a = self;
    EXPECT_EQ(a.GetUpDownAngleInDegrees(), 10);
    EXPECT_EQ(a.GetLeftRightAngleInDegrees(), 20);
    EXPECT_EQ(a.GetDistanceFromSurfaceInMeters(), 30);

    const CPolarCoordinate copy(b);
    EXPECT_EQ(copy.GetUpDownAngleInDegrees(), 10);
    EXPECT_EQ(copy.GetLeftRightAngleInDegrees(), 20);
    EXPECT_EQ(copy.GetDistanceFromSurfaceInMeters(), 30);

    CPolarCoordinate target;
    target.Copy(CPolarCoordinate(-1, -2, -3));
    EXPECT_EQ(target.GetUpDownAngleInDegrees(), -1);
    EXPECT_EQ(target.GetLeftRightAngleInDegrees(), -2);
    EXPECT_EQ(target.GetDistanceFromSurfaceInMeters(), -3);
}

TEST(EarthCoordinate, ConstructorsSettersGettersCopyAndAssignment) {
    ExpectFields(CEarthCoordinate(), 0, 0, 0);
    ExpectFields(CEarthCoordinate(4), 4, 0, 0);
    ExpectFields(CEarthCoordinate(4, 5), 4, 5, 0);

    CEarthCoordinate c;
    c.Set(1, 2, 3);
    double x = 0, y = 0, z = 0;
    c.Get(x, y, z);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(z, 3);
    c.SetXCoordinateInMeters(7);
    c.SetYCoordinateInMeters(8);
    c.SetZCoordinateInMeters(9);
    ExpectFields(c, 7, 8, 9);

    CEarthCoordinate a(-1, -2, -3);
    CEarthCoordinate& returned = (a = c);
    EXPECT_EQ(&returned, &a);
    ExpectFields(a, 7, 8, 9);
    CEarthCoordinate& self = a;
    a = self;
    ExpectFields(a, 7, 8, 9);
    ExpectFields(CEarthCoordinate(c), 7, 8, 9);
}

TEST(EarthCoordinate, ArithmeticChangesTheLeftOperandAndReturnsIt) {
    CEarthCoordinate a(1, 2, 3);
    const CEarthCoordinate b(10, 20, 30);

    CEarthCoordinate& sum = a + b;
    EXPECT_EQ(&sum, &a);
    ExpectFields(a, 11, 22, 33);
    CEarthCoordinate& difference = a - b;
    EXPECT_EQ(&difference, &a);
    ExpectFields(a, 1, 2, 3);
    ExpectFields(b, 10, 20, 30);

    CEarthCoordinate& product = a * 2;
    EXPECT_EQ(&product, &a);
    ExpectFields(a, 2, 4, 6);
    CEarthCoordinate& quotient = a / 4;
    EXPECT_EQ(&quotient, &a);
    ExpectFields(a, 0.5, 1, 1.5);

    // The form the scene writer uses: position = position - origin.
    CEarthCoordinate position(100, 200, 300);
    const CEarthCoordinate origin(1, 2, 3);
    position = position - origin;
    ExpectFields(position, 99, 198, 297);
}

TEST(EarthCoordinate, DivisionByZeroFollowsIeeeArithmetic) {
    CEarthCoordinate a(1, -2, 0);
    a / 0.0;
    EXPECT_EQ(a.GetXCoordinateInMeters(), INFINITY);
    EXPECT_EQ(a.GetYCoordinateInMeters(), -INFINITY);
    EXPECT_TRUE(std::isnan(a.GetZCoordinateInMeters()));
}

}  // namespace

namespace {

TEST(Math, PiIsTheDoubleNearestToPi) {
    EXPECT_EQ(CMath::Pi(), std::acos(-1.0));
}

}  // namespace
