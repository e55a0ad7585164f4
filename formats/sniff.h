// What kind of track file the first bytes of a file look like, so that a
// program can say "that is a GPX file" instead of reading text as records.
#ifndef TRACKTOOLS_FORMATS_SNIFF_H
#define TRACKTOOLS_FORMATS_SNIFF_H

#include <cstddef>

namespace formats {

enum class Format {
    kUnknown,  // nothing recognisable: binary data such as GPL records
    kGpl,
    kGpx,
    kKml,
    kXml,      // XML of some other kind
    kNmea,     // NMEA 0183 sentences, as a receiver logs them
    kGeoJson,  // a JSON document
    kCsv,      // a header line of comma-separated names
    kListing,  // "<number>:<point>" lines of the text form of a track point
    kText,     // other text: a first line of plain characters, or a byte-order mark
};

// A short name for messages: "GPX file", "NMEA log", ...; "" for kUnknown.
const char* Describe(Format format);

// The text format that `size` bytes from the start of a file look like, or
// kUnknown. Never kGpl: records have no mark of their own. The first few
// kilobytes are plenty; a line cut off at the end of them still counts.
Format SniffText(const unsigned char* bytes, std::size_t size);

}  // namespace formats

#endif
