#include "textoutput.h"

#include <charconv>
#include <cstddef>

#include "timetext.h"
#include "utf8.h"

namespace formats {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

}  // namespace

std::size_t Utf8Length(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    if (p[0] < 0x80) {
        return 1;
    }
    const int length = Utf8Sequence(p, p + text.size());
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

void TextOutput::Number(double value) {
    char digits[32];  // the longest shortest form is 24 characters ("-2.2250738585072014e-308")
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    Put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void TextOutput::Decimal(double value) {
    // Fixed notation of a subnormal takes over 300 digits.
    char digits[400];
    const std::to_chars_result result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
    Put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void TextOutput::Unsigned(std::uint64_t value) {
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    Put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void TextOutput::Time(track::Instant time) {
    char text[kMaxUtcTimeLength];
    Put(std::string_view(text, FormatUtcTime(time, text)));
}

std::string MarkupText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const char c = text.front();
        const std::size_t length = Utf8Length(text);
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '\'') {
            out += "&#39;";
        } else if (c == '\r') {
            out += "&#13;";
        } else if (length == 0 ||
                   (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')) {
            out += kReplacement;
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

std::string JsonQuoted(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.front());
        const std::size_t length = Utf8Length(text);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            out.append(escape, sizeof escape);
        } else if (length == 0) {
            out += kReplacement;
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return out + '"';
}

}  // namespace formats
