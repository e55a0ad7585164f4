// Each definition of the summary on a small track made for it, and the
// splits and normalised power against brute-force computations on random
// tracks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "summary.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/CPolarCoordinate.h"

namespace {

using trackinfo::Figures;
using trackinfo::Settings;
using trackinfo::Summary;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();  // an absent figure
constexpr double kMetre = 0.000904369477050 / 100;  // of latitude on the meridian 0, near 0
constexpr double kMile = 1609.344;
constexpr double kT0 = 1700000000.0;

// A point `metres` north of (0, 0) at `seconds` after kT0 (none: no time).
track::Point At(double metres, std::optional<double> seconds) {
    track::Point point;
    point.SetPosition(metres * kMetre, 0.0);
    if (seconds) {
        point.SetTime(track::Instant::FromNanoseconds(std::llround((kT0 + *seconds) * 1e9)));
    }
    return point;
}
track::Point With(track::Point point, track::Field field, double value) {
    point.Set(field, value);
    return point;
}
track::Point Begins(track::Point point) {
    point.begins_segment = true;
    return point;
}
track::Point Unplaced(double seconds) {
    track::Point point = At(0, seconds);
    point.Clear(track::kPosition);
    return point;
}

Figures Summarise(const std::vector<track::Point>& points, const Settings& settings = Settings()) {
    Summary summary(settings);
    for (const track::Point& point : points) {
        summary.Add(point);
    }
    return summary.Result();
}

using Figure = std::function<std::optional<double>(const Figures&)>;
const std::vector<std::pair<const char*, Figure>> kFigures = {
    {"segments", [](const Figures& f) { return static_cast<double>(f.segments); }},
    {"distance", [](const Figures& f) { return f.metres; }},
    {"duration", [](const Figures& f) { return f.duration; }},
    {"moving", [](const Figures& f) { return f.MovingSeconds(); }},
    {"stopped", [](const Figures& f) { return f.StoppedSeconds(); }},
    {"breaks", [](const Figures& f) { return f.BreakSeconds(); }},
    {"average", [](const Figures& f) { return f.AverageSpeed(); }},
    {"max",
     [](const Figures& f) {
         return f.fastest ? std::optional(f.fastest->metres_per_second) : std::nullopt;
     }},
    {"lowest",
     [](const Figures& f) { return f.elevation ? std::optional(f.elevation->low) : std::nullopt; }},
    {"climb", [](const Figures& f) { return f.climb; }},
    {"hr", [](const Figures& f) { return f.heart_rate.average.Value(); }},
    {"hr max",
     [](const Figures& f) {
         return f.heart_rate.range ? std::optional(f.heart_rate.range->high) : std::nullopt;
     }},
    {"cadence", [](const Figures& f) { return f.cadence.average.Value(); }},
    {"power", [](const Figures& f) { return f.power.average.Value(); }},
    {"np", [](const Figures& f) { return f.NormalisedWatts(); }},
    {"temperature", [](const Figures& f) { return f.temperature.average.Value(); }},
    {"zero time", [](const Figures& f) { return static_cast<double>(f.findings.zero_time_legs); }},
    {"jumps", [](const Figures& f) { return static_cast<double>(f.findings.jumps); }},
    {"unmeasured",
     [](const Figures& f) { return static_cast<double>(f.findings.unmeasured_legs); }},
};

struct Definition {
    const char* what;
    std::vector<track::Point> points;
    std::vector<std::pair<const char*, double>> expected;  // figure, value or kNone
};

const track::Field kHr = track::kHeartRate;
const track::Field kCad = track::kCadence;
const track::Field kWatts = track::kPower;

const Definition kDefinitions[] = {
    // Two segments of 100 m in 10 s, 80 s apart: the break adds no leg.
    {"segments and breaks",
     {At(0, 0), At(100, 10), Begins(At(300, 90)), At(400, 100)},
     {{"segments", 2},
      {"distance", 200},
      {"duration", 100},
      {"moving", 20},
      {"stopped", 80},
      {"breaks", 80},
      {"average", 10}}},
    // A treadmill: no positions, the device's distance in its place.
    {"device distance",
     {With(Unplaced(0), track::kDistance, 5), With(Unplaced(10), track::kDistance, 35),
      With(Unplaced(20), track::kDistance, 65)},
     {{"distance", 60}, {"average", 3}}},
    {"a new track begins a segment",
     {At(0, 0), At(100, 10),
      [] {
          track::Point p = At(300, 90);
          p.begins_track = true;
          return p;
      }(),
      At(400, 100)},
     {{"segments", 2}, {"distance", 200}, {"breaks", 80}}},
    // A log of two points a second: no leg takes no time.
    {"fractions of a second",
     {At(0, 0), At(5, 0.5), At(10, 1.0), At(10, 1.0)},
     {{"duration", 1.0}, {"moving", 1.0}, {"zero time", 1}, {"average", 10}}},
    // A mile in 5 s is a jump: in no distance, time or speed.
    {"jump",
     {At(0, 0), At(kMile, 5), At(kMile + 100, 15)},
     {{"jumps", 1}, {"distance", 100}, {"moving", 10}, {"average", 10}, {"max", 10}}},
    // An untimed leg adds distance but no time to the average speed.
    {"average speed over legs with a time",
     {At(0, 0), At(100, 10), At(1000, std::nullopt)},
     {{"distance", 1000}, {"average", 10}, {"duration", 10}}},
    {"max speed never spans a break",
     {At(0, 0), At(300, 6), Begins(At(300, 7)), At(600, 13)},
     {{"max", kNone}, {"distance", 600}}},
    {"max speed never spans a jump",
     {At(0, 0), At(300, 6), At(300 + kMile, 7), At(600 + kMile, 13)},
     {{"max", kNone}, {"jumps", 1}}},
    // 100 m, no elevation, 110 m: the missing one is not 0.
    {"absent elevation",
     {With(At(0, 0), track::kElevation, 100), At(10, 10), With(At(20, 20), track::kElevation, 110)},
     {{"lowest", 100}, {"climb", 10}}},
    // 100, 103 | 106: the reference of 100 m carries across the break.
    {"dead band across a break",
     {With(At(0, 0), track::kElevation, 100), With(At(10, 10), track::kElevation, 103),
      Begins(With(At(20, 20), track::kElevation, 106))},
     {{"climb", 6}}},
    // Legs of 10 s and 30 s at 120 and 150 bpm (the first point starts no leg).
    {"heart rate weighs time",
     {With(At(0, 0), kHr, 90), With(At(100, 10), kHr, 120), With(At(400, 40), kHr, 150)},
     {{"hr", 142.5}, {"hr max", 150}}},
    // Moving legs of cadence 80 (10 s) and 100 (30 s); a standstill at 90
    // and a moving leg at 0 do not count.
    {"cadence over moving legs above 0",
     {At(0, 0), With(At(100, 10), kCad, 80), With(At(100, 20), kCad, 90),
      With(At(200, 30), kCad, 0), With(At(500, 60), kCad, 100)},
     {{"cadence", 95}}},
    // 20 s of 100 W and 40 s of 250 W. The rolling averages of seconds 30
    // to 60: 150 W rising by 5 W a second to 250 W at 50, then 250 W.
    {"power and normalised power",
     {With(At(0, 0), kWatts, 0), With(At(100, 20), kWatts, 100), With(At(400, 60), kWatts, 250)},
     {{"power", 200},
      {"np",
       [] {
           double sum = 10 * std::pow(250.0, 4);
           for (int k = 0; k <= 20; ++k) {
               sum += std::pow(150.0 + 5 * k, 4);
           }
           return std::pow(sum / 31, 0.25);
       }()}}},
    {"normalised power needs 30 s",
     {With(At(0, 0), kWatts, 200), With(At(100, 29.5), kWatts, 200)},
     {{"power", 200}, {"np", kNone}}},
    {"temperature of the points",
     {With(At(0, 0), track::kTemperature, 10), With(At(1, 1), track::kTemperature, 20), At(2, 2),
      With(At(3, 3), track::kTemperature, 15)},
     {{"temperature", 15}}},
    // 100 m, 20 s without a position (whose device count says 900 m), 100
    // m: measured from place to place, the time of the gap moving with them.
    {"a gap between places",
     {At(0, 0), At(100, 10), With(Unplaced(20), track::kDistance, 0),
      With(Unplaced(25), track::kDistance, 900), At(300, 30), At(400, 40)},
     {{"distance", 400}, {"moving", 40}, {"average", 10}, {"unmeasured", 0}}},
    // A pause inside the gap: no leg across it, the stretch after it alone.
    {"a pause in a gap",
     {At(0, 0), At(100, 10), Unplaced(20), Begins(Unplaced(50)), At(300, 60), At(400, 70)},
     {{"distance", 200}, {"breaks", 30}, {"moving", 20}}},
    // A track that ends indoors: the device's count after the last place.
    {"a gap to the end",
     {At(0, 0), At(100, 10), With(Unplaced(20), track::kDistance, 50),
      With(Unplaced(30), track::kDistance, 150)},
     {{"distance", 200}, {"moving", 30}, {"average", 200.0 / 30}}},
    // An indoor ride: no position, still a duration and sensor figures.
    {"points without a position",
     {With(Unplaced(0), kHr, 100), With(Unplaced(30), kHr, 120), With(Unplaced(60), kHr, 140)},
     {{"duration", 60}, {"hr", 130}, {"distance", 0}, {"unmeasured", 0}, {"moving", 0}}},
};

TEST(Summary, EveryDefinitionOnATrackMadeForIt) {
    for (const Definition& definition : kDefinitions) {
        SCOPED_TRACE(definition.what);
        Settings settings;
        settings.stop_metres_per_second = 0.44704;  // 1 mph
        const Figures figures = Summarise(definition.points, settings);
        for (const auto& [name, expected] : definition.expected) {
            const auto figure = std::find_if(kFigures.begin(), kFigures.end(), [&](const auto& f) {
                return f.first == std::string(name);
            });
            ASSERT_NE(figure, kFigures.end()) << name;
            const std::optional<double> actual = figure->second(figures);
            if (std::isnan(expected)) {
                EXPECT_FALSE(actual) << name << ": " << actual.value_or(0);
            } else {
                ASSERT_TRUE(actual) << name;
                // Lengths on the meridian are the 100 m constant's to 1e-8.
                EXPECT_NEAR(*actual, expected, 1e-6 * std::max(1.0, std::fabs(expected))) << name;
            }
        }
    }
}

// A random ride: steps of a few metres at fractional times, standstills,
// segment breaks, and heart rate and power most of the time.
std::vector<track::Point> RandomRide(std::mt19937_64& random, int count) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<track::Point> points;
    double metres = 0.0;
    double seconds = 0.0;
    for (int i = 0; i < count; ++i) {
        const double roll = unit(random);
        seconds += roll < 0.05 ? 40.0 + 300.0 * unit(random) : 0.1 + 3.0 * unit(random);
        metres += roll < 0.2 ? 0.0 : 30.0 * unit(random);
        track::Point point = At(metres, seconds);
        point.begins_segment = i > 0 && roll < 0.03;
        if (unit(random) < 0.9) {
            point.Set(track::kHeartRate, std::floor(90 + 90 * unit(random)));
        }
        if (unit(random) < 0.9) {
            point.Set(track::kPower, std::floor(400 * unit(random)));
        }
        points.push_back(point);
    }
    return points;
}

