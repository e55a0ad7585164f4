// Times and durations as trackedit reads them from its command line, and
// the days of the local time zone (the one TZ names).
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_TIMEARG_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_TIMEARG_H

#include <cstdint>
#include <string>

#include "tracktools/track/point.h"

namespace trackedit {

// "YYYY-MM-DD", then optionally "T" (or a blank) and "hh:mm", ":ss" and a
// fraction of up to nine digits; then optionally an offset: "Z", "+hh:mm",
// "+hhmm", "+hh" or the same with "-". Without an offset the time is a
// local time of the zone TZ names; one that a change of clocks skips is
// refused, and one that occurs twice is the earlier. The years 1900 to
// 2200. False, with `problem` saying why, for anything else.
bool ParseTime(const std::string& text, track::Instant& instant, std::string& problem);

// A number of seconds, "-" allowed, with a fraction of up to nine digits,
// exactly in nanoseconds; its size at most `limit` seconds.
bool ParseSeconds(const std::string& text, std::int64_t limit, std::int64_t& nanoseconds);

// The local day (in the zone TZ names) that an instant lies in, as days
// since 1970-01-01; it changes at local midnight.
std::int64_t LocalDay(track::Instant instant);

}  // namespace trackedit

#endif
