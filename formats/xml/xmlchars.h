// The bytes of the XML that the scanner reads (see xmlscan.h): classes of
// bytes in text, attribute values and names, characters of UTF-8, the
// references to characters, and the names and runs of characters of markup.
// The small ones are inline: the scanner runs them for every byte or tag.
#ifndef TRACKTOOLS_FORMATS_XML_XMLCHARS_H
#define TRACKTOOLS_FORMATS_XML_XMLCHARS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "tracktools/formats/ascii.h"
#include "tracktools/formats/utf8.h"

namespace formats {
namespace xml {

using Byte = unsigned char;

// Names longer than this are expat's to judge: they keep the scanner's
// memory small.
constexpr std::size_t kMaxName = 1024;

// Classes of bytes in character data and in attribute values.
enum : std::uint8_t { kPlain, kFeed, kLess, kAmp, kCr, kBracket, kHigh, kBad, kBlank, kQuote };

constexpr std::array<std::uint8_t, 256> TextClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        classes[c] = c >= 0x80 ? kHigh : c >= 0x20 || c == '\t' ? kPlain : kBad;
    }
    classes['\n'] = kFeed;
    classes['<'] = kLess;
    classes['&'] = kAmp;
    classes['\r'] = kCr;
    classes[']'] = kBracket;
    return classes;
}
inline constexpr std::array<std::uint8_t, 256> kText = TextClasses();

constexpr std::array<std::uint8_t, 256> ValueClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        classes[c] = c >= 0x80 ? kHigh : c >= 0x20 ? kPlain : kBad;
    }
    classes['\t'] = classes['\n'] = classes['\r'] = kBlank;
    classes['<'] = kLess;
    classes['&'] = kAmp;
    classes['"'] = classes['\''] = kQuote;
    return classes;
}
inline constexpr std::array<std::uint8_t, 256> kValue = ValueClasses();

// Name characters of ASCII: 2 for those that may begin a name, 1 for the
// others; the colon apart.
constexpr std::array<std::uint8_t, 256> NameClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '.' || c == '-';
        classes[c] = letter ? 2 : other ? 1 : 0;
    }
    return classes;
}
inline constexpr std::array<std::uint8_t, 256> kName = NameClasses();

// Passes over blanks (up to the zero after the bytes); `irregular` is set
// by any but a space (a line end to count).
inline const Byte* SkipBlanks(const Byte* p, bool& irregular) {
    bool other = false;
    for (;; ++p) {
        if (*p != ' ') {
            if (!IsXmlSpace(*p)) {
                break;
            }
            other = true;
        }
    }
    irregular = irregular || other;
    return p;
}

// Names are compared and copied a word at a time: the window and the copies
// of names have kPadding bytes of room after their last.
inline std::uint64_t Word(const void* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The low `size` bytes of a word (size < 8).
inline std::uint64_t Low(std::size_t size) {
    return (std::uint64_t{1} << (8 * size)) - 1;
}

inline bool SameBytes(const Byte* a, const char* b, std::size_t size) {
    for (;; a += 8, b += 8, size -= 8) {
        const std::uint64_t difference = Word(a) ^ Word(b);
        if (size < 8) {
            return (difference & Low(size)) == 0;
        }
        if (difference != 0) {
            return false;
        }
    }
}

inline void CopyWords(char* to, const Byte* from, std::size_t size) {
    for (std::size_t i = 0; i < size; i += 8) {
        std::memcpy(to + i, from + i, 8);
    }
}

enum class Match { kNo, kYes, kShort };

// Whether the bytes at `p` begin with `literal`; kShort when they agree as
// far as they go but end first.
inline Match StartsWith(const Byte* p, const Byte* end, std::string_view literal) {
    const std::size_t have = static_cast<std::size_t>(end - p);
    const std::size_t compared = have < literal.size() ? have : literal.size();
    if (std::memcmp(p, literal.data(), compared) != 0) {
        return Match::kNo;
    }
    return compared < literal.size() ? Match::kShort : Match::kYes;
}

// The length of the character at `p` (a byte of 0x80 or more): 0 when it is
// not well-formed UTF-8 or not a character XML allows (a surrogate, U+FFFE,
// U+FFFF), -1 when the bytes end within it.
inline int CharLength(const Byte* p, const Byte* end) {
    const int length = Utf8Sequence(p, end);
    return length == 3 && p[0] == 0xEF && p[1] == 0xBF && p[2] >= 0xBE ? 0 : length;
}

inline std::string_view View(const Byte* p, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(p), size);
}

// The reference at `p` ('&'): its length with what it stands for in `out`
// (`size` bytes); 0 for one the scanner does not take, -1 when the bytes end
// within it.
int Reference(const Byte* p, const Byte* end, char* out, int& size);

// A name of ASCII name characters with at most one colon inside, which
// is neither its first nor its last character.
enum class NameScan { kName, kMore, kGiveUp };
struct Name {
    NameScan scan;
    const Byte* end;    // the byte after it
    std::size_t colon;  // its place; 0 without one
};
// The bytes end in a zero, where a name stops: it is the end of the bytes or
// a character no name may hold.
Name ScanName(const Byte* p, const Byte* end);

// Checks the characters of a comment, a processing instruction or a CDATA
// section up to `close`: the place of `close`, or null, with `more` set when
// the bytes end before it.
const Byte* CheckChars(const Byte* p, const Byte* end, std::string_view close, bool comment,
                       bool& more);

// An attribute's value of `size` bytes at `p`, whose references the scanner
// takes, as expat gives it: references replaced, each line end or other
// blank made a space; added to `out`.
void DecodeValue(const Byte* p, std::size_t size, std::string& out);

}  // namespace xml
}  // namespace formats

#endif
