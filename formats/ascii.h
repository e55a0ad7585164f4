// Letters of ASCII in either case: names of formats, extensions, columns and
// declarations are matched in any case, whatever the program's locale.
#ifndef TRACKTOOLS_FORMATS_ASCII_H
#define TRACKTOOLS_FORMATS_ASCII_H

#include <cstddef>
#include <string_view>

namespace formats {

constexpr bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

constexpr char LowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `text` is `lower`, which is in lower case, in any case.
constexpr bool SameInAnyCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerCase(text[i]) != lower[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace formats

#endif
