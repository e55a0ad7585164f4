// The GPL track file: a headerless run of 56-byte little-endian records.
#ifndef TRACKTOOLS_TRACK_GPLFILE_H
#define TRACKTOOLS_TRACK_GPLFILE_H

#include <cstddef>

#include "gpldata.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/io/outputfile.h"

namespace gpl {

constexpr std::size_t kRecordSize = 56;

// Field-by-field codec of one record; any byte content is accepted.
void DecodeRecord(const unsigned char* bytes, GPL_Data_Point& point);
void EncodeRecord(const GPL_Data_Point& point, unsigned char* bytes);

// Reads the next 56 bytes into the point. False when fewer arrive (end of
// file, a partial record, a read error); the point is then unchanged, the
// bytes of a partial record are taken and dropped, and their count is
// stored in `partial` when it is given.
bool ReadRecord(io::InputFile& file, GPL_Data_Point& point, std::size_t* partial = nullptr);
// Writes one record; false once any write has failed.
bool WriteRecord(io::OutputFile& file, const GPL_Data_Point& point);

}  // namespace gpl

#endif
