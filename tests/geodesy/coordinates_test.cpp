#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "tracktools/geodesy/CEarthCoordinate.h"
#include "tracktools/geodesy/CPolarCoordinate.h"

namespace {

using Fields = std::array<double, 3>;

Fields Of(const CPolarCoordinate& p) {
    Fields f;
    p.Get(f[0], f[1], f[2]);
    EXPECT_EQ(f, (Fields{p.GetUpDownAngleInDegrees(), p.GetLeftRightAngleInDegrees(),
                         p.GetDistanceFromSurfaceInMeters()}));
    return f;
}

Fields Of(const CEarthCoordinate& c) {
    Fields f;
    c.Get(f[0], f[1], f[2]);
    EXPECT_EQ(f, (Fields{c.GetXCoordinateInMeters(), c.GetYCoordinateInMeters(),
                         c.GetZCoordinateInMeters()}));
    return f;
}

TEST(Coordinates, ConstructorsSettersAndGettersKeepTheFieldOrder) {
    EXPECT_EQ(Of(CPolarCoordinate()), (Fields{0, 0, 0}));
    EXPECT_EQ(Of(CPolarCoordinate(7)), (Fields{7, 0, 0}));
    EXPECT_EQ(Of(CPolarCoordinate(7, 8)), (Fields{7, 8, 0}));
    // Angles are stored unchanged, whatever their range.
    EXPECT_EQ(Of(CPolarCoordinate(95.5, 190.25, -11000)), (Fields{95.5, 190.25, -11000}));
    CPolarCoordinate p;
    p.Set(1, 2, 3);
    EXPECT_EQ(Of(p), (Fields{1, 2, 3}));
    p.SetUpDownAngleInDegrees(-135);
    p.SetLeftRightAngleInDegrees(-725);
    p.SetDistanceFromSurfaceInMeters(-6);
    EXPECT_EQ(Of(p), (Fields{-135, -725, -6}));

    EXPECT_EQ(Of(CEarthCoordinate()), (Fields{0, 0, 0}));
    EXPECT_EQ(Of(CEarthCoordinate(4)), (Fields{4, 0, 0}));
    EXPECT_EQ(Of(CEarthCoordinate(4, 5)), (Fields{4, 5, 0}));
    CEarthCoordinate c;
    c.Set(1, 2, 3);
    EXPECT_EQ(Of(c), (Fields{1, 2, 3}));
    c.SetXCoordinateInMeters(7);
    c.SetYCoordinateInMeters(8);
    c.SetZCoordinateInMeters(9);
    EXPECT_EQ(Of(c), (Fields{7, 8, 9}));
}

TEST(Coordinates, CopyAndAssignmentCopyEveryField) {
    const CPolarCoordinate pb(10, 20, 30);
    CPolarCoordinate pa(1, 2, 3);
    EXPECT_EQ(&(pa = pb), &pa);
    EXPECT_EQ(Of(pa), Of(pb));
    CPolarCoordinate& pself = pa;
    pa = pself;
    EXPECT_EQ(Of(pa), Of(pb));
    EXPECT_EQ(Of(CPolarCoordinate(pb)), Of(pb));
    pa.Copy(CPolarCoordinate(-1, -2, -3));
    EXPECT_EQ(Of(pa), (Fields{-1, -2, -3}));

    const CEarthCoordinate cb(10, 20, 30);
    CEarthCoordinate ca(1, 2, 3);
    EXPECT_EQ(&(ca = cb), &ca);
    EXPECT_EQ(Of(ca), Of(cb));
    CEarthCoordinate& cself = ca;
    ca = cself;
    EXPECT_EQ(Of(ca), Of(cb));
    EXPECT_EQ(Of(CEarthCoordinate(cb)), Of(cb));
    ca.Copy(CEarthCoordinate(-1, -2, -3));
    EXPECT_EQ(Of(ca), (Fields{-1, -2, -3}));
}

TEST(Coordinates, ArithmeticChangesTheLeftOperandAndReturnsIt) {
    CEarthCoordinate a(1, 2, 3);
    const CEarthCoordinate b(10, 20, 30);
    EXPECT_EQ(&(a + b), &a);
    EXPECT_EQ(Of(a), (Fields{11, 22, 33}));
    EXPECT_EQ(&(a - b), &a);
    EXPECT_EQ(Of(a), (Fields{1, 2, 3}));
    EXPECT_EQ(Of(b), (Fields{10, 20, 30}));
    EXPECT_EQ(&(a * 2), &a);
    EXPECT_EQ(Of(a), (Fields{2, 4, 6}));
    EXPECT_EQ(&(a / 4), &a);
    EXPECT_EQ(Of(a), (Fields{0.5, 1, 1.5}));

    // The form the scene writer uses: position = position - origin.
    CEarthCoordinate position(100, 200, 300);
    position = position - CEarthCoordinate(1, 2, 3);
    EXPECT_EQ(Of(position), (Fields{99, 198, 297}));

    CEarthCoordinate zero(1, -2, 0);
    zero / 0.0;
    EXPECT_EQ(zero.GetXCoordinateInMeters(), INFINITY);
    EXPECT_EQ(zero.GetYCoordinateInMeters(), -INFINITY);
    EXPECT_TRUE(std::isnan(zero.GetZCoordinateInMeters()));
}

TEST(Coordinates, PiIsTheDoubleNearestToPi) {
    EXPECT_EQ(CMath::Pi(), std::acos(-1.0));
}

}  // namespace
