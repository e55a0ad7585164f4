#include "row.h"

#include <cstring>

#include "fitreader.h"

namespace formats {
namespace {

// ".FIT" at byte 8, where a FIT file's header has it.
bool LooksLikeFit(const unsigned char* bytes, std::size_t size) {
    return size >= 12 && std::memcmp(bytes + 8, ".FIT", 4) == 0;
}

}  // namespace

constexpr FormatRow kFitFormat =
    FormatRow("fit", "FIT file").Extensions("fit").Content(LooksLikeFit).Reads<FitReader>();

}  // namespace formats
