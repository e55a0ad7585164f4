#include "numbers.h"

#include <charconv>
#include <cstdlib>
#include <system_error>

namespace formats {
namespace {

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

}  // namespace

NumberReader::~NumberReader() {
    if (c_locale_ != static_cast<locale_t>(nullptr)) {
        ::freelocale(c_locale_);
    }
}

bool NumberReader::Read(std::string_view text, double& value) {
    // from_chars and strtod agree on an optional minus, digits with an
    // optional point and an optional exponent, and round alike (correctly);
    // the text must start so, which leaves out "inf" and "nan", whose forms
    // and signs the two may take differently.
    const char* start = text.data();
    const char* end = start + text.size();
    const char* first = start != end && *start == '-' ? start + 1 : start;
    if (first != end && IsDigitOrPoint(*first)) {
        double parsed;
        const std::from_chars_result result =
            std::from_chars(start, end, parsed, std::chars_format::general);
        // Out of range (strtod's infinity or zero) and anything after the
        // number are strtod's to settle.
        if (result.ec == std::errc()) {
            const char* rest = result.ptr;
            while (rest != end && IsXmlSpace(*rest)) {
                ++rest;
            }
            if (rest == end) {
                value = parsed;
                return true;
            }
        }
    }
    return ReadWithLocale(text, value);
}

bool NumberReader::ReadWithLocale(std::string_view text, double& value) {
    if (c_locale_ == static_cast<locale_t>(nullptr)) {
        c_locale_ = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    }
    // strtod wants the text zero-terminated; the copy's capacity is reused.
    copy_.assign(text.data(), text.size());
    const char* zero_terminated = copy_.c_str();
    char* after = nullptr;
    // Without memory for a locale object, the program's own, which the
    // programs leave at "C".
    value = c_locale_ != static_cast<locale_t>(nullptr)
                ? ::strtod_l(zero_terminated, &after, c_locale_)
                : std::strtod(zero_terminated, &after);
    if (after == zero_terminated) {
        return false;
    }
    while (IsXmlSpace(*after)) {
        ++after;
    }
    return *after == '\0';
}

}  // namespace formats
