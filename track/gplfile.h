// The GPL track file: a headerless run of 56-byte little-endian records.
#ifndef TRACKTOOLS_TRACK_GPLFILE_H
#define TRACKTOOLS_TRACK_GPLFILE_H

#include <cstddef>
#include <cstring>

#include "gpldata.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/io/outputfile.h"

namespace gpl {

constexpr std::size_t kRecordSize = 56;

namespace detail {
void DecodeFields(const unsigned char* bytes, GPL_Data_Point& point);
void EncodeFields(const GPL_Data_Point& point, unsigned char* bytes);
bool ReadPartial(io::InputFile& file, std::size_t* partial);

// On a little-endian machine the fields of a point, in their order and
// widths, are the bytes of its record.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kRecordIsPoint =
    sizeof(GPL_Data_Point) == kRecordSize && offsetof(GPL_Data_Point, Latitude) == 8 &&
    offsetof(GPL_Data_Point, Time) == 48 && offsetof(GPL_Data_Point, Reserved2) == 52;
#else
constexpr bool kRecordIsPoint = false;
#endif
}  // namespace detail

// The codec of one record; any byte content is accepted.
inline void DecodeRecord(const unsigned char* bytes, GPL_Data_Point& point) {
    if (detail::kRecordIsPoint) {
        std::memcpy(static_cast<void*>(&point), bytes, kRecordSize);
    } else {
        detail::DecodeFields(bytes, point);
    }
}
inline void EncodeRecord(const GPL_Data_Point& point, unsigned char* bytes) {
    if (detail::kRecordIsPoint) {
        std::memcpy(bytes, static_cast<const void*>(&point), kRecordSize);
    } else {
        detail::EncodeFields(point, bytes);
    }
}

// Reads the next 56 bytes into the point. False when fewer arrive (end of
// file, a partial record, a read error); the point is then unchanged, the
// bytes of a partial record are taken and dropped, and their count is
// stored in `partial` when it is given.
inline bool ReadRecord(io::InputFile& file, GPL_Data_Point& point, std::size_t* partial = nullptr) {
    if (!file.Want(kRecordSize)) {
        return detail::ReadPartial(file, partial);
    }
    DecodeRecord(file.Data(), point);
    file.Skip(kRecordSize);
    return true;
}

// Writes one record; false once any write has failed.
inline bool WriteRecord(io::OutputFile& file, const GPL_Data_Point& point) {
    unsigned char* bytes = file.Room(kRecordSize);
    if (bytes == nullptr) {
        return false;
    }
    EncodeRecord(point, bytes);
    file.Used(kRecordSize);
    return true;
}

}  // namespace gpl

#endif
