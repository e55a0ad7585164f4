// The track file formats the suite knows, by name and by file extension.
#ifndef TRACKTOOLS_FORMATS_FORMAT_H
#define TRACKTOOLS_FORMATS_FORMAT_H

#include <string>

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

// The name a user gives on a command line ("gpl", "gpx", "nmea", "kml",
// "geojson", "csv"), and back; kUnknown for any other name.
const char* Name(Format format);
Format FromName(const std::string& name);

// The format a file name's extension says, in any case: .gpl, .gpx, .kml,
// .geojson and .json, .csv, and for NMEA logs .nmea, .nma and .log;
// kUnknown for any other extension or none.
Format FromExtension(const std::string& path);

}  // namespace formats

#endif