// Normalised power the slow way: each second of time with power averaged
// from every leg that overlaps it, every window of 30 s summed afresh.
TEST(Summary, NormalisedPowerAgreesWithABruteForceOnRandomRides) {
    std::mt19937_64 random(21);
    for (int ride = 0; ride < 40; ++ride) {
        const std::vector<track::Point> points = RandomRide(random, 20 + ride * 10);
        std::vector<std::pair<double, double>> held;  // watts, seconds
        for (std::size_t k = 1; k < points.size(); ++k) {
            const double dt = points[k].time.SecondsSince(points[k - 1].time);
            if (!points[k].begins_segment && points[k].Has(track::kPower)) {
                held.emplace_back(points[k].power, dt);
            }
        }
        std::vector<double> per_second;
        double from = 0.0;
        for (const auto& [watts, dt] : held) {
            from += dt;
        }
        per_second.assign(static_cast<std::size_t>(std::floor(from + 1e-9)), 0.0);
        for (std::size_t s = 0; s < per_second.size(); ++s) {
            double at = 0.0;
            for (const auto& [watts, dt] : held) {
                const double overlap = std::min(at + dt, s + 1.0) - std::max(at, double(s));
                per_second[s] += overlap > 0 ? watts * overlap : 0.0;
                at += dt;
            }
        }
        double sum = 0.0;
        int count = 0;
        for (std::size_t s = 29; s < per_second.size(); ++s) {
            double window = 0.0;
            for (std::size_t w = s - 29; w <= s; ++w) {
                window += per_second[w];
            }
            sum += std::pow(window / 30, 4);
            ++count;
        }
        SCOPED_TRACE(ride);
        const std::optional<double> np = Summarise(points).NormalisedWatts();
        ASSERT_EQ(np.has_value(), count > 0);
        if (np) {
            EXPECT_NEAR(*np, std::pow(sum / count, 0.25), 1e-6);
        }
    }
}

