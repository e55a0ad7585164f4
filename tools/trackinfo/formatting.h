// How trackinfo writes numbers, times and names into its reports.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_FORMATTING_H
#define TRACKTOOLS_TOOLS_TRACKINFO_FORMATTING_H

#include <cstdint>
#include <string>

namespace trackinfo {

// `value` rounded to `decimals` places ("-0.0" is written "0.0"), or to six
// significant digits from 10^15 on; "-" when it is not finite.
std::string Fixed(double value, int decimals);
// Seconds as h:mm:ss, with a minus sign when negative; hours go past 24.
std::string Clock(std::int64_t seconds);
// A time stamp as "yyyy-mm-dd hh:mm:ss" in UTC, as "yyyy-mm-ddThh:mm:ssZ"
// (ISO 8601), or as "hh:mm" of its day.
std::string UtcText(std::uint32_t time);
std::string IsoTime(std::uint32_t time);
std::string TimeOfDay(std::uint32_t time);

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
