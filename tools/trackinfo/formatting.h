// How trackinfo writes numbers, times and names into its reports.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_FORMATTING_H
#define TRACKTOOLS_TOOLS_TRACKINFO_FORMATTING_H

#include <cstdint>
#include <string>

#include "tracktools/track/point.h"

namespace trackinfo {

// `value` rounded to `decimals` places ("-0.0" is written "0.0"), or to six
// significant digits from 10^15 on; "-" when it is not finite.
std::string Fixed(double value, int decimals);
// Seconds as h:mm:ss, rounded to the second, with a minus sign when
// negative; hours go past 24.
std::string Clock(double seconds);
// Seconds per unit of distance as m:ss, rounded to the second.
std::string Pace(double seconds);

// Times as the reports print them: in UTC, or with -local in the zone TZ
// names, with its offset.
class TimeStyle {
  public:
    explicit TimeStyle(bool local = false) : local_(local) {}
    bool Local() const { return local_; }
    // "yyyy-mm-dd hh:mm:ss UTC" or "yyyy-mm-dd hh:mm:ss +hh:mm", the
    // fraction of a second dropped.
    std::string Text(track::Instant time) const;
    // "hh:mm:ss", "hh:mm" and "yyyy-mm-dd" of the day.
    std::string Seconds(track::Instant time) const;
    std::string Minutes(track::Instant time) const;
    std::string Date(track::Instant time) const;
    // "UTC" or "local time".
    const char* Zone() const { return local_ ? "local time" : "UTC"; }
    // "yyyy-mm-dd hh:mm:ss"; "-" for a time the calendar cannot hold.
    std::string Format(track::Instant time) const;

  private:
    bool local_;
};

// A time in ISO 8601 UTC, "yyyy-mm-ddThh:mm:ssZ", with its fraction of a
// second in the fewest digits (".25") when it has one.
std::string IsoTime(track::Instant time);

// The shortest decimal that reads back as `value`; "null" when it is not
// finite.
std::string JsonNumber(double value);
// A JSON string with its quotes (formats::JsonQuoted).
std::string JsonString(const std::string& text);
// Text for HTML and SVG content and attribute values (formats::MarkupText).
std::string HtmlText(const std::string& text);

// `text` with every byte that is not part of a well-formed UTF-8 character
// replaced by U+FFFD: file names are bytes, the reports are UTF-8.
std::string ValidUtf8(const std::string& text);

}  // namespace trackinfo

#endif
