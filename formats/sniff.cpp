#include "sniff.h"

#include <cstring>

#include "ascii.h"

namespace formats {
namespace {

// Printable ASCII or a tab: what a header line of names is made of.
bool IsPlain(unsigned char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\t';
}

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool StartsWithMark(const unsigned char* p, const unsigned char* end) {
    return end - p >= 3 && std::memcmp(p, kByteOrderMark, 3) == 0;
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
            while (q < end && !IsXmlSpace(*q) && *q != '>' && *q != '/') {
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

}  // namespace

const unsigned char* ContentStart(const unsigned char* p, const unsigned char* end) {
    if (StartsWithMark(p, end)) {
        p += 3;
    }
    while (p < end && IsXmlSpace(*p)) {
        ++p;
    }
    return p;
}

bool LooksLikeXml(const unsigned char* bytes, std::size_t size, const char* root) {
    const unsigned char* name = nullptr;
    std::size_t length = 0;
    if (!XmlRoot(bytes, bytes + size, name, length)) {
        return false;
    }
    return root == nullptr ||
           (length == std::strlen(root) && name != nullptr && std::memcmp(name, root, length) == 0);
}

FirstLine FirstTextLine(const unsigned char* bytes, std::size_t size) {
    const unsigned char* const end = bytes + size;
    FirstLine first;
    first.marked = StartsWithMark(bytes, end);
    const unsigned char* line = ContentStart(bytes, end);
    if (line == end) {
        return first;
    }
    if (*line == '<' || *line == '{' || *line == '[') {
        first.structured = true;
        return first;
    }
    for (;;) {
        const auto* newline = static_cast<const unsigned char*>(
            std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
        const unsigned char* line_end = newline != nullptr ? newline : end;
        if (*line == '#' && newline != nullptr && newline + 1 < end) {
            line = newline + 1;
            continue;
        }
        first.begin = line;
        first.end = line_end;
        bool plain = true;
        for (const unsigned char* q = line; q < line_end; ++q) {
            plain = plain && (IsPlain(*q) || (*q == '\r' && q + 1 == line_end));
        }
        first.plain = plain && (newline != nullptr || line_end - line > 16);
        return first;
    }
}

}  // namespace formats
