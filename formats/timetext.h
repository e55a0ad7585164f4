// Times of the text formats: UTC dates and times in the ISO 8601 form of
// GPX, KML, GeoJSON and CSV files, computed without the C library's time
// zone, so that no environment changes them.
#ifndef TRACKTOOLS_FORMATS_TIMETEXT_H
#define TRACKTOOLS_FORMATS_TIMETEXT_H

#include <cstddef>
#include <cstdint>

#include "tracktools/track/point.h"

namespace formats {

// The UTC calendar date and time of day of a Time stamp, or of seconds since
// 1970 in the years 1 to 9999.
struct CivilTime {
    unsigned year;
    unsigned month, day, hour, minute, second;
};
CivilTime CivilFromTime(std::uint32_t time);
CivilTime CivilFromSeconds(std::int64_t seconds);

// "YYYY-MM-DDThh:mm:ssZ".
constexpr std::size_t kUtcTimeLength = 20;

// Writes the UTC time of a Time stamp in kUtcTimeLength characters, without
// a terminating zero. Every 32-bit Time has a four-digit year (1970 to 2106).
void FormatUtcTime(std::uint32_t time, char* out);

// "YYYY-MM-DDThh:mm:ss.fffZ": an instant with its fraction of a second in
// the fewest digits that hold it (".25", ".123", none for a whole second).
constexpr std::size_t kMaxUtcTimeLength = 30;
// Writes the UTC time of `time` without a terminating zero and returns its
// length, at most kMaxUtcTimeLength.
std::size_t FormatUtcTime(track::Instant time, char* out);

// Days from 1970-01-01 to a date of the Gregorian calendar (negative before
// it). The date is not checked; see ValidDate.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);
bool ValidDate(std::int64_t year, unsigned month, unsigned day);

// Reads "YYYY-MM-DDThh:mm:ss" with an optional fraction of a second ("." or
// "," and any number of digits) and an optional offset ("Z", "+hh:mm",
// "+hhmm", "+hh" or with "-"), all of `text` and nothing else; "T" and "Z"
// may be lower case. Without an offset the time is UTC. Gives the seconds
// since 1970-01-01T00:00:00Z and the nanoseconds of the fraction (digits
// past the ninth are dropped). False when the text is not such a time or
// names a date or time of day that does not exist; a leap second (":60")
// counts as the first second of the next minute, as in POSIX time.
bool ParseIsoTime(const char* text, std::size_t size, std::int64_t& seconds,
                  std::uint32_t& nanoseconds);
// The same without the fraction: the second the time lies in.
bool ParseIsoTime(const char* text, std::size_t size, std::int64_t& seconds);

// True when seconds since 1970 fit a Time stamp: 1970-01-01T00:00:00Z to
// 2106-02-07T06:28:15Z.
constexpr bool FitsTime(std::int64_t seconds) {
    return seconds >= 0 && seconds <= 0xFFFFFFFFLL;
}

}  // namespace formats

#endif
