// Agreement with reference values computed by GeographicLib's command-line
// tools (see data/make_reference.py): 0.1 mm in distance and position, 1e-6
// degrees in azimuth, also where our own iterations give no answer and the
// solvers ask GeographicLib.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/geodesy/Geocentric.h"
#include "tracktools/geodesy/VincentyDirect.h"
#include "tracktools/geodesy/VincentyInverse.h"

namespace {

const double kMillimetreTenth = 1e-4;
const double kAzimuthDegrees = 1e-6;
const double kRadiansPerDegree = M_PI / 180;

// Rows of numbers from a reference file; '#' starts a comment line.
std::vector<std::vector<double>> ReadRows(const std::string& name, size_t columns) {
    std::vector<std::vector<double>> rows;
    std::ifstream in(std::string(GEODESY_REFERENCE_DIR) + "/" + name);
    EXPECT_TRUE(in.is_open()) << name;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::vector<double> row;
        double value;
        while (fields >> value) {
            row.push_back(value);
        }
        EXPECT_EQ(row.size(), columns) << line;
        if (row.size() == columns) {
            rows.push_back(row);
        }
    }
    return rows;
}

// Difference of two angles in degrees, folded into -180..180.
double AngleDifference(double a, double b) {
    return std::remainder(a - b, 360.0);
}

// Distance in metres between two nearby geodetic positions on the model.
double PositionError(const CEarth& earth, double lat, double lon, double refLat, double refLon) {
    const double a = earth.GetEquatorialRadiusInMeters();
    const double north = (lat - refLat) * kRadiansPerDegree * a;
    const double east =
        AngleDifference(lon, refLon) * kRadiansPerDegree * a * std::cos(refLat * kRadiansPerDegree);
    return std::hypot(north, east);
}

struct Worst {
    const char* what;
    double value = 0;
    ~Worst() { std::printf("largest difference in %s: %.3g\n", what, value); }
    void Note(double v) {
        if (v > value) {
            value = v;
        }
    }
};

TEST(Reference, SurfaceDistanceAndAzimuths) {
    const auto rows = ReadRows("inverse.txt", 8);
    EXPECT_GT(rows.size(), 400u);
    Worst distance{"distance (m)"}, azimuth{"azimuth (degrees)"};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "id " << r[0] << ": " << r[1] << " " << r[2] << " " << r[3] << " " << r[4]);
        const CEarth earth(static_cast<int>(r[0]));
        double forward = -1, back = -1;
        const double s = earth.GetSurfaceDistance(CPolarCoordinate(r[1], r[2]),
                                                  CPolarCoordinate(r[3], r[4]), &forward, &back);
        EXPECT_NEAR(s, r[7], kMillimetreTenth);
        distance.Note(std::fabs(s - r[7]));
        if (r[1] == r[3] && r[2] == r[4]) {
            EXPECT_EQ(s, 0.0);
            continue;  // no direction between identical points
        }
        // Both azimuths lie in 0..360, 360 included: "add 360 when negative"
        // turns a tiny negative value into 360 (towards a pole, for example).
        EXPECT_GE(forward, 0.0);
        EXPECT_LE(forward, 360.0);
        EXPECT_GE(back, 0.0);
        EXPECT_LE(back, 360.0);
        EXPECT_NEAR(AngleDifference(forward, r[5]), 0.0, kAzimuthDegrees);
        // The reference's second azimuth is the direction of travel there.
        EXPECT_NEAR(AngleDifference(back, r[6] + 180), 0.0, kAzimuthDegrees);
        azimuth.Note(std::fabs(AngleDifference(forward, r[5])));
        azimuth.Note(std::fabs(AngleDifference(back, r[6] + 180)));
    }
}

