// Characters of ASCII as the formats class them, whatever the program's
// locale: digits, XML's white space, and letters in either case (names of
// formats, extensions, columns and declarations are matched in any case).
#ifndef TRACKTOOLS_FORMATS_ASCII_H
#define TRACKTOOLS_FORMATS_ASCII_H

#include <cstddef>
#include <string_view>

namespace formats {

constexpr bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// Space, tab, carriage return and line feed: XML's white space, and the
// blanks of the text formats.
constexpr bool IsXmlSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// `text` without the XML white space around it.
constexpr std::string_view TrimXmlSpace(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsXmlSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
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
