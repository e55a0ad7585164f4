// CSV files in the table of formats (defined in row.cpp).
#ifndef TRACKTOOLS_FORMATS_CSV_ROW_H
#define TRACKTOOLS_FORMATS_CSV_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kCsvFormat;

}  // namespace formats

#endif
