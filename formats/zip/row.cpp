#include "row.h"

#include <cstring>

#include "zipreader.h"

namespace formats {
namespace {

bool LooksLikeZip(const unsigned char* bytes, std::size_t size) {
    return size >= 4 && std::memcmp(bytes, "PK\3\4", 4) == 0;
}

}  // namespace

constexpr FormatRow kZipFormat =
    FormatRow("", "zip archive").Extensions("zip", "kmz").Content(LooksLikeZip).Reads<ZipReader>();

}  // namespace formats
