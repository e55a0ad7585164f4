// The scene text unit on its own: the number writer against the C library's
// "%g", and what the writer does when its stream fails.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "vrmlscene.h"

namespace {

std::string Formatted(double value) {
    char text[vrml::kNumberSize];
    return std::string(text, vrml::FormatNumber(value, text));
}

std::string Printf(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

TEST(VrmlSceneNumbers, WriteWhatPrintfWritesAtTheEdgesOfEachForm) {
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -1.0,
                             0.5,
                             2.5,
                             100000.0,
                             999999.0,
                             999999.5,
                             999999.4999,
                             1e6,
                             1234567.0,
                             6378137.0,
                             -12756274.0,
                             1e-4,
                             0.0001234565,
                             9.999995e-5,
                             9.9999949e-5,
                             1e-5,
                             7.81e-10,
                             1e300,
                             1e-300,
                             5e-324,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             0.1,
                             1.0 / 3.0,
                             123456.5,
                             1234565.0,
                             2.0 / 3.0 * 1e-5,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN()};
    for (const double value : values) {
        EXPECT_EQ(Formatted(value), Printf(value)) << Printf(value);
    }
    // The forms the scene relies on, spelled out.
    EXPECT_EQ(Formatted(1.0), "1");
    EXPECT_EQ(Formatted(1000.0000000000001), "1000");
    EXPECT_EQ(Formatted(-6378137.0), "-6.37814e+06");
    EXPECT_EQ(Formatted(0.00012), "0.00012");
    EXPECT_EQ(Formatted(0.000012), "1.2e-05");
}

TEST(VrmlSceneNumbers, WriteWhatPrintfWritesForAnyDouble) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int i = 0; i < 200000; ++i) {
        // Half are any bit pattern, half are of the sizes tracks have.
        double value;
        if (i % 2 == 0) {
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
        } else {
            value = mantissa(random) * std::pow(10.0, exponent(random));
        }
        ASSERT_EQ(Formatted(value), Printf(value)) << Printf(value);
    }
}

TEST(VrmlSceneWriter, StopsAtTheFirstFailedWriteAndSaysSo) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    vrml::SceneWriter scene(full);
    scene.Header(vrml::Factors());
    EXPECT_FALSE(scene.Failed());  // still in the buffer
    // A track longer than the buffer fails while it is written.
    scene.BeginTrack("t.gpl");
    for (std::uint64_t record = 1; record <= 5000 && !scene.Failed(); ++record) {
        scene.Vertex(1.5, -2.5, 1e7, record);
    }
    EXPECT_TRUE(scene.Failed());
    EXPECT_FALSE(scene.Flush());
    std::fclose(full);

    std::FILE* null = std::fopen("/dev/null", "w");
    ASSERT_NE(null, nullptr);
    vrml::SceneWriter fine(null);
    fine.Header(vrml::Factors());
    EXPECT_TRUE(fine.Flush());
    std::fclose(null);
}

}  // namespace
