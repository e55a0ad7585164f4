// The fastest stretch of 10 s or more against a search of every pair of
// points, and the bounded memory of the summary when time stands still.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "fastest.h"
#include "plot.h"
#include "summary.h"

// Counts the allocations of the whole program, to show that feeding records
// allocates nothing.
namespace {
std::uint64_t allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using trackinfo::FastestStretch;

// A point as the window sees it: a leg of `metres` to a point at `time`
// (milliseconds), or the start of a new run.
struct Step {
    bool restart;
    double metres;
    std::int64_t time;
};

track::Instant Ms(std::int64_t milliseconds) {
    return track::Instant::FromNanoseconds(milliseconds * 1000000);
}

// Every pair of records of every run, the slow way.
double BestByEveryPair(const std::vector<Step>& steps) {
    double best = -1.0;
    std::vector<std::pair<std::int64_t, double>> run;  // time, distance along
    for (const Step& step : steps) {
        if (step.restart) {
            run.clear();
            run.emplace_back(step.time, 0.0);
            continue;
        }
        run.emplace_back(step.time, run.back().second + step.metres);
        const auto& [end_time, end_along] = run.back();
        for (const auto& [start_time, start_along] : run) {
            const std::int64_t milliseconds = end_time - start_time;
            if (milliseconds >= FastestStretch::kShortestSeconds * 1000) {
                best = std::max(best, (end_along - start_along) / (milliseconds / 1000.0));
            }
        }
    }
    return best;
}

TEST(FastestStretch, AgreesWithEveryPairOnRandomTracks) {
    std::mt19937 random(7);
    // Mostly short steps, many of them with no time at all, fractions of a
    // second, now and then a long leg and a new run.
    const std::int64_t kSteps[] = {0,     0,     0,     0,      1000, 1000, 2000, 3000, 5000, 9000,
                                   10000, 11000, 30000, 600000, 250,  100,  1500, 9999, 10001};
    for (int track = 0; track < 300; ++track) {
        std::vector<Step> steps;
        std::int64_t time = 1000000;
        steps.push_back(Step{true, 0.0, time});
        const int length = 1 + static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            time += kSteps[random() % (sizeof kSteps / sizeof kSteps[0])];
            const bool restart = random() % 60 == 0;
            steps.push_back(Step{restart, static_cast<double>(random() % 1000) / 10.0, time});
        }
        FastestStretch window;
        for (const Step& step : steps) {
            if (step.restart) {
                window.Restart(Ms(step.time));
            } else {
                window.Extend(step.metres, Ms(step.time));
            }
        }
        const double expected = BestByEveryPair(steps);
        SCOPED_TRACE(track);
        ASSERT_EQ(window.Found(), expected >= 0.0);
        if (expected >= 0.0) {
            EXPECT_NEAR(window.MetresPerSecond(), expected, expected * 1e-12);
            EXPECT_GE(window.EndTime().SecondsSince(window.StartTime()), 10.0);
        }
    }
}

TEST(FastestStretch, BreaksAndRunsThatNeverLastTenSeconds) {
    FastestStretch window;
    window.Restart(Ms(100000));
    window.Extend(50, Ms(105000));
    window.Break();
    // A leg without a start begins a new run at its end.
    window.Extend(70, Ms(110000));
    window.Extend(70, Ms(119999));
    EXPECT_FALSE(window.Found());
    window.Extend(10, Ms(120000));
    EXPECT_TRUE(window.Found());
    EXPECT_DOUBLE_EQ(window.MetresPerSecond(), 8.0);
    EXPECT_EQ(window.StartTime(), Ms(110000));
    EXPECT_EQ(window.EndTime(), Ms(120000));
}

// A receiver that logs without a clock: a million points of one second,
// then the track goes on. The window holds moments, not points, and the
// summary (with its sensors) and the drawing allocate nothing per point.
TEST(FastestStretch, TimeStandingStillAllocatesNothing) {
    trackinfo::Settings settings;
    settings.stop_metres_per_second = 0.44704;
    trackinfo::Summary summary(settings);
    trackinfo::TrackExtents extents;
    track::Point point;
    point.SetPosition(10.0, 20.0);
    point.SetTime(Ms(5000000));
    for (const track::Field field : {track::kElevation, track::kHeartRate, track::kCadence,
                                     track::kPower, track::kTemperature}) {
        point.Set(field, 100.0);
    }
    extents.Add(point);
    trackinfo::TrackDrawing drawing(extents, trackinfo::Figures{}, settings);
    FastestStretch window;
    window.Restart(Ms(5000000));
    const std::uint64_t before = allocations;
    for (int i = 0; i < 1000000; ++i) {
        point.latitude = 10.0 + (i % 1000) * 1e-6;
        summary.Add(point);
        drawing.Add(point);
        window.Extend(0.125, Ms(5000000));
    }
    for (std::int64_t i = 1; i <= 20; ++i) {
        window.Extend(10.0, Ms(5000000 + 1000 * i));
    }
    EXPECT_EQ(allocations, before);
    // All of the standstill's 125 km lead into the first second.
    EXPECT_DOUBLE_EQ(window.MetresPerSecond(), (1000000 * 0.125 + 100.0) / 10.0);
    EXPECT_EQ(summary.Result().points, 1000000u);
    EXPECT_EQ(summary.Result().findings.zero_time_legs, 999999u);
}

}  // namespace