// Splits the slow way: for each split, the share of every leg that lies in
// it, and the breaks that fall in it.
TEST(Summary, SplitsAgreeWithABruteForceOnRandomRides) {
    std::mt19937_64 random(42);
    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    Settings settings;
    settings.stop_metres_per_second = 1.0;
    settings.split_metres = 250.0;
    for (int ride = 0; ride < 30; ++ride) {
        const std::vector<track::Point> points = RandomRide(random, 50 + ride * 5);
        struct Leg {
            double from, length, seconds;
            bool moving;
            double bpm;  // NaN without
        };
        std::vector<Leg> legs;
        double along = 0.0;
        for (std::size_t k = 1; k < points.size(); ++k) {
            const track::Point& a = points[k - 1];
            const track::Point& b = points[k];
            const double dt = b.time.SecondsSince(a.time);
            const double bpm = b.Has(track::kHeartRate) ? b.heart_rate : kNone;
            if (b.begins_segment) {
                legs.push_back(Leg{along, 0.0, dt, false, kNone});
                continue;
            }
            const double length =
                a.latitude == b.latitude
                    ? 0.0
                    : earth.GetSurfaceDistance(CPolarCoordinate(a.latitude, 0),
                                               CPolarCoordinate(b.latitude, 0), nullptr, nullptr);
            legs.push_back(Leg{along, length, dt, length / dt > 1.0, bpm});
            along += length;
        }
        const std::size_t count = static_cast<std::size_t>(std::ceil(along / 250.0));
        const Figures figures = Summarise(points, settings);
        SCOPED_TRACE(ride);
        ASSERT_EQ(figures.splits.size(), count);
        for (std::size_t s = 0; s < count; ++s) {
            const double low = 250.0 * s;
            const double high = std::min(250.0 * (s + 1), along);
            double seconds = 0.0, moving = 0.0, beats = 0.0, weight = 0.0;
            for (const Leg& leg : legs) {
                double share = 0.0;
                if (leg.length > 0) {
                    share = std::max(0.0, std::min(leg.from + leg.length, high) -
                                              std::max(leg.from, low)) /
                            leg.length;
                } else {  // a standstill or a break: in the split it lies in
                    share = leg.from >= low && (leg.from < high || s + 1 == count) ? 1.0 : 0.0;
                }
                seconds += share * leg.seconds;
                moving += leg.moving ? share * leg.seconds : 0.0;
                if (!std::isnan(leg.bpm)) {
                    beats += share * leg.seconds * leg.bpm;
                    weight += share * leg.seconds;
                }
            }
            const trackinfo::Split& split = figures.splits[s];
            EXPECT_NEAR(split.metres, high - low, 1e-6);
            EXPECT_NEAR(split.seconds, seconds, 1e-6) << s;
            EXPECT_NEAR(split.moving_seconds, moving, 1e-6) << s;
            EXPECT_NEAR(split.heart_rate.Value().value_or(0), weight > 0 ? beats / weight : 0,
                        1e-6);
        }
    }
}

}  // namespace

