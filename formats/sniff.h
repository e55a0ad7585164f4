// What kind of track file the first bytes of a file look like, so that a
// program can say "that is a GPX file" instead of reading text as records.
#ifndef TRACKTOOLS_FORMATS_SNIFF_H
#define TRACKTOOLS_FORMATS_SNIFF_H

#include <cstddef>

#include "format.h"

namespace formats {

// The text format that `size` bytes from the start of a file look like, or
// kUnknown. Never kGpl: records have no mark of their own. The first few
// kilobytes are plenty; a line cut off at the end of them still counts.
Format SniffText(const unsigned char* bytes, std::size_t size);

}  // namespace formats

#endif
