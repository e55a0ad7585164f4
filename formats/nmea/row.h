// NMEA logs in the table of formats (defined in row.cpp).
#ifndef TRACKTOOLS_FORMATS_NMEA_ROW_H
#define TRACKTOOLS_FORMATS_NMEA_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kNmeaFormat;

}  // namespace formats

#endif
