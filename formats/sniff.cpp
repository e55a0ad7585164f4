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

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// Where the content starts: after a UTF-8 byte-order mark and white space.
const unsigned char* ContentStart(const unsigned char* p, const unsigned char* end) {
    if (StartsWith(p, end, kByteOrderMark)) {
        p += 3;
    }
    while (p < end && IsBlank(*p)) {
        ++p;
    }
    return p;
}

// The local name of the root element (its prefix passed over), or an empty
// range when the text is no XML; the declaration, comments and a document
// type before the root are passed over.
bool XmlRoot(const unsigned char* p, const unsigned char* end, const unsigned char*& name,
             std::size_t& length) {
    p = ContentStart(p, end);
    if (p == end || *p != '<') {
        return false;
    }
    name = nullptr;
    length = 0;
    while (p < end) {
        const auto* open = static_cast<const unsigned char*>(
            std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (open == nullptr || open + 1 >= end) {
            return true;
        }
        if (open[1] != '?' && open[1] != '!') {
            const unsigned char* q = open + 1;
            const unsigned char* start = q;
            while (q < end && !IsBlank(*q) && *q != '>' && *q != '/') {
                if (*q == ':') {
                    start = q + 1;
                }
                ++q;
            }
            name = start;
            length = static_cast<std::size_t>(q - start);
            return true;
        }
        p = open + 1;
    }
    return true;
}

enum class TextKind { kNone, kNmea, kListing, kCsv, kText };

// "$" and a five-letter address such as GPRMC, after an optional prefix a
// logger put in front of it on the line.
bool HoldsSentence(const unsigned char* line, const unsigned char* end) {
    const auto* dollar = static_cast<const unsigned char*>(
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

// A header line of CSV that names the columns a track needs: "latitude"
// and "longitude" among its comma-separated names, in any case, blanks and
// quotes around them aside.
bool NamesPosition(const unsigned char* line, const unsigned char* end) {
    bool latitude = false;
    bool longitude = false;
    while (line <= end) {
        const auto* comma = static_cast<const unsigned char*>(
            std::memchr(line, ',', static_cast<std::size_t>(end - line)));
        const unsigned char* field_end = comma != nullptr ? comma : end;
        const unsigned char* a = line;
        const unsigned char* b = field_end;
        while (a < b && (IsBlank(*a) || *a == '"')) {
            ++a;
        }
        while (b > a && (IsBlank(b[-1]) || b[-1] == '"')) {
            --b;
        }
        const auto is = [a, b](const char* name) {
            const std::size_t length = std::strlen(name);
            if (static_cast<std::size_t>(b - a) != length) {
                return false;
            }
            for (std::size_t i = 0; i < length; ++i) {
                const unsigned char c = a[i];
                if ((IsUpper(c) ? c - 'A' + 'a' : c) != static_cast<unsigned char>(name[i])) {
                    return false;
                }
            }
            return true;
        };
        latitude = latitude || is("latitude");
        longitude = longitude || is("longitude");
        if (comma == nullptr) {
            break;
        }
        line = comma + 1;
    }
    return latitude && longitude;
}

TextKind Text(const unsigned char* bytes, std::size_t size) {
    const unsigned char* const end = bytes + size;
    const bool marked = StartsWith(bytes, end, kByteOrderMark);
    const unsigned char* line = ContentStart(bytes, end);
    if (line == end) {
        return marked ? TextKind::kText : TextKind::kNone;
    }
    if (*line == '<' || *line == '{' || *line == '[') {
        return TextKind::kNone;
    }
    // The first line that is not a comment decides; "#" lines head listings
    // and logs of every kind.
    for (;;) {
        const auto* newline = static_cast<const unsigned char*>(
            std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
        const unsigned char* line_end = newline != nullptr ? newline : end;
        if (*line == '#' && newline != nullptr && newline + 1 < end) {
            line = newline + 1;
            continue;
        }
        if (HoldsSentence(line, line_end)) {
            return TextKind::kNmea;
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
                return TextKind::kListing;
            }
            return comma && NamesPosition(line, line_end) ? TextKind::kCsv : TextKind::kText;
        }
        break;
    }
    return marked ? TextKind::kText : TextKind::kNone;
}

}  // namespace

bool LooksLikeXml(const unsigned char* bytes, std::size_t size, const char* root) {
    const unsigned char* name = nullptr;
    std::size_t length = 0;
    if (!XmlRoot(bytes, bytes + size, name, length)) {
        return false;
    }
    return root == nullptr ||
           (length == std::strlen(root) && name != nullptr && std::memcmp(name, root, length) == 0);
}

bool LooksLikeGpx(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, "gpx");
}

bool LooksLikeTcx(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, "TrainingCenterDatabase");
}

bool LooksLikeKml(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, "kml");
}

bool LooksLikeAnyXml(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, nullptr);
}

bool LooksLikeJson(const unsigned char* bytes, std::size_t size) {
    const unsigned char* p = ContentStart(bytes, bytes + size);
    return p < bytes + size && (*p == '{' || *p == '[');
}

bool LooksLikeFit(const unsigned char* bytes, std::size_t size) {
    return size >= 12 && std::memcmp(bytes + 8, ".FIT", 4) == 0;
}

bool LooksLikeGzip(const unsigned char* bytes, std::size_t size) {
    return size >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

bool LooksLikeZip(const unsigned char* bytes, std::size_t size) {
    return size >= 4 && std::memcmp(bytes, "PK\3\4", 4) == 0;
}

bool LooksLikeNmea(const unsigned char* bytes, std::size_t size) {
    return Text(bytes, size) == TextKind::kNmea;
}

bool LooksLikeListing(const unsigned char* bytes, std::size_t size) {
    return Text(bytes, size) == TextKind::kListing;
}

bool LooksLikeCsv(const unsigned char* bytes, std::size_t size) {
    return Text(bytes, size) == TextKind::kCsv;
}

bool LooksLikeText(const unsigned char* bytes, std::size_t size) {
    return Text(bytes, size) == TextKind::kText;
}

}  // namespace formats
