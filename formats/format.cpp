#include "format.h"

#include <cstddef>

namespace formats {
namespace {

struct Known {
    Format format;
    const char* name;
    const char* description;
};

const Known kKnown[] = {
    {Format::kGpl, "gpl", "GPL track"},  {Format::kGpx, "gpx", "GPX file"},
    {Format::kKml, "kml", "KML file"},   {Format::kXml, "", "XML file"},
    {Format::kNmea, "nmea", "NMEA log"}, {Format::kGeoJson, "geojson", "GeoJSON file"},
    {Format::kCsv, "csv", "CSV file"},   {Format::kListing, "", "text listing"},
    {Format::kText, "", "text file"},
};

const struct {
    const char* extension;
    Format format;
} kExtensions[] = {
    {"gpl", Format::kGpl},         {"gpx", Format::kGpx},      {"kml", Format::kKml},
    {"geojson", Format::kGeoJson}, {"json", Format::kGeoJson}, {"csv", Format::kCsv},
    {"nmea", Format::kNmea},       {"nma", Format::kNmea},     {"log", Format::kNmea},
};

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

}  // namespace

const char* Describe(Format format) {
    for (const Known& known : kKnown) {
        if (known.format == format) {
            return known.description;
        }
    }
    return "";
}

const char* Name(Format format) {
    for (const Known& known : kKnown) {
        if (known.format == format) {
            return known.name;
        }
    }
    return "";
}

Format FromName(const std::string& name) {
    const std::string lower = Lower(name);
    for (const Known& known : kKnown) {
        if (*known.name != '\0' && lower == known.name) {
            return known.format;
        }
    }
    return Format::kUnknown;
}

Format FromExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    // ".gpx" alone is a hidden file without an extension.
    if (dot == std::string::npos || dot <= base) {
        return Format::kUnknown;
    }
    const std::string extension = Lower(path.substr(dot + 1));
    for (const auto& known : kExtensions) {
        if (extension == known.extension) {
            return known.format;
        }
    }
    return Format::kUnknown;
}

}  // namespace formats