TEST(Reference, SurfaceMove) {
    const auto rows = ReadRows("direct.txt", 8);
    EXPECT_GT(rows.size(), 250u);
    Worst position{"moved position (m)"};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "id " << r[0] << ": " << r[1] << " " << r[2] << " " << r[3] << " " << r[4]);
        CEarth earth(static_cast<int>(r[0]));
        CPolarCoordinate result;
        earth.AddSurfaceDistanceAndDirectionToCoordinate(CPolarCoordinate(r[1], r[2]), r[4], r[3],
                                                         result);
        const double error = PositionError(earth, result.GetUpDownAngleInDegrees(),
                                           result.GetLeftRightAngleInDegrees(), r[5], r[6]);
        EXPECT_LE(error, kMillimetreTenth);
        position.Note(error);
    }
}

TEST(Reference, GeodeticToCartesian) {
    const auto rows = ReadRows("geodetic_to_cartesian.txt", 7);
    EXPECT_GT(rows.size(), 200u);
    Worst position{"cartesian position (m)"};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "id " << r[0] << ": " << r[1] << " " << r[2] << " " << r[3]);
        const CEarth earth(static_cast<int>(r[0]));
        CEarthCoordinate c;
        earth.Convert(CPolarCoordinate(r[1], r[2], r[3]), c);
        const double error = earth.GetLineOfSightDistance(c, CEarthCoordinate(r[4], r[5], r[6]));
        EXPECT_LE(error, kMillimetreTenth);
        position.Note(error);
    }
}

TEST(Reference, CartesianToGeodetic) {
    const auto rows = ReadRows("cartesian_to_geodetic.txt", 7);
    EXPECT_GT(rows.size(), 200u);
    Worst position{"geodetic position (m)"}, height{"height (m)"};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "id " << r[0] << ": " << r[1] << " " << r[2] << " " << r[3]);
        const CEarth earth(static_cast<int>(r[0]));
        CPolarCoordinate p;
        earth.Convert(CEarthCoordinate(r[1], r[2], r[3]), p);
        const double error = PositionError(earth, p.GetUpDownAngleInDegrees(),
                                           p.GetLeftRightAngleInDegrees(), r[4], r[5]);
        EXPECT_LE(error, kMillimetreTenth);
        EXPECT_NEAR(p.GetDistanceFromSurfaceInMeters(), r[6], kMillimetreTenth);
        position.Note(error);
        height.Note(std::fabs(p.GetDistanceFromSurfaceInMeters() - r[6]));
    }
}

// The id and the first `count` inputs of a row, to say which one failed.
std::string Inputs(const std::vector<double>& row, std::size_t count) {
    std::ostringstream text;
    text << "id " << row[0] << ":";
    for (std::size_t i = 1; i <= count; ++i) {
        text << " " << row[i];
    }
    return text.str();
}

// Rows per ellipsoid on which our iteration alone has no answer: each file
// must hold enough of them for the fallback to be what is tested.
void ExpectFallbacks(const std::map<int, int>& failures, int atLeast) {
    EXPECT_FALSE(failures.empty());
    for (const auto& [id, count] : failures) {
        EXPECT_GE(count, atLeast) << "id " << id;
        std::printf("id %d: %d rows beyond our iteration\n", id, count);
    }
}

TEST(Reference, NearlyAntipodalPairsAllHaveAnAnswer) {
    const auto rows = ReadRows("antipodal.txt", 8);
    EXPECT_GE(rows.size(), 300u);
    Worst distance{"antipodal distance (m)"}, azimuth{"antipodal azimuth (degrees)"};
    std::map<int, int> failures;
    for (const auto& r : rows) {
        SCOPED_TRACE(Inputs(r, 4));
        const int id = static_cast<int>(r[0]);
        const CEarth earth(id);
        double forward = -1, back = -1;
        const double s = earth.GetSurfaceDistance(CPolarCoordinate(r[1], r[2]),
                                                  CPolarCoordinate(r[3], r[4]), &forward, &back);
        EXPECT_NEAR(s, r[7], kMillimetreTenth);
        EXPECT_NEAR(AngleDifference(forward, r[5]), 0.0, kAzimuthDegrees);
        EXPECT_NEAR(AngleDifference(back, r[6] + 180), 0.0, kAzimuthDegrees);
        EXPECT_GE(forward, 0.0);
        EXPECT_LE(forward, 360.0);
        EXPECT_GE(back, 0.0);
        EXPECT_LE(back, 360.0);
        distance.Note(std::fabs(s - r[7]));
        azimuth.Note(std::fabs(AngleDifference(forward, r[5])));
        azimuth.Note(std::fabs(AngleDifference(back, r[6] + 180)));

        double alone, aloneForward, aloneBack;
        failures[id] += 0;
        if (!geodesy::VincentyInverse(geodesy::Ellipsoid::FromTable(id))
                 .InverseByIteration(r[1], r[2], r[3], r[4], alone, &aloneForward, &aloneBack)) {
            ++failures[id];
            EXPECT_TRUE(std::isnan(alone));
            // GeographicLib's azimuths come without the 360 of a tiny negative.
            EXPECT_LT(forward, 360.0);
            EXPECT_LT(back, 360.0);
        }
    }
    ExpectFallbacks(failures, 20);
}

