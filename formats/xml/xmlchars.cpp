#include "xmlchars.h"

namespace formats {
namespace xml {
namespace {

constexpr std::ptrdiff_t kMaxReference = 16;  // "&#x0010FFFF;" and a few leading zeros

bool IsXmlChar(std::uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

int EncodeUtf8(std::uint32_t code, char* out) {
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

}  // namespace

int Reference(const Byte* p, const Byte* end, char* out, int& size) {
    const Byte* limit = end - p > kMaxReference ? p + kMaxReference : end;
    const Byte* semicolon = static_cast<const Byte*>(std::memchr(p, ';', limit - p));
    if (semicolon == nullptr) {
        return limit == end ? -1 : 0;
    }
    const std::string_view name(reinterpret_cast<const char*>(p + 1), semicolon - p - 1);
    const int length = static_cast<int>(semicolon - p + 1);
    size = 1;
    if (name == "lt") {
        out[0] = '<';
    } else if (name == "gt") {
        out[0] = '>';
    } else if (name == "amp") {
        out[0] = '&';
    } else if (name == "apos") {
        out[0] = '\'';
    } else if (name == "quot") {
        out[0] = '"';
    } else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        std::uint32_t code = 0;
        for (std::size_t i = hex ? 2 : 1; i < name.size(); ++i) {
            const char c = name[i];
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (hex && c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                return 0;
            }
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            if (code > 0x10FFFF) {
                return 0;
            }
        }
        if (name.size() == (hex ? 2u : 1u) || !IsXmlChar(code)) {
            return 0;
        }
        size = EncodeUtf8(code, out);
    } else {
        return 0;
    }
    return length;
}

Name ScanName(const Byte* p, const Byte* end) {
    const Byte* start = p;
    std::size_t colon = 0;
    if (kName[*p] != 2) {
        return {p == end ? NameScan::kMore : NameScan::kGiveUp, p, 0};
    }
    ++p;
    for (;;) {
        while (kName[*p] != 0) {
            ++p;
        }
        if (*p != ':') {
            break;
        }
        if (colon != 0 || kName[p[1]] != 2) {
            return {p + 1 == end ? NameScan::kMore : NameScan::kGiveUp, p, 0};
        }
        colon = static_cast<std::size_t>(p - start);
        ++p;
    }
    // Non-ASCII name characters are expat's to judge.
    if (p == end) {
        return {NameScan::kMore, p, 0};
    }
    if (*p >= 0x80 || static_cast<std::size_t>(p - start) > kMaxName) {
        return {NameScan::kGiveUp, p, 0};
    }
    return {NameScan::kName, p, colon};
}

const Byte* CheckChars(const Byte* p, const Byte* end, std::string_view close, bool comment,
                       bool& more) {
    more = false;
    for (;;) {
        while (p < end && *p >= 0x20 && *p < 0x80 && *p != static_cast<Byte>(close[0])) {
            ++p;
        }
        if (p == end) {
            more = true;
            return nullptr;
        }
        const Byte c = *p;
        if (c == static_cast<Byte>(close[0])) {
            const Match match = StartsWith(p, end, close);
            if (match == Match::kYes) {
                return p;
            }
            if (match == Match::kShort) {
                more = true;
                return nullptr;
            }
            // "--" ends a comment or is an error.
            if (comment && p[1] == '-') {
                return nullptr;
            }
            ++p;
        } else if (c == '\t' || c == '\n' || c == '\r') {
            ++p;
        } else if (c >= 0x80) {
            const int length = CharLength(p, end);
            if (length <= 0) {
                more = length < 0;
                return nullptr;
            }
            p += length;
        } else {
            return nullptr;
        }
    }
}

void DecodeValue(const Byte* p, std::size_t size, std::string& out) {
    const Byte* end = p + size;
    while (p < end) {
        const Byte c = *p;
        if (c == '&') {
            char decoded[4];
            int length = 0;
            p += Reference(p, end, decoded, length);
            out.append(decoded, static_cast<std::size_t>(length));
        } else if (c == '\r') {
            out.push_back(' ');
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
        } else {
            out.push_back(c == '\t' || c == '\n' ? ' ' : static_cast<char>(c));
            ++p;
        }
    }
}

}  // namespace xml
}  // namespace formats
