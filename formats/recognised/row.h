// The files the suite recognises but reads as no track format, in the table
// of formats (defined in row.cpp): any other XML, which is refused, and
// text listings and plain text, which a program that
// reads GPL records reads as records after a warning.
#ifndef TRACKTOOLS_FORMATS_RECOGNISED_ROW_H
#define TRACKTOOLS_FORMATS_RECOGNISED_ROW_H

#include "tracktools/formats/format.h"

namespace formats {

extern const FormatRow kXmlFormat;
extern const FormatRow kListingFormat;
extern const FormatRow kTextFormat;

}  // namespace formats

#endif
