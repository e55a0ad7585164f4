// FIT files in the table of formats (defined in row.cpp).
#ifndef TRACKTOOLS_FORMATS_FIT_ROW_H
#define TRACKTOOLS_FORMATS_FIT_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kFitFormat;

}  // namespace formats

#endif
