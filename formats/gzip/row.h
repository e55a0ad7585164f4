// gzip files in the table of formats (defined in row.cpp).
#ifndef TRACKTOOLS_FORMATS_GZIP_ROW_H
#define TRACKTOOLS_FORMATS_GZIP_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kGzipFormat;

}  // namespace formats

#endif
