// The names of sports, by the numbers FIT gives them (see track::Point's
// sport): what every format's words for a sport map to, and back.
#ifndef TRACKTOOLS_TRACK_SPORT_H
#define TRACKTOOLS_TRACK_SPORT_H

#include <cstdint>
#include <string_view>

namespace track {

// FIT's sport numbers that other formats name too.
enum SportNumber : std::uint8_t {
    kGenericSport = 0,
    kRunning = 1,
    kCycling = 2,
    kTransition = 3,
    kSwimming = 5,
    kWalking = 11,
    kHiking = 17,
    kMultisport = 18,
};

// "running", "cycling", ...: FIT's name of the sport, lower case with
// underscores; "" for a number it does not name (and for kUnknownSport).
std::string_view SportName(std::uint8_t sport);

// The sport a word names, in any case: FIT's names, and the words other
// formats and programs use for them ("Biking", "ride", "run", "hike",
// "mountain biking"); kUnknownSport for any other.
std::uint8_t SportNamed(std::string_view name);

}  // namespace track

#endif
