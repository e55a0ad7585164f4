#include "sport.h"

#include <cstddef>

#include "point.h"

namespace track {
namespace {

// FIT's sports, by their numbers.
constexpr std::string_view kNames[] = {
    "generic",
    "running",
    "cycling",
    "transition",
    "fitness_equipment",
    "swimming",
    "basketball",
    "soccer",
    "tennis",
    "american_football",
    "training",
    "walking",
    "cross_country_skiing",
    "alpine_skiing",
    "snowboarding",
    "rowing",
    "mountaineering",
    "hiking",
    "multisport",
    "paddling",
    "flying",
    "e_biking",
    "motorcycling",
    "boating",
    "driving",
    "golf",
    "hang_gliding",
    "horseback_riding",
    "hunting",
    "fishing",
    "inline_skating",
    "rock_climbing",
    "sailing",
    "ice_skating",
    "sky_diving",
    "snowshoeing",
    "snowmobiling",
    "stand_up_paddleboarding",
    "surfing",
    "wakeboarding",
    "water_skiing",
    "kayaking",
    "rafting",
    "windsurfing",
    "kitesurfing",
};
constexpr std::size_t kNamed = sizeof kNames / sizeof kNames[0];

// Other words for them.
constexpr struct {
    std::string_view word;
    std::uint8_t sport;
} kWords[] = {
    {"biking", kCycling}, {"bike", kCycling},          {"bicycle", kCycling},
    {"ride", kCycling},   {"road_biking", kCycling},   {"mountain_biking", kCycling},
    {"run", kRunning},    {"trail_running", kRunning}, {"walk", kWalking},
    {"hike", kHiking},    {"swim", kSwimming},         {"other", kGenericSport},
};

// Lower case, with spaces and dashes as underscores.
bool SameWord(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        c = c >= 'A' && c <= 'Z'   ? static_cast<char>(c - 'A' + 'a')
            : c == ' ' || c == '-' ? '_'
                                   : c;
        if (c != word[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string_view SportName(std::uint8_t sport) {
    return sport < kNamed ? kNames[sport] : std::string_view();
}

std::uint8_t SportNamed(std::string_view name) {
    for (std::size_t i = 0; i < kNamed; ++i) {
        if (SameWord(name, kNames[i])) {
            return static_cast<std::uint8_t>(i);
        }
    }
    for (const auto& other : kWords) {
        if (SameWord(name, other.word)) {
            return other.sport;
        }
    }
    return kUnknownSport;
}

}  // namespace track
