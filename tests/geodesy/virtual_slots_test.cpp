// A derived model that replaces one core operation changes every overload
// built on it: the overloads reach the core and Convert through virtual calls.
#include <cmath>

#include <gtest/gtest.h>

#include "CEarth.h"

namespace {

class FixedSurfaceDistance : public CEarth {
  public:
    using CEarth::GetSurfaceDistance;
    double GetSurfaceDistance(const CPolarCoordinate& from, const CPolarCoordinate& to,
                              double* forward, double* back) const override {
        ++calls;
        lastFrom = from;
        lastTo = to;
        if (forward != nullptr) {
            *forward = 1;
        }
        if (back != nullptr) {
            *back = 2;
        }
        return 42;
    }
    mutable int calls = 0;
    mutable CPolarCoordinate lastFrom, lastTo;
};

TEST(VirtualSlots, SurfaceDistanceOverloadsCallTheCore) {
    FixedSurfaceDistance derived;
    const CEarth& earth = derived;
    const CPolarCoordinate polar(10, 20, 30);
    CEarthCoordinate cartesian;
    earth.Convert(CPolarCoordinate(-5, 60, 0), cartesian);

    double forward = 0, back = 0;
    EXPECT_EQ(earth.GetSurfaceDistance(cartesian, cartesian, &forward, &back), 42);
    EXPECT_EQ(forward, 1);
    EXPECT_EQ(back, 2);
    EXPECT_EQ(earth.GetSurfaceDistance(cartesian, polar, nullptr, nullptr), 42);
    EXPECT_NEAR(derived.lastFrom.GetUpDownAngleInDegrees(), -5, 1e-12);
    EXPECT_NEAR(derived.lastFrom.GetLeftRightAngleInDegrees(), 60, 1e-12);
    EXPECT_EQ(derived.lastTo.GetUpDownAngleInDegrees(), 10);
    EXPECT_EQ(earth.GetSurfaceDistance(polar, cartesian, nullptr, nullptr), 42);
    EXPECT_EQ(derived.lastFrom.GetLeftRightAngleInDegrees(), 20);
    EXPECT_NEAR(derived.lastTo.GetLeftRightAngleInDegrees(), 60, 1e-12);
    EXPECT_EQ(derived.calls, 3);
}

// Every cartesian point "converts" to latitude 1, longitude 2, height 3.
class FixedGeodetic : public CEarth {
  public:
    using CEarth::Convert;
    void Convert(const CEarthCoordinate&, CPolarCoordinate& to) const override { to.Set(1, 2, 3); }
};

TEST(VirtualSlots, ConversionToGeodeticFormFeedsEveryCartesianOverload) {
    FixedGeodetic derived;
    CEarth& earth = derived;
    const CEarthCoordinate anywhere(1e6, 2e6, 3e6);
    const CEarth plain(25);

    EXPECT_EQ(
        earth.GetSurfaceDistance(anywhere, CPolarCoordinate(1, 3), nullptr, nullptr),
        plain.GetSurfaceDistance(CPolarCoordinate(1, 2), CPolarCoordinate(1, 3), nullptr, nullptr));
    EXPECT_EQ(earth.GetSurfaceDistance(anywhere, anywhere, nullptr, nullptr), 0.0);
    EXPECT_EQ(earth.GetDistanceToHorizon(anywhere), std::sqrt(17.0 * 3));

    CPolarCoordinate moved;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(anywhere, 0, 0, moved);
    EXPECT_NEAR(moved.GetUpDownAngleInDegrees(), 1, 1e-12);
    EXPECT_NEAR(moved.GetLeftRightAngleInDegrees(), 2, 1e-12);
}

// Geodetic values are taken as cartesian ones unchanged.
class IdentityCartesian : public CEarth {
  public:
    using CEarth::Convert;
    void Convert(const CPolarCoordinate& from, CEarthCoordinate& to) const override {
        to.Set(from.GetUpDownAngleInDegrees(), from.GetLeftRightAngleInDegrees(),
               from.GetDistanceFromSurfaceInMeters());
    }
};

TEST(VirtualSlots, ConversionToCartesianFormFeedsEveryPolarOverload) {
    IdentityCartesian derived;
    CEarth& earth = derived;
    const CPolarCoordinate a(0, 0, 0), b(3, 4, 12);
    EXPECT_EQ(earth.GetLineOfSightDistance(a, b), 13.0);
    EXPECT_EQ(earth.GetLineOfSightDistance(a, CEarthCoordinate(3, 4, 12)), 13.0);
    EXPECT_EQ(earth.GetLineOfSightDistance(CEarthCoordinate(0, 0, 0), b), 13.0);

    CEarthCoordinate moved;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(CPolarCoordinate(10, 20), 0, 0, moved);
    EXPECT_NEAR(moved.GetXCoordinateInMeters(), 10, 1e-12);
    EXPECT_NEAR(moved.GetYCoordinateInMeters(), 20, 1e-12);
    EXPECT_EQ(moved.GetZCoordinateInMeters(), 0.0);
}

class FixedLineOfSight : public CEarth {
  public:
    using CEarth::GetLineOfSightDistance;
    double GetLineOfSightDistance(const CEarthCoordinate&, const CEarthCoordinate&) const override {
        return 7;
    }
};

TEST(VirtualSlots, LineOfSightOverloadsAndTheCourseCallTheCore) {
    FixedLineOfSight derived;
    const CEarth& earth = derived;
    const CPolarCoordinate p(1, 2, 3);
    const CEarthCoordinate c(4, 5, 6);
    EXPECT_EQ(earth.GetLineOfSightDistance(p, p), 7);
    EXPECT_EQ(earth.GetLineOfSightDistance(p, c), 7);
    EXPECT_EQ(earth.GetLineOfSightDistance(c, p), 7);
    // All three sides 7: the height of an equilateral triangle.
    EXPECT_NEAR(earth.GetLineOfSightDistanceFromCourse(c, c, c), 7 * std::sqrt(3.0) / 2, 1e-12);
}

// Records what the surface move is asked and answers with a marker position.
class RecordingMove : public CEarth {
  public:
    using CEarth::AddSurfaceDistanceAndDirectionToCoordinate;
    void AddSurfaceDistanceAndDirectionToCoordinate(const CPolarCoordinate& start, double distance,
                                                    double direction,
                                                    CPolarCoordinate& result) override {
        lastStart = start;
        lastDistance = distance;
        lastDirection = direction;
        result.SetUpDownAngleInDegrees(50);
        result.SetLeftRightAngleInDegrees(60);
    }
    CPolarCoordinate lastStart;
    double lastDistance = 0;
    double lastDirection = 0;
};

TEST(VirtualSlots, MoveOverloadsCallTheCore) {
    RecordingMove derived;
    CEarth& earth = derived;
    const CPolarCoordinate start(45, 10, 0);
    CEarthCoordinate cartesianStart;
    earth.Convert(start, cartesianStart);

    CPolarCoordinate polarResult;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(cartesianStart, 100, 30, polarResult);
    EXPECT_EQ(polarResult.GetUpDownAngleInDegrees(), 50);
    EXPECT_NEAR(derived.lastStart.GetUpDownAngleInDegrees(), 45, 1e-12);
    EXPECT_EQ(derived.lastDistance, 100);
    EXPECT_EQ(derived.lastDirection, 30);

    CEarthCoordinate cartesianResult, expected;
    earth.Convert(CPolarCoordinate(50, 60, 0), expected);
    earth.AddSurfaceDistanceAndDirectionToCoordinate(start, 200, 40, cartesianResult);
    EXPECT_EQ(earth.GetLineOfSightDistance(cartesianResult, expected), 0.0);
    EXPECT_EQ(derived.lastDistance, 200);
    earth.AddSurfaceDistanceAndDirectionToCoordinate(cartesianStart, 300, 50, cartesianResult);
    EXPECT_EQ(earth.GetLineOfSightDistance(cartesianResult, expected), 0.0);
    EXPECT_EQ(derived.lastDistance, 300);

    // The line-of-sight move hands the core the arc, a little longer than the
    // chord.
    earth.AddLineOfSightDistanceAndDirectionToCoordinate(start, 5000, 70, polarResult, 0);
    EXPECT_EQ(polarResult.GetLeftRightAngleInDegrees(), 60);
    EXPECT_EQ(derived.lastDirection, 70);
    EXPECT_GT(derived.lastDistance, 5000);
    EXPECT_LT(derived.lastDistance, 5000.001);
}

class FixedHorizon : public CEarth {
  public:
    using CEarth::GetDistanceToHorizon;
    double GetDistanceToHorizon(const CPolarCoordinate&) const override { return 99; }
};

TEST(VirtualSlots, CartesianHorizonCallsThePolarOne) {
    FixedHorizon derived;
    const CEarth& earth = derived;
    EXPECT_EQ(earth.GetDistanceToHorizon(CEarthCoordinate(7e6, 0, 0)), 99);
}

}  // namespace