// Laps the slow way: each lap from a marked point to the next mark holds
// the legs that end up to that mark, and its time runs to it.
TEST(Summary, LapsAgreeWithABruteForceOnRandomRides) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    Settings settings;
    settings.stop_metres_per_second = 1.0;
    for (int ride = 0; ride < 30; ++ride) {
        std::vector<track::Point> points = RandomRide(random, 20 + ride * 7);
        std::vector<std::size_t> starts = {0};
        for (std::size_t k = 1; k < points.size(); ++k) {
            // Laps at pauses and in the middle of segments alike.
            points[k].begins_lap = unit(random) < 0.1 || (points[k].begins_segment && k % 2 == 0);
            points[k].lap_trigger = track::LapTrigger::kDistance;
            if (points[k].begins_lap) {
                starts.push_back(k);
            }
        }
        const Figures figures = Summarise(points, settings);
        SCOPED_TRACE(ride);
        ASSERT_EQ(figures.laps.size(), starts.size());
        double metres_sum = 0.0;
        for (std::size_t lap = 0; lap < starts.size(); ++lap) {
            const std::size_t first = starts[lap];
            const std::size_t end = lap + 1 < starts.size() ? starts[lap + 1] : points.size() - 1;
            double metres = 0.0, moving = 0.0, beats = 0.0, weight = 0.0;
            double most = points[first].Has(kHr) ? points[first].heart_rate : 0.0;
            for (std::size_t k = first + 1; k <= end; ++k) {
                const track::Point& a = points[k - 1];
                const track::Point& b = points[k];
                most = std::max(most, b.Has(kHr) ? b.heart_rate : 0.0);
                if (b.begins_segment) {
                    continue;
                }
                const double dt = b.time.SecondsSince(a.time);
                const double length = a.latitude == b.latitude
                                          ? 0.0
                                          : earth.GetSurfaceDistance(
                                                CPolarCoordinate(a.latitude, 0),
                                                CPolarCoordinate(b.latitude, 0), nullptr, nullptr);
                metres += length;
                moving += length / dt > 1.0 ? dt : 0.0;
                if (b.Has(kHr)) {
                    beats += b.heart_rate * dt;
                    weight += dt;
                }
            }
            const trackinfo::Lap& got = figures.laps[lap];
            EXPECT_EQ(got.start, points[first].time) << lap;
            EXPECT_NEAR(got.duration.value_or(-1),
                        points[end].time.SecondsSince(points[first].time), 1e-9);
            EXPECT_NEAR(got.metres, metres, 1e-6) << lap;
            EXPECT_NEAR(got.moving_seconds, moving, 1e-9) << lap;
            EXPECT_NEAR(got.heart_rate.average.Value().value_or(0), weight > 0 ? beats / weight : 0,
                        1e-9);
            EXPECT_EQ(got.heart_rate.range ? got.heart_rate.range->high : 0.0, most);
            EXPECT_EQ(got.ended_by, lap + 1 < starts.size() ? track::LapTrigger::kDistance
                                                            : track::LapTrigger::kUnknown);
            metres_sum += got.metres;
        }
        // The laps share the track out: nothing is counted twice or lost.
        EXPECT_NEAR(metres_sum, figures.metres, 1e-6);
    }
}
