#include "numbers.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <system_error>

#include "ascii.h"

namespace formats {

namespace {

bool IsDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The number of `text` when its digits make an integer below 2^53 and its
// point and exponent a power of ten of at most 22: both are doubles exactly,
// so one multiplication or division rounds the number as strtod does. The
// end of the number in `end`; false for any other text.
bool ReadExactly(const char* text, const char* end, double& value, const char*& after) {
    const char* p = text;
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    std::uint64_t digits = 0;
    const char* first = p;
    unsigned digit;
    for (; p != end && (digit = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
        digits = digits * 10 + digit;
    }
    const char* point = p;
    if (p != end && *p == '.') {
        for (++p; p != end && (digit = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
            digits = digits * 10 + digit;
        }
    }
    // Nineteen digits cannot overflow the integer; fewer must make it exact.
    const std::ptrdiff_t count = (p - first) - (point != p ? 1 : 0);
    const std::ptrdiff_t decimals = point != p ? p - point - 1 : 0;
    if (count == 0 || count > 19 || digits >= (std::uint64_t{1} << 53) || decimals > 22) {
        return false;
    }
    if (p != end && (*p == 'e' || *p == 'E')) {
        // Exponents are left to the others, with forms such as "1e" and "1e+".
        return false;
    }
    const double magnitude = static_cast<double>(digits) / kExactPowers[decimals];
    value = negative ? -magnitude : magnitude;
    after = p;
    return true;
}

}  // namespace

NumberReader::~NumberReader() {
    if (c_locale_ != static_cast<locale_t>(nullptr)) {
        ::freelocale(c_locale_);
    }
}

bool NumberReader::Read(std::string_view text, double& value) {
    // Most numbers are read exactly here, without a call (or the registers
    // a call needs saved); the others by ReadOther.
    const char* after = nullptr;
    const char* end = text.data() + text.size();
    if (ReadExactly(text.data(), end, value, after)) {
        while (after != end && IsXmlSpace(*after)) {
            ++after;
        }
        if (after == end) {
            return true;
        }
    }
    return ReadOther(text, value);
}

bool NumberReader::ReadOther(std::string_view text, double& value) {
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
