// Tests of a file's first bytes, one per kind of file the suite recognises,
// for the table of formats: a program can then say "that is a GPX file"
// instead of reading text as records. The first few kilobytes are plenty; a
// line or tag cut off at the end of them still counts.
#ifndef TRACKTOOLS_FORMATS_SNIFF_H
#define TRACKTOOLS_FORMATS_SNIFF_H

#include <cstddef>

namespace formats {

// XML whose root element (after the declaration, comments and a document
// type) has the local name `root`; any root for nullptr.
bool LooksLikeXml(const unsigned char* bytes, std::size_t size, const char* root);
bool LooksLikeGpx(const unsigned char* bytes, std::size_t size);
bool LooksLikeTcx(const unsigned char* bytes, std::size_t size);
bool LooksLikeKml(const unsigned char* bytes, std::size_t size);
bool LooksLikeAnyXml(const unsigned char* bytes, std::size_t size);
// A JSON document: "{" or "[" first.
bool LooksLikeJson(const unsigned char* bytes, std::size_t size);
// ".FIT" at byte 8, where a FIT file's header has it.
bool LooksLikeFit(const unsigned char* bytes, std::size_t size);
bool LooksLikeGzip(const unsigned char* bytes, std::size_t size);
bool LooksLikeZip(const unsigned char* bytes, std::size_t size);

// Text, told apart by its first line that is not a "#" comment:
// "$" and a five-letter address such as GPRMC (NMEA);
bool LooksLikeNmea(const unsigned char* bytes, std::size_t size);
// "<number>:" first (a listing of the text form of track points);
bool LooksLikeListing(const unsigned char* bytes, std::size_t size);
// a header line of CSV that names latitude and longitude columns;
bool LooksLikeCsv(const unsigned char* bytes, std::size_t size);
// other plain characters, or a UTF-8 byte-order mark.
bool LooksLikeText(const unsigned char* bytes, std::size_t size);

}  // namespace formats

#endif
