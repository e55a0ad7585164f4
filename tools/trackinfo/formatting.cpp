#include "formatting.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace trackinfo {
namespace {

struct CivilTime {
    std::int64_t year;
    unsigned month, day, hour, minute, second;
};

// The calendar date of a day count since 1970-01-01 (proleptic Gregorian),
// by eras of 400 years; no time zone or locale takes part.
CivilTime Civil(std::uint32_t time) {
    const std::int64_t days = time / 86400;
    const std::int64_t second_of_day = time % 86400;
    const std::int64_t z = days + 719468;
    const std::int64_t era = z / 146097;
    const std::int64_t day_of_era = z - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
    CivilTime civil{};
    civil.day = static_cast<unsigned>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    civil.month = static_cast<unsigned>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    civil.year = year_of_era + era * 400 + (civil.month <= 2 ? 1 : 0);
    civil.hour = static_cast<unsigned>(second_of_day / 3600);
    civil.minute = static_cast<unsigned>(second_of_day / 60 % 60);
    civil.second = static_cast<unsigned>(second_of_day % 60);
    return civil;
}

std::string DateTime(std::uint32_t time, const char* form) {
    const CivilTime c = Civil(time);
    char text[48];
    std::snprintf(text, sizeof text, form, static_cast<long long>(c.year), c.month, c.day, c.hour,
                  c.minute, c.second);
    return text;
}

// The length of the UTF-8 character that starts `text[at]`, or 0 when the
// bytes there are not one (overlong forms and surrogates included).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) {
            return 0;
        }
    }
    return length;
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
    return DateTime(time, "%04lld-%02u-%02u %02u:%02u:%02u");
}

std::string IsoTime(std::uint32_t time) {
    return DateTime(time, "%04lld-%02u-%02uT%02u:%02u:%02uZ");
}

std::string TimeOfDay(std::uint32_t time) {
    const CivilTime c = Civil(time);
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
    const std::string valid = ValidUtf8(text);
    std::string out = "\"";
    for (const char c : valid) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string HtmlText(const std::string& text) {
    const std::string valid = ValidUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (const char c : valid) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                // Control characters are not allowed in HTML or XML text.
                out += (byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F ? '?' : c;
        }
    }
    return out;
}

std::string ValidUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Length(text, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
    return out;
}

}  // namespace trackinfo
