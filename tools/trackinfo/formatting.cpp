#include "formatting.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/timetext.h"

namespace trackinfo {
namespace {

std::string DateTime(std::uint32_t time, const char* form) {
    const formats::CivilTime c = formats::CivilFromTime(time);
    char text[48];
    std::snprintf(text, sizeof text, form, c.year, c.month, c.day, c.hour, c.minute, c.second);
    return text;
}

}  // namespace

std::string Fixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "-";
    }
    char text[64];
    // Beyond 10^15 the decimals say nothing: six significant digits.
    if (std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    } else {
        std::snprintf(text, sizeof text, "%.6g", value);
    }
    std::string result = text;
    if (result[0] == '-' && result.find_first_not_of("-0.") == std::string::npos) {
        result.erase(0, 1);
    }
    return result;
}

std::string Clock(std::int64_t seconds) {
    const bool negative = seconds < 0;
    // The magnitude of any difference of two 32-bit time stamps fits.
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-seconds) : static_cast<std::uint64_t>(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 3600),
                  static_cast<unsigned long long>(magnitude / 60 % 60),
                  static_cast<unsigned long long>(magnitude % 60));
    return text;
}

std::string UtcText(std::uint32_t time) {
    return DateTime(time, "%04u-%02u-%02u %02u:%02u:%02u");
}

std::string IsoTime(std::uint32_t time) {
    return DateTime(time, "%04u-%02u-%02uT%02u:%02u:%02uZ");
}

std::string TimeOfDay(std::uint32_t time) {
    const formats::CivilTime c = formats::CivilFromTime(time);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u", c.hour, c.minute);
    return text;
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

std::string JsonString(const std::string& text) {
    return formats::JsonQuoted(text);
}

std::string HtmlText(const std::string& text) {
    return formats::MarkupText(text);
}

std::string ValidUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t length = formats::Utf8Length(rest);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            rest.remove_prefix(1);
        } else {
            out += rest.substr(0, length);
            rest.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace trackinfo
