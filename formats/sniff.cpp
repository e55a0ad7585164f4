#include "sniff.h"

#include <cstring>

namespace formats {
namespace {

bool StartsWith(const unsigned char* p, const unsigned char* end, const char* word) {
    const std::size_t length = std::strlen(word);
    return static_cast<std::size_t>(end - p) >= length && std::memcmp(p, word, length) == 0;
}

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Printable ASCII or a tab: what a header line of names is made of.
bool IsPlain(unsigned char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\t';
}

// The root element's name decides between GPX, KML and other XML; comments,
// the declaration and a document type before it are passed over.
Format SniffXml(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        const unsigned char* open = static_cast<const unsigned char*>(
            std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (open == nullptr || open + 1 >= end) {
            break;
        }
        const unsigned char next = open[1];
        if (next != '?' && next != '!') {
            if (StartsWith(open + 1, end, "gpx")) {
                return Format::kGpx;
            }
            if (StartsWith(open + 1, end, "kml")) {
                return Format::kKml;
            }
            return Format::kXml;
        }
        p = open + 1;
    }
    return Format::kXml;
}

// "$" and a five-letter address such as GPRMC, after an optional prefix a
// logger put in front of it on the line.
bool HoldsSentence(const unsigned char* line, const unsigned char* end) {
    const unsigned char* dollar = static_cast<const unsigned char*>(
        std::memchr(line, '$', static_cast<std::size_t>(end - line)));
    if (dollar == nullptr || end - dollar < 6) {
        return false;
    }
    for (int i = 1; i <= 5; ++i) {
        if (!IsUpper(dollar[i]) && !IsDigit(dollar[i])) {
            return false;
        }
    }
    return IsUpper(dollar[1]);
}

}  // namespace

Format SniffText(const unsigned char* bytes, std::size_t size) {
    const unsigned char* p = bytes;
    const unsigned char* const end = bytes + size;
    const bool marked = StartsWith(p, end, "\xEF\xBB\xBF");
    if (marked) {
        p += 3;
    }
    while (p < end && IsBlank(*p)) {
        ++p;
    }
    if (p == end) {
        return marked ? Format::kText : Format::kUnknown;
    }
    if (*p == '<') {
        return SniffXml(p, end);
    }
    if (*p == '{' || *p == '[') {
        return Format::kGeoJson;
    }
    // The first line that is not a comment decides; "#" lines head listings
    // and logs of every kind.
    const unsigned char* line = p;
    for (;;) {
        const unsigned char* newline = static_cast<const unsigned char*>(
            std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
        const unsigned char* line_end = newline != nullptr ? newline : end;
        if (*line == '#' && newline != nullptr && newline + 1 < end) {
            line = newline + 1;
            continue;
        }
        if (HoldsSentence(line, line_end)) {
            return Format::kNmea;
        }
        // A line of plain characters only; records would hold other bytes in
        // their doubles long before a line end.
        bool plain = true;
        bool comma = false;
        for (const unsigned char* q = line; q < line_end; ++q) {
            plain = plain && (IsPlain(*q) || (*q == '\r' && q + 1 == line_end));
            comma = comma || *q == ',';
        }
        if (plain && (newline != nullptr || line_end - line > 16)) {
            const unsigned char* q = line;
            while (q < line_end && IsDigit(*q)) {
                ++q;
            }
            if (q > line && q < line_end && *q == ':') {
                return Format::kListing;
            }
            return comma ? Format::kCsv : Format::kText;
        }
        break;
    }
    return marked ? Format::kText : Format::kUnknown;
}

}  // namespace formats
