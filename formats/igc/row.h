// IGC flight logs in the table of formats (defined in row.cpp).
#ifndef TRACKTOOLS_FORMATS_IGC_ROW_H
#define TRACKTOOLS_FORMATS_IGC_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kIgcFormat;

}  // namespace formats

#endif
