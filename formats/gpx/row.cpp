#include "row.h"

#include "gpxreader.h"
#include "gpxwriter.h"
#include "tracktools/formats/sniff.h"

namespace formats {
namespace {

bool LooksLikeGpx(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, "gpx");
}

}  // namespace

constexpr FormatRow kGpxFormat = FormatRow("gpx", "GPX file")
                                     .Extensions("gpx")
                                     .Content(LooksLikeGpx)
                                     .Reads<GpxReader>()
                                     .Writes<GpxWriter>();

}  // namespace formats
