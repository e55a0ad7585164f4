#include "row.h"

#include "tracktools/formats/ascii.h"
#include "tracktools/formats/sniff.h"

namespace formats {
namespace {

bool LooksLikeAnyXml(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, nullptr);
}

// "<number>:" first: a listing of the text form of track points.
bool LooksLikeListing(const unsigned char* bytes, std::size_t size) {
    const FirstLine line = FirstTextLine(bytes, size);
    if (!line.plain) {
        return false;
    }
    const unsigned char* p = line.begin;
    while (p < line.end && IsDigit(*p)) {
        ++p;
    }
    return p > line.begin && p < line.end && *p == ':';
}

// Plain characters, or a UTF-8 byte-order mark: any text the formats before
// took for none of theirs.
bool LooksLikeText(const unsigned char* bytes, std::size_t size) {
    const FirstLine line = FirstTextLine(bytes, size);
    return !line.structured && (line.plain || line.marked);
}

}  // namespace

constexpr FormatRow kXmlFormat =
    FormatRow("", "XML file").Extensions("xml").Content(LooksLikeAnyXml);
constexpr FormatRow kListingFormat =
    FormatRow("", "text listing").Content(LooksLikeListing).ReadAsRecords("logpack");
constexpr FormatRow kTextFormat = FormatRow("", "text file").Content(LooksLikeText).ReadAsRecords();

}  // namespace formats
