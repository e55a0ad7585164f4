#include "row.h"

#include "gzipreader.h"

namespace formats {
namespace {

bool LooksLikeGzip(const unsigned char* bytes, std::size_t size) {
    return size >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

}  // namespace

constexpr FormatRow kGzipFormat =
    FormatRow("", "gzip file").Extensions("gz").Content(LooksLikeGzip).Reads<GzipReader>();

}  // namespace formats
