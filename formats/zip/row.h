// zip archives (KMZ among them) in the table of formats (defined in row.cpp).
#ifndef TRACKTOOLS_FORMATS_ZIP_ROW_H
#define TRACKTOOLS_FORMATS_ZIP_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kZipFormat;

}  // namespace formats

#endif
