#include "row.h"

#include "kmlreader.h"
#include "kmlwriter.h"
#include "tracktools/formats/sniff.h"
#include "tracktools/formats/writer.h"

namespace formats {
namespace {

bool LooksLikeKml(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, "kml");
}

constexpr WriterOption kKmlOptions[] = {
    {"clamp", nullptr, "draws a KML track on the ground", nullptr},
    {"extrude", nullptr, "draws a KML track with a wall down to the ground", nullptr},
};

const char* ClampOrExtrude(const WriterOptions& options) {
    return options.Flag("clamp") && options.Flag("extrude")
               ? "-clamp and -extrude do not go together: a wall needs the line's altitudes"
               : nullptr;
}

}  // namespace

constexpr FormatRow kKmlFormat = FormatRow("kml", "KML file")
                                     .Extensions("kml")
                                     .Content(LooksLikeKml)
                                     .Reads<KmlReader>()
                                     .Writes<KmlWriter>()
                                     .Options(kKmlOptions, ClampOrExtrude);

}  // namespace formats
