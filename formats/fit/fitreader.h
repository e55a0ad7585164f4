// FIT activity files (sports watches, bike computers) as a format reader,
// decoded in place in the input buffer: memory stays the same for a file of
// any size, and no message, however it is defined, makes it allocate.
//
// A FIT file is a header (12 or 14 bytes, ".FIT" at byte 8, the size of the
// records after it), records, and a CRC-16 of the header and records. Files
// may follow one another (a chained file); all are read, each starting a
// segment. Records are definitions, which describe the fields of a local
// message type (0 to 15) in either byte order, and data messages of a
// defined type; a data message may carry a time offset in its header byte
// (a compressed timestamp) in place of a timestamp field.
//
// Every `record` message is a point, in file order:
//
//   - Time: field 253, seconds since 1989-12-31T00:00:00Z; or the
//     compressed timestamp, counted on from the last time of any message.
//   - Position: fields 0 and 1 in semicircles (2^31 to 180 degrees). A
//     record without both, or with a latitude beyond ±90, is a point
//     without a position.
//   - Elevation: field 78 (enhanced altitude), else 2: value / 5 - 500 m.
//   - Speed: field 73 (enhanced speed), else 6: value / 1000 m/s.
//   - Heart rate 3, cadence 4, power 7, temperature 13, and distance 5
//     (value / 100 m).
//
// Each of these fields has its base type (uint32 for times, sint32 for
// positions, ...); a value is its field's first element, and the type's
// invalid value means it is absent. A field written with another base type,
// or a size that is no whole number of elements, holds none of them; of two
// fields of one value, the later counts. Unknown messages and fields, and
// developer fields, are passed over by their size.
// A timer stop event (event 21: event 0, type 1 or 4) makes the next point
// begin a segment. The sport of the first session (message 18) that names
// one is RecordedSport(): running and cycling as such, any other as Other.
//
// Errors of the file, with the byte offset where they lie: a header that is
// not a FIT header, a header CRC that does not match, a file that ends
// before the records and CRC its header announces, a message that runs past
// the end of the records, a definition whose byte order is neither 0 nor 1,
// a data message of a local type that has no definition, a compressed
// timestamp before any time, and a CRC that does not match its file's bytes.
#ifndef TRACKTOOLS_FORMATS_FITREADER_H
#define TRACKTOOLS_FORMATS_FITREADER_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class FitReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands.
    explicit FitReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    Sport RecordedSport() const override { return sport_; }

    // The values the reader takes from messages.
    enum Value : std::uint8_t {
        kTimestamp,
        kLatitude,
        kLongitude,
        kAltitude,
        kEnhancedAltitude,
        kSpeed,
        kEnhancedSpeed,
        kHeartRate,
        kCadence,
        kPower,
        kTemperature,
        kDistance,
        kEvent,
        kEventType,
        kSport,
        kValueCount,
    };

  private:
    // A field of a definition that holds a value the reader takes.
    struct Slot {
        std::uint32_t offset;  // from the start of the message's fields
        std::uint8_t size;     // of the value: 1, 2 or 4 bytes
        bool is_signed;
        Value value;
    };
    struct Definition {
        bool defined = false;
        bool big_endian = false;
        std::uint16_t message = 0;  // the global message number
        std::uint32_t size = 0;     // bytes of a data message after its header
        std::uint8_t slot_count = 0;
        Slot slots[kValueCount] = {};  // one per value at most
    };
    enum class Step { kPoint, kMore, kStop };

    Step StartFile();
    Step EndFile();
    Step ReadMessage(track::Point& point);
    Step ReadDefinition(std::uint64_t start, unsigned header);
    Step ReadData(std::uint64_t start, unsigned header, track::Point& point);
    // At least `count` bytes of the message that begins at `start`, all
    // within the records; false, with the reader failed, when there are not.
    bool Need(std::uint64_t start, std::size_t count);
    // Takes `count` bytes, adding them to the CRC.
    void Take(std::size_t count);
    void Stop(const std::string& reason, std::uint64_t offset);
    void CutShort();

    std::unique_ptr<io::InputFile> file_;
    bool in_file_ = false;  // between a header and its CRC
    bool done_ = false;
    std::uint32_t files_ = 0;
    std::uint64_t records_end_ = 0;  // offset of the CRC of the current file
    std::uint16_t crc_ = 0;
    Definition definitions_[16];

    bool has_time_ = false;
    std::uint32_t last_time_ = 0;  // the last timestamp of any message
    bool break_pending_ = false;
    std::uint32_t count_ = 0;
    Sport sport_ = Sport::kUnknown;
};

}  // namespace formats

#endif