TEST(Reference, LinesRoundTheEarthManyTimes) {
    const auto rows = ReadRows("many_turns.txt", 8);
    EXPECT_GE(rows.size(), 60u);
    Worst position{"position after many turns (m)"};
    std::map<int, int> failures;
    for (const auto& r : rows) {
        SCOPED_TRACE(Inputs(r, 4));
        const int id = static_cast<int>(r[0]);
        CEarth earth(id);
        CPolarCoordinate result;
        earth.AddSurfaceDistanceAndDirectionToCoordinate(CPolarCoordinate(r[1], r[2]), r[4], r[3],
                                                         result);
        const double error = PositionError(earth, result.GetUpDownAngleInDegrees(),
                                           result.GetLeftRightAngleInDegrees(), r[5], r[6]);
        position.Note(error);

        double latitude, longitude;
        failures[id] += 0;
        if (geodesy::VincentyDirect(geodesy::Ellipsoid::FromTable(id))
                .DirectByIteration(r[1], r[2], r[3], r[4], latitude, longitude)) {
            // Vincenty's series loses a little on every turn.
            EXPECT_LE(error, 0.01);
        } else {
            ++failures[id];
            EXPECT_LE(error, kMillimetreTenth);
            // Within half a turn of the start, like the iteration's longitudes.
            EXPECT_LE(std::fabs(result.GetLeftRightAngleInDegrees() - r[2]), 180.0);
        }
    }
    ExpectFallbacks(failures, 2);
}

TEST(Reference, PointsDeepInsideTheEarth) {
    const auto rows = ReadRows("deep_inside.txt", 7);
    EXPECT_GE(rows.size(), 150u);
    Worst position{"deep position (m)"}, height{"deep height (m)"};
    std::map<int, int> failures;
    for (const auto& r : rows) {
        SCOPED_TRACE(Inputs(r, 3));
        const int id = static_cast<int>(r[0]);
        const CEarth earth(id);
        CPolarCoordinate p;
        earth.Convert(CEarthCoordinate(r[1], r[2], r[3]), p);
        double latitude, longitude, h;
        failures[id] += 0;
        if (geodesy::Geocentric(geodesy::Ellipsoid::FromTable(id))
                .ReverseByIteration(r[1], r[2], r[3], latitude, longitude, h)) {
            // A point this deep has several geodetic positions; ours need not
            // be the reference's, but it must lead back to the point.
            CEarthCoordinate back;
            earth.Convert(p, back);
            EXPECT_LE(earth.GetLineOfSightDistance(back, CEarthCoordinate(r[1], r[2], r[3])),
                      kMillimetreTenth);
            continue;
        }
        ++failures[id];
        const double error = PositionError(earth, p.GetUpDownAngleInDegrees(),
                                           p.GetLeftRightAngleInDegrees(), r[4], r[5]);
        EXPECT_LE(error, kMillimetreTenth);
        EXPECT_NEAR(p.GetDistanceFromSurfaceInMeters(), r[6], kMillimetreTenth);
        position.Note(error);
        height.Note(std::fabs(p.GetDistanceFromSurfaceInMeters() - r[6]));
    }
    ExpectFallbacks(failures, 3);
}

}  // namespace
