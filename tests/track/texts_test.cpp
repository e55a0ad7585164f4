// The texts of a point against a plain map of them, through random sets.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "tracktools/track/point.h"

namespace {

using track::Text;

TEST(Texts, HoldWhatWasSetLastInAnyOrderAndPackAlikeWhenEqual) {
    std::mt19937 random(7);
    const std::string words[] = {"", "Hut", "Spring at 1920 m", std::string("a\0b", 3),
                                 std::string(300, 'x')};
    for (int round = 0; round < 200; ++round) {
        track::Texts texts;
        std::map<Text, std::string> expected;
        for (int step = 0; step < 12; ++step) {
            const auto which = static_cast<Text>(random() % track::kTextCount);
            const std::string& word = words[random() % 5];
            texts.Set(which, word);
            if (word.empty()) {
                expected.erase(which);
            } else {
                expected[which] = word;
            }
        }
        track::Texts in_order;
        for (std::size_t i = 0; i < track::kTextCount; ++i) {
            const auto which = static_cast<Text>(i);
            const auto found = expected.find(which);
            const std::string want = found == expected.end() ? "" : found->second;
            EXPECT_EQ(texts.Get(which), want);
            EXPECT_EQ(texts.Has(which), !want.empty());
            in_order.Set(which, want);
        }
        EXPECT_EQ(texts, in_order);
        EXPECT_EQ(texts.Empty(), expected.empty());
    }
}

}  // namespace
