// The names of sports both ways.
#include <gtest/gtest.h>

#include "tracktools/track/point.h"
#include "tracktools/track/sport.h"

namespace {

TEST(Sports, EveryNameNamesItsNumberAndOtherWordsTheirs) {
    int named = 0;
    for (int sport = 0; sport < 256; ++sport) {
        const std::string_view name = track::SportName(static_cast<std::uint8_t>(sport));
        if (!name.empty()) {
            ++named;
            EXPECT_EQ(track::SportNamed(name), sport) << name;
        }
    }
    EXPECT_GT(named, 40);
    const struct {
        const char* word;
        std::uint8_t sport;
    } words[] = {{"Biking", track::kCycling},     {"Mountain Biking", track::kCycling},
                 {"RUNNING", track::kRunning},    {"trail-running", track::kRunning},
                 {"Other", track::kGenericSport}, {"curling", track::kUnknownSport},
                 {"", track::kUnknownSport},      {"hikes", track::kUnknownSport}};
    for (const auto& word : words) {
        EXPECT_EQ(track::SportNamed(word.word), word.sport) << word.word;
    }
}

}  // namespace
