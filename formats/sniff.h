// What the content tests of the formats share (each test is in its format's
// folder): the root element of an XML document, and the first line of a
// text. The first few kilobytes of a file are plenty; a line or tag cut off
// at the end of them still counts.
#ifndef TRACKTOOLS_FORMATS_SNIFF_H
#define TRACKTOOLS_FORMATS_SNIFF_H

#include <cstddef>

namespace formats {

// XML whose root element (after the declaration, comments and a document
// type) has the local name `root`; any root for nullptr.
bool LooksLikeXml(const unsigned char* bytes, std::size_t size, const char* root);

// Where the content starts: after a UTF-8 byte-order mark and white space.
const unsigned char* ContentStart(const unsigned char* p, const unsigned char* end);

// The first line of a text that is not a "#" comment (those head listings
// and logs of every kind), as the tests of the text formats look at it.
struct FirstLine {
    // The line, without its line end; null when the content is empty or
    // starts as markup or JSON does ('<', '{', '[').
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    // Printable ASCII and tabs only, and either a whole line or more than
    // 16 bytes of one: records would hold other bytes in their doubles long
    // before a line end.
    bool plain = false;
    // The text begins with a UTF-8 byte-order mark.
    bool marked = false;
    // The content starts with '<', '{' or '['.
    bool structured = false;
};
FirstLine FirstTextLine(const unsigned char* bytes, std::size_t size);

}  // namespace formats

#endif
