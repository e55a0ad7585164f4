// The fastest stretch of 10 s or more against a search of every pair of
// records, and the bounded memory of the summary when time stands still.
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

// A record as the window sees it: a leg of `metres` to a record at `time`,
// or the start of a new run.
struct Step {
    bool restart;
    double metres;
    std::uint32_t time;
};

// Every pair of records of every run, the slow way.
double BestByEveryPair(const std::vector<Step>& steps) {
    double best = -1.0;
    std::vector<std::pair<std::uint32_t, double>> run;  // time, distance along
    for (const Step& step : steps) {
        if (step.restart) {
            run.clear();
            run.emplace_back(step.time, 0.0);
            continue;
        }
        run.emplace_back(step.time, run.back().second + step.metres);
        const auto& [end_time, end_along] = run.back();
        for (const auto& [start_time, start_along] : run) {
            const std::int64_t seconds =
                static_cast<std::int64_t>(end_time) - static_cast<std::int64_t>(start_time);
            if (seconds >= FastestStretch::kShortestSeconds) {
                best = std::max(best, (end_along - start_along) / static_cast<double>(seconds));
            }
        }
    }
    return best;
}

TEST(FastestStretch, AgreesWithEveryPairOnRandomTracks) {
    std::mt19937 random(7);
    // Mostly short steps, many of them with no time at all, now and then a
    // long leg and a new run.
    const std::uint32_t kSteps[] = {0, 0, 0, 0, 1, 1, 2, 3, 5, 9, 10, 11, 30, 600};
    for (int track = 0; track < 300; ++track) {
        std::vector<Step> steps;
        std::uint32_t time = 1000;
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
                window.Restart(step.time);
            } else {
                window.Extend(step.metres, step.time);
            }
        }
        const double expected = BestByEveryPair(steps);
        SCOPED_TRACE(track);
        ASSERT_EQ(window.Found(), expected >= 0.0);
        if (expected >= 0.0) {
            EXPECT_DOUBLE_EQ(window.MetresPerSecond(), expected);
            EXPECT_GE(window.EndTime() - window.StartTime(), 10u);
        }
    }
}

TEST(FastestStretch, BreaksAndRunsThatNeverLastTenSeconds) {
    FastestStretch window;
    window.Restart(100);
    window.Extend(50, 105);
    window.Break();
    // A leg without a start begins a new run at its end.
    window.Extend(70, 110);
    window.Extend(70, 119);
    EXPECT_FALSE(window.Found());
    window.Extend(10, 120);
    EXPECT_TRUE(window.Found());
    EXPECT_DOUBLE_EQ(window.MetresPerSecond(), 8.0);
    EXPECT_EQ(window.StartTime(), 110u);
    EXPECT_EQ(window.EndTime(), 120u);
}

// A receiver that logs without a clock: a million records of one second,
// then the track goes on. The window holds moments, not records, and the
// summary and the drawing allocate nothing per record.
TEST(FastestStretch, TimeStandingStillAllocatesNothing) {
    trackinfo::Settings settings;
    settings.stop_metres_per_second = 0.44704;
    trackinfo::Summary summary(settings);
    trackinfo::TrackExtents extents;
    GPL_Data_Point point(10.0, 20.0, 100.0, 0.0, 0.0, 5000u);
    extents.Add(point);
    trackinfo::TrackDrawing drawing(extents, trackinfo::Figures{}, settings);
    FastestStretch window;
    window.Restart(5000);
    const std::uint64_t before = allocations;
    for (int i = 0; i < 1000000; ++i) {
        point.Latitude = 10.0 + (i % 1000) * 1e-6;
        summary.Add(point);
        drawing.Add(point);
        window.Extend(0.125, 5000);
    }
    for (std::uint32_t i = 1; i <= 20; ++i) {
        window.Extend(10.0, 5000 + i);
    }
    EXPECT_EQ(allocations, before);
    // All of the standstill's 125 km lead into the first second.
    EXPECT_DOUBLE_EQ(window.MetresPerSecond(), (1000000 * 0.125 + 100.0) / 10.0);
    EXPECT_EQ(summary.Result().points, 1000000u);
    EXPECT_EQ(summary.Result().findings.zero_time_legs, 999999u);
}

}  // namespace
