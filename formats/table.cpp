// The table of formats: every format the suite reads, writes or recognises.
#include <utility>

#include "csv/csvreader.h"
#include "csv/csvwriter.h"
#include "fit/fitreader.h"
#include "format.h"
#include "geojson/geojsonwriter.h"
#include "gpl/gplreader.h"
#include "gpl/gplwriter.h"
#include "gpx/gpxreader.h"
#include "gpx/gpxwriter.h"
#include "kml/kmlwriter.h"
#include "nmea/nmeareader.h"
#include "sniff.h"
#include "tcx/tcxreader.h"
#include "tcx/tcxwriter.h"

namespace formats {
namespace {

template <typename FormatReader>
std::unique_ptr<Reader> Read(std::unique_ptr<io::InputFile> file) {
    return std::make_unique<FormatReader>(std::move(file));
}

template <typename FormatWriter>
std::unique_ptr<Writer> Write(int fd, const WriterOptions& options) {
    return std::make_unique<FormatWriter>(fd, options);
}

// Content tests are tried in this order: the XML formats before XML of
// any kind.
const FormatRow kRows[] = {
    // name, description, extensions, content, reader, writer, advice, records,
    // converted by
    {"gpl",
     "GPL track",
     {"gpl"},
     nullptr,
     Read<GplReader>,
     Write<GplWriter>,
     nullptr,
     false,
     nullptr},
    {"gpx",
     "GPX file",
     {"gpx"},
     LooksLikeGpx,
     Read<GpxReader>,
     Write<GpxWriter>,
     nullptr,
     false,
     nullptr},
    {"tcx",
     "TCX file",
     {"tcx"},
     LooksLikeTcx,
     Read<TcxReader>,
     Write<TcxWriter>,
     nullptr,
     false,
     nullptr},
    {"kml", "KML file", {"kml"}, LooksLikeKml, nullptr, Write<KmlWriter>, nullptr, false, nullptr},
    {"", "XML file", {"xml"}, LooksLikeAnyXml, nullptr, nullptr, nullptr, false, nullptr},
    {"geojson",
     "GeoJSON file",
     {"geojson", "json"},
     LooksLikeJson,
     nullptr,
     Write<GeoJsonWriter>,
     nullptr,
     false,
     nullptr},
    {"fit", "FIT file", {"fit"}, LooksLikeFit, Read<FitReader>, nullptr, nullptr, false, nullptr},
    {"",
     "gzip file",
     {"gz"},
     LooksLikeGzip,
     nullptr,
     nullptr,
     "uncompress it first",
     false,
     nullptr},
    {"", "zip archive", {"zip"}, LooksLikeZip, nullptr, nullptr, "unpack it first", false, nullptr},
    {"nmea",
     "NMEA log",
     {"nmea", "nma", "log"},
     LooksLikeNmea,
     Read<NmeaReader>,
     nullptr,
     nullptr,
     false,
     nullptr},
    {"", "text listing", {}, LooksLikeListing, nullptr, nullptr, nullptr, true, "logpack"},
    {"csv",
     "CSV file",
     {"csv"},
     LooksLikeCsv,
     Read<CsvReader>,
     Write<CsvWriter>,
     nullptr,
     false,
     nullptr},
    {"", "text file", {}, LooksLikeText, nullptr, nullptr, nullptr, true, nullptr},
};

}  // namespace

const FormatRow* FormatRows(std::size_t& count) {
    count = sizeof kRows / sizeof kRows[0];
    return kRows;
}

}  // namespace formats
