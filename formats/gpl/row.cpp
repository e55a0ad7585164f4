#include "row.h"

#include "gplreader.h"
#include "gplwriter.h"

namespace formats {

// No content test: records have no mark of their own.
constexpr FormatRow kGplFormat =
    FormatRow("gpl", "GPL track").Extensions("gpl").Reads<GplReader>().Writes<GplWriter>();

}  // namespace formats
