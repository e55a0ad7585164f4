// Characters of UTF-8, as the text formats read and write them.
#ifndef TRACKTOOLS_FORMATS_UTF8_H
#define TRACKTOOLS_FORMATS_UTF8_H

namespace formats {

// The length of the character of UTF-8 at `p`, whose first byte is 0x80 or
// more: 0 when it is not well-formed (an overlong form, a surrogate, a value
// past U+10FFFF), -1 when the bytes end within it and what there is of it
// could still begin one.
inline int Utf8Sequence(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = p[0];
    int length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p < length) {
        // What there is must still be good, or no more bytes will help.
        if (end - p >= 2 && (p[1] < low || p[1] > high)) {
            return 0;
        }
        return -1;
    }
    if (p[1] < low || p[1] > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

}  // namespace formats

#endif
