#include "formatting.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/timetext.h"

namespace trackinfo {
namespace {

// The calendar and clock of a time in UTC or in the zone TZ names, with the
// offset from UTC in seconds.
bool Civil(track::Instant time, bool local, std::tm& civil, long& offset) {
    const std::time_t seconds = static_cast<std::time_t>(time.Seconds());
    if (local) {
        if (::localtime_r(&seconds, &civil) == nullptr) {
            return false;
        }
        offset = civil.tm_gmtoff;
        return true;
    }
    offset = 0;
    return ::gmtime_r(&seconds, &civil) != nullptr;
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

std::string Clock(double seconds) {
    if (!std::isfinite(seconds)) {
        return "-";
    }
    const bool negative = seconds < 0;
    const auto magnitude = static_cast<std::uint64_t>(std::llround(std::fabs(seconds)));
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu", negative && magnitude > 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 3600),
                  static_cast<unsigned long long>(magnitude / 60 % 60),
                  static_cast<unsigned long long>(magnitude % 60));
    return text;
}

std::string Pace(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= 1e9) {
        return "-";
    }
    const auto whole = static_cast<std::uint64_t>(std::llround(seconds));
    char text[40];
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(whole / 60),
                  static_cast<unsigned long long>(whole % 60));
    return text;
}

std::string TimeStyle::Format(track::Instant time) const {
    std::tm civil{};
    long offset = 0;
    if (!Civil(time, local_, civil, offset)) {
        return "-";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", civil.tm_year + 1900,
                  civil.tm_mon + 1, civil.tm_mday, civil.tm_hour, civil.tm_min, civil.tm_sec);
    return text;
}

std::string TimeStyle::Text(track::Instant time) const {
    std::string text = Format(time);
    if (!local_) {
        return text + " UTC";
    }
    std::tm civil{};
    long offset = 0;
    Civil(time, true, civil, offset);
    char zone[48];
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    std::snprintf(zone, sizeof zone, " %c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text + zone;
}

std::string TimeStyle::Seconds(track::Instant time) const {
    const std::string text = Format(time);
    return text.substr(text.find(' ') + 1);
}

std::string TimeStyle::Minutes(track::Instant time) const {
    return Seconds(time).substr(0, 5);
}

std::string TimeStyle::Date(track::Instant time) const {
    return Format(time).substr(0, 10);
}

std::string IsoTime(track::Instant time) {
    char text[formats::kMaxUtcTimeLength];
    return std::string(text, formats::FormatUtcTime(time, text));
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
