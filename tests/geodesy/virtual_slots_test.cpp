// A derived model that replaces a core operation changes every overload built
// on it: the overloads reach the cores and Convert through virtual calls.
#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "tracktools/geodesy/CEarth.h"

namespace {

using Fields = std::array<double, 3>;

Fields Of(const CPolarCoordinate& p) {
    return {p.GetUpDownAngleInDegrees(), p.GetLeftRightAngleInDegrees(),
            p.GetDistanceFromSurfaceInMeters()};
}

Fields Of(const CEarthCoordinate& c) {
    return {c.GetXCoordinateInMeters(), c.GetYCoordinateInMeters(), c.GetZCoordinateInMeters()};
}

// Converts by copying the three numbers, and replaces every core operation by
// one that records its arguments and answers with a marker.
class SpyEarth : public CEarth {
  public:
    void Convert(const CEarthCoordinate& from, CPolarCoordinate& to) const override {
        to.Set(from.GetXCoordinateInMeters(), from.GetYCoordinateInMeters(),
               from.GetZCoordinateInMeters());
    }
    void Convert(const CPolarCoordinate& from, CEarthCoordinate& to) const override {
        to.Set(from.GetUpDownAngleInDegrees(), from.GetLeftRightAngleInDegrees(),
               from.GetDistanceFromSurfaceInMeters());
    }
    double GetSurfaceDistance(const CPolarCoordinate& from, const CPolarCoordinate& to,
                              double* forward, double* back) const override {
        surfaceFrom = Of(from);
        surfaceTo = Of(to);
        *forward = 1;
        *back = 2;
        return 42;
    }
    double GetLineOfSightDistance(const CEarthCoordinate& from,
                                  const CEarthCoordinate& to) const override {
        sightFrom = Of(from);
        sightTo = Of(to);
        return 7;
    }
    double GetDistanceToHorizon(const CPolarCoordinate& at) const override {
        return 10 * at.GetDistanceFromSurfaceInMeters();
    }
    void AddSurfaceDistanceAndDirectionToCoordinate(const CPolarCoordinate& start, double distance,
                                                    double direction,
                                                    CPolarCoordinate& result) override {
        moveStart = Of(start);
        moveDistance = distance;
        moveDirection = direction;
        result.SetUpDownAngleInDegrees(50);
        result.SetLeftRightAngleInDegrees(60);
    }

    mutable Fields surfaceFrom{}, surfaceTo{}, sightFrom{}, sightTo{}, moveStart{};
    double moveDistance = 0, moveDirection = 0;
};

const CPolarCoordinate kPolar(1, 2, 3);
const CEarthCoordinate kCartesian(4, 5, 6);

TEST(VirtualSlots, SurfaceDistanceOverloadsConvertAndCallTheCore) {
    SpyEarth spy;
    const CEarth& earth = spy;
    double forward = 0, back = 0;
    EXPECT_EQ(earth.GetSurfaceDistance(kCartesian, kCartesian, &forward, &back), 42);
    EXPECT_EQ(forward, 1);
    EXPECT_EQ(back, 2);
    EXPECT_EQ(earth.GetSurfaceDistance(kCartesian, kPolar, &forward, &back), 42);
    EXPECT_EQ(spy.surfaceFrom, (Fields{4, 5, 6}));
    EXPECT_EQ(spy.surfaceTo, (Fields{1, 2, 3}));
    EXPECT_EQ(earth.GetSurfaceDistance(kPolar, kCartesian, &forward, &back), 42);
    EXPECT_EQ(spy.surfaceFrom, (Fields{1, 2, 3}));
    EXPECT_EQ(spy.surfaceTo, (Fields{4, 5, 6}));
}

TEST(VirtualSlots, LineOfSightCourseAndHorizonCallTheirCores) {
    SpyEarth spy;
    const CEarth& earth = spy;
    EXPECT_EQ(earth.GetLineOfSightDistance(kPolar, kPolar), 7);
    EXPECT_EQ(earth.GetLineOfSightDistance(kPolar, kCartesian), 7);
    EXPECT_EQ(spy.sightFrom, (Fields{1, 2, 3}));
    EXPECT_EQ(spy.sightTo, (Fields{4, 5, 6}));
    EXPECT_EQ(earth.GetLineOfSightDistance(kCartesian, kPolar), 7);
    EXPECT_EQ(spy.sightTo, (Fields{1, 2, 3}));
    // All three sides 7: the height of an equilateral triangle.
    EXPECT_NEAR(earth.GetLineOfSightDistanceFromCourse(kCartesian, kCartesian, kCartesian),
                7 * std::sqrt(3.0) / 2, 1e-12);
    EXPECT_EQ(earth.GetDistanceToHorizon(kCartesian), 60);
}

TEST(VirtualSlots, MoveOverloadsConvertAndCallTheCore) {
    SpyEarth spy;
    CEarth& earth = spy;
    CPolarCoordinate polar;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(kCartesian, 100, 30, polar);
    EXPECT_EQ(spy.moveStart, (Fields{4, 5, 6}));
    EXPECT_EQ(spy.moveDistance, 100);
    EXPECT_EQ(spy.moveDirection, 30);
    EXPECT_EQ(Of(polar), (Fields{50, 60, 0}));

    CEarthCoordinate cartesian;
    earth.AddSurfaceDistanceAndDirectionToCoordinate(kPolar, 200, 40, cartesian);
    EXPECT_EQ(spy.moveStart, (Fields{1, 2, 3}));
    EXPECT_EQ(Of(cartesian), (Fields{50, 60, 0}));
    cartesian.Set(0, 0, 0);
    earth.AddSurfaceDistanceAndDirectionToCoordinate(kCartesian, 300, 50, cartesian);
    EXPECT_EQ(spy.moveDistance, 300);
    EXPECT_EQ(Of(cartesian), (Fields{50, 60, 0}));

    // The line-of-sight move hands the core the arc, a little longer than the
    // chord.
    earth.AddLineOfSightDistanceAndDirectionToCoordinate(CPolarCoordinate(45, 10, 0), 5000, 70,
                                                         polar, 0);
    EXPECT_EQ(spy.moveDirection, 70);
    EXPECT_GT(spy.moveDistance, 5000);
    EXPECT_LT(spy.moveDistance, 5000.001);
}

}  // namespace
