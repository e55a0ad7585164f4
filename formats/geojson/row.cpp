#include "row.h"

#include "geojsonreader.h"
#include "geojsonwriter.h"
#include "tracktools/formats/sniff.h"

namespace formats {
namespace {

// A JSON document of any kind: "{" or "[" first.
bool LooksLikeJson(const unsigned char* bytes, std::size_t size) {
    const unsigned char* p = ContentStart(bytes, bytes + size);
    return p < bytes + size && (*p == '{' || *p == '[');
}

}  // namespace

constexpr FormatRow kGeoJsonFormat = FormatRow("geojson", "GeoJSON file")
                                         .Extensions("geojson", "json")
                                         .Content(LooksLikeJson)
                                         .Reads<GeoJsonReader>()
                                         .Writes<GeoJsonWriter>();

}  // namespace formats
