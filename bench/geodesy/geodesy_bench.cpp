// Time per call of the geodesy operations the programs use: the surface
// distance of GPS-scale legs (pacer, legsheet) and the conversions between
// geodetic and cartesian form (trailview), next to GeographicLib's
// Geodesic::Inverse and Geocentric::Forward/Reverse on the same inputs.
//
// Build: cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTRACKTOOLS_BUILD_BENCH=ON
// Run:   build-bench/bench/geodesy/geodesy_bench
#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>

#include "tracktools/geodesy/CEarth.h"

namespace {

const std::size_t kCount = 4096;  // a power of two, cycled through with a mask

struct Leg {
    double lat1, lon1, lat2, lon2;
};

struct Point {
    double lat, lon, h, x, y, z;
};

double Round6(double x) {
    return std::round(x * 1e6) / 1e6;
}

// Consecutive fixes of a track: 6-decimal coordinates, 1 m to 2 km apart.
const std::vector<Leg>& GpsLegs() {
    static const std::vector<Leg> legs = [] {
        std::mt19937_64 random(4);
        std::uniform_real_distribution<double> lat(-80, 80), lon(-180, 180), step(-0.01, 0.01);
        std::vector<Leg> v;
        while (v.size() < kCount) {
            Leg leg;
            leg.lat1 = Round6(lat(random));
            leg.lon1 = Round6(lon(random));
            leg.lat2 = Round6(leg.lat1 + step(random));
            leg.lon2 = Round6(leg.lon1 + step(random));
            if (leg.lat1 != leg.lat2 || leg.lon1 != leg.lon2) {
                v.push_back(leg);
            }
        }
        return v;
    }();
    return legs;
}

// Legs on which our iteration alternates between two neighbouring values.
const std::vector<Leg>& TwoCycleLegs() {
    static const std::vector<Leg> legs = {
        {32.837431, -154.185045, 32.833902, -154.181916},
        {-28.678349, -149.071885, -28.680877, -149.068916},
        {27.522456, -39.247975, 27.522142, -39.246782},
        {-38.581773, 90.706910, -38.581795, 90.709786},
    };
    return legs;
}

// Nearly antipodal pairs, most of which our iteration cannot answer: the
// cost of the fallback to GeographicLib.
const std::vector<Leg>& NearlyAntipodalLegs() {
    static const std::vector<Leg> legs = [] {
        std::mt19937_64 random(6);
        std::uniform_real_distribution<double> lat(-80, 80), lon(-180, 180), off(-0.3, 0.3);
        std::vector<Leg> v(kCount);
        for (Leg& leg : v) {
            leg.lat1 = lat(random);
            leg.lon1 = lon(random);
            leg.lat2 = -leg.lat1 + off(random);
            leg.lon2 = leg.lon1 + 180 + off(random);
        }
        return v;
    }();
    return legs;
}

// Track points from -100 m to 9 km with their cartesian form.
const std::vector<Point>& TrackPoints() {
    static const std::vector<Point> points = [] {
        std::mt19937_64 random(5);
        std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180), h(-100, 9000);
        const CEarth earth(25);
        std::vector<Point> v(kCount);
        for (Point& p : v) {
            p.lat = Round6(lat(random));
            p.lon = Round6(lon(random));
            p.h = h(random);
            CEarthCoordinate c;
            earth.Convert(CPolarCoordinate(p.lat, p.lon, p.h), c);
            c.Get(p.x, p.y, p.z);
        }
        return v;
    }();
    return points;
}

void OursSurfaceDistance(benchmark::State& state, const std::vector<Leg>& legs) {
    const CEarth earth(25);
    std::size_t i = 0;
    for (auto _ : state) {
        const Leg& leg = legs[i++ & (legs.size() - 1)];  // sizes are powers of two
        double forward, back;
        const double s =
            earth.GetSurfaceDistance(CPolarCoordinate(leg.lat1, leg.lon1),
                                     CPolarCoordinate(leg.lat2, leg.lon2), &forward, &back);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(forward);
        benchmark::DoNotOptimize(back);
    }
}

