// The words of the tallies that more than one reader or writer keeps, so
// that the same kind of change reads the same whatever the format.
#ifndef TRACKTOOLS_FORMATS_TALLIES_H
#define TRACKTOOLS_FORMATS_TALLIES_H

#include <cstdint>

#include "reader.h"

namespace formats {

// Points given Time 0 because their time does not fit a Time stamp.
inline Tally TimeOutOfRange(std::uint64_t count) {
    return {count, "point with a time outside 1970 to 2106 was given Time 0",
            "points with a time outside 1970 to 2106 were given Time 0", false};
}

// Points left without a time because theirs lies outside the years a
// point keeps (see track::KeepsTime).
inline Tally TimeNotKept(std::uint64_t count) {
    return {count, "point with a time outside 1900 to 2200 was left without a time",
            "points with a time outside 1900 to 2200 were left without a time", false};
}

// Points left out because they have no position at all (a sensor's
// reading without a fix).
inline Tally SkippedWithoutPosition(std::uint64_t count) {
    return {count, "point without a position was skipped", "points without a position were skipped",
            true};
}

// Points left out because the format cannot hold their position (and
// altitude, when `altitude` is true).
inline Tally SkippedForPosition(std::uint64_t count, bool altitude) {
    if (altitude) {
        return {count, "record without a valid latitude, longitude and altitude was skipped",
                "records without a valid latitude, longitude and altitude were skipped", true};
    }
    return {count, "record without a valid latitude and longitude was skipped",
            "records without a valid latitude and longitude were skipped", true};
}

// Points written without their texts (name, description, ...), which the
// format holds for waypoints only.
inline Tally TextsNotKept(std::uint64_t count) {
    return {count, "point's name and other texts were not kept",
            "points' names and other texts were not kept", false};
}

// Tracks whose own names were not written: the format's one line of the
// tracks is named after the input.
inline Tally TrackNamesNotKept(std::uint64_t count) {
    return {count, "track's own name was not kept", "tracks' own names were not kept", false};
}

}  // namespace formats

#endif
