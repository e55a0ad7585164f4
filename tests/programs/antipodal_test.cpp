// legsheet and pacer on legs between nearly antipodal points, where the
// geodesy library's own iteration gives no answer and GeographicLib's is
// taken: real numbers, the ones GeodSolve gives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

constexpr double kMilesPerMeter = 0.0006214;  // the programs' factor
constexpr std::uint32_t kStart = 1700000000;
constexpr std::uint32_t kHalfAnHour = 1800;

// On WGS 84, from "lat1 lon1 lat2 lon2" | GeodSolve -i -p 10: azi1 (brought
// into 0..360) and s12. The iteration fails on each in another way.
struct Leg {
    double lat1, lon1, lat2, lon2;
    double azimuth, metres;
};
const Leg kLegs[] = {
    // The estimate passes pi.
    {0, 0, 0.5, 179.7, 15.556882793490542, 19944127.4207504578},
    // The estimates swing between two values 0.007 radians apart.
    {9.6127485664394214, 0, -9.9149291076439479, 179.47071280744515, 146.544678189648579,
     19953941.7839991190},
    // Still moving after 1000 iterations (azi1 -16.223124564927073).
    {-16.819024681135232, 0, 17.308814846295327, 180.30968467456464, 343.776875435072927,
     19945070.3950239792},
};

// One two-point track per leg, half an hour apart.
std::vector<std::string> WriteLegs(const TempDir& dir) {
    std::vector<std::string> names;
    for (const Leg& leg : kLegs) {
        names.push_back("leg" + std::to_string(names.size()) + ".gpl");
        WriteFile(dir / names.back(),
                  Records({FullPoint(leg.lat1, leg.lon1, 1, kStart),
                           FullPoint(leg.lat2, leg.lon2, 1, kStart + kHalfAnHour)}));
    }
    return names;
}

TEST(Antipodal, LegsheetReportsTheLegs) {
    TempDir dir;
    RunOptions options;
    options.cwd = dir.path();
    const RunResult r = RunTool("legsheet", WriteLegs(dir), options);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out.find("nan"), std::string::npos) << r.out;

    // The first point's line of each file: latitude, longitude, heading,
    // miles and miles per hour, printed with 4 decimals.
    std::istringstream report(r.out);
    std::string line;
    std::size_t leg = 0;
    bool first_of_file = false;
    while (std::getline(report, line)) {
        if (line.rfind("# Latitude", 0) == 0) {
            first_of_file = true;
            continue;
        }
        if (!first_of_file) {
            continue;
        }
        first_of_file = false;
        ASSERT_LT(leg, std::size(kLegs));
        SCOPED_TRACE(line);
        double lat, lon, heading, miles, speed;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf, %lf, %lf, %lf, %lf", &lat, &lon, &heading, &miles,
                              &speed),
                  5);
        const double expected = kLegs[leg].metres * kMilesPerMeter;
        EXPECT_NEAR(heading, kLegs[leg].azimuth, 5.1e-5);
        EXPECT_NEAR(miles, expected, 5.1e-5);
        EXPECT_NEAR(speed, 2 * expected, 5.1e-5);
        ++leg;
    }
    EXPECT_EQ(leg, std::size(kLegs));
}

TEST(Antipodal, PacerMeasuresAndRetimesTheLegs) {
    TempDir dir;
    RunOptions options;
    options.cwd = dir.path();
    const std::vector<std::string> names = WriteLegs(dir);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const double miles = kLegs[i].metres * kMilesPerMeter;

        RunResult r = RunTool("pacer", {names[i], "measured.gpl"}, options);
        EXPECT_EQ(r.exit_status, 0);
        std::vector<GPL_Data_Point> out = ParseRecords(ReadFile(dir / "measured.gpl"));
        ASSERT_EQ(out.size(), 2u);
        EXPECT_NEAR(out[0].Heading, kLegs[i].azimuth, 1e-6);
        EXPECT_NEAR(out[0].Speed, 2 * miles, 2 * miles * 1e-11);

        // At 60 mph a mile takes a minute: some 12400 minutes, of which the
        // whole seconds are kept (none of these legs is near a whole second).
        r = RunTool("pacer", {names[i], "paced.gpl", "60"}, options);
        EXPECT_EQ(r.exit_status, 0);
        out = ParseRecords(ReadFile(dir / "paced.gpl"));
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[1].Time, kStart + static_cast<std::uint32_t>(std::floor(60 * miles)));
    }
}

}  // namespace