void BM_Ours_SurfaceDistance_GpsLegs(benchmark::State& state) {
    OursSurfaceDistance(state, GpsLegs());
}
BENCHMARK(BM_Ours_SurfaceDistance_GpsLegs);

// The distance alone, as trackinfo asks for it: no azimuth is computed.
void BM_Ours_SurfaceDistanceOnly_GpsLegs(benchmark::State& state) {
    const std::vector<Leg>& legs = GpsLegs();
    const CEarth earth(25);
    std::size_t i = 0;
    for (auto _ : state) {
        const Leg& leg = legs[i++ & (legs.size() - 1)];
        benchmark::DoNotOptimize(earth.GetSurfaceDistance(CPolarCoordinate(leg.lat1, leg.lon1),
                                                          CPolarCoordinate(leg.lat2, leg.lon2),
                                                          nullptr, nullptr));
    }
}
BENCHMARK(BM_Ours_SurfaceDistanceOnly_GpsLegs);

void BM_Ours_SurfaceDistance_TwoCycleLegs(benchmark::State& state) {
    OursSurfaceDistance(state, TwoCycleLegs());
}
BENCHMARK(BM_Ours_SurfaceDistance_TwoCycleLegs);

void BM_Ours_SurfaceDistance_NearlyAntipodalLegs(benchmark::State& state) {
    OursSurfaceDistance(state, NearlyAntipodalLegs());
}
BENCHMARK(BM_Ours_SurfaceDistance_NearlyAntipodalLegs);

void BM_Ours_Convert_GeodeticToCartesian(benchmark::State& state) {
    const CEarth earth(25);
    const std::vector<Point>& points = TrackPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        const Point& p = points[i++ & (kCount - 1)];
        CEarthCoordinate c;
        earth.Convert(CPolarCoordinate(p.lat, p.lon, p.h), c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_Ours_Convert_GeodeticToCartesian);

void BM_Ours_Convert_CartesianToGeodetic(benchmark::State& state) {
    const CEarth earth(25);
    const std::vector<Point>& points = TrackPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        const Point& p = points[i++ & (kCount - 1)];
        CPolarCoordinate g;
        earth.Convert(CEarthCoordinate(p.x, p.y, p.z), g);
        benchmark::DoNotOptimize(g);
    }
}
BENCHMARK(BM_Ours_Convert_CartesianToGeodetic);

void BM_GeographicLib_Inverse_GpsLegs(benchmark::State& state) {
    const GeographicLib::Geodesic& geodesic = GeographicLib::Geodesic::WGS84();
    const std::vector<Leg>& legs = GpsLegs();
    std::size_t i = 0;
    for (auto _ : state) {
        const Leg& leg = legs[i++ & (kCount - 1)];
        double s, azi1, azi2;
        geodesic.Inverse(leg.lat1, leg.lon1, leg.lat2, leg.lon2, s, azi1, azi2);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(azi1);
        benchmark::DoNotOptimize(azi2);
    }
}
BENCHMARK(BM_GeographicLib_Inverse_GpsLegs);

void BM_GeographicLib_Geocentric_Forward(benchmark::State& state) {
    const GeographicLib::Geocentric& geocentric = GeographicLib::Geocentric::WGS84();
    const std::vector<Point>& points = TrackPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        const Point& p = points[i++ & (kCount - 1)];
        double x, y, z;
        geocentric.Forward(p.lat, p.lon, p.h, x, y, z);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        benchmark::DoNotOptimize(z);
    }
}
BENCHMARK(BM_GeographicLib_Geocentric_Forward);

void BM_GeographicLib_Geocentric_Reverse(benchmark::State& state) {
    const GeographicLib::Geocentric& geocentric = GeographicLib::Geocentric::WGS84();
    const std::vector<Point>& points = TrackPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        const Point& p = points[i++ & (kCount - 1)];
        double lat, lon, h;
        geocentric.Reverse(p.x, p.y, p.z, lat, lon, h);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(h);
    }
}
BENCHMARK(BM_GeographicLib_Geocentric_Reverse);

}  // namespace

BENCHMARK_MAIN();
