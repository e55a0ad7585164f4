#include "numbers.h"

namespace numbers {
namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

}  // namespace

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::uint32_t ParseUnsigned32(const char* text, int base, const char** end) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (base == 0) {
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
            base = 16;
            p += 2;
        } else if (p[0] == '0') {
            base = 8;
        } else {
            base = 10;
        }
    }
    const char* digits = p;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    while (DigitValue(*p) < base) {
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(*p));
        if (magnitude > 0xFFFFFFFFu) {
            overflow = true;
            magnitude = 0xFFFFFFFFu;  // keeps the arithmetic in range; the result is fixed
        }
        ++p;
    }
    if (p == digits) {
        if (end != nullptr)
            *end = text;
        return 0;
    }
    if (end != nullptr)
        *end = p;
    if (overflow) {
        return 0xFFFFFFFFu;
    }
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

std::uint32_t TruncateToLow32(double value) {
    constexpr double kTwoTo63 = 9223372036854775808.0;  // exact as a double
    if (!(value >= -kTwoTo63 && value < kTwoTo63)) {
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(value)));
}

}  // namespace numbers
