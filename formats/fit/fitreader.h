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
//   - Heart rate 3, cadence 4 (with field 53, the fraction in 128ths,
//     added), power 7, temperature 13, and distance 5 (value / 100 m).
//
// Each of these fields has its base type (uint32 for times, sint32 for
// positions, ...); a value is its field's first element, and the type's
// invalid value means it is absent. A field written with another base type,
// or a size that is no whole number of elements, holds none of them; of two
// fields of one value, the later counts. Unknown messages and fields, and
// developer fields, are passed over by their size.
//   - A heart rate of 0 (no strap paired) is absent; the cadence of a
//     running session, which FIT stores as strides, is doubled to steps
//     per minute, and counted.
//
// Values stored in decimal steps (altitude in fifths of a metre, speed in
// millimetres per second) are the nearest doubles to their decimals, so
// that they print as the device meant them (159.8, not 159.79999999999995).
//
// Pauses: a timer stop (event 21: event 0, type stop, stop_all or
// stop_disable_all) ends the segment with the last record at or before its
// time; the first record after the next timer start, or the first later
// than the stop when no start comes, begins the next segment.
//
// Laps and sessions: the first record after a lap message (19) begins a lap,
// with the lap's trigger as what ended the lap before. A file that can be
// read twice is first scanned for its sessions (18): a session begins at the
// first record at or after its start time, with its sport and sub-sport;
// otherwise the first record after a session message begins one, of an
// unknown sport. The sport of the first session that names one is
// RecordedSport(): running and cycling as such, any other as Other.
//
// Files that are no activity are refused, naming their file type (a
// workout, settings, monitoring, ...), and so is a course without any
// position; a course whose times count from its start (below 0x10000000)
// is read without times, and counted.
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
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/track/point.h"

namespace formats {

class FitReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands.
    explicit FitReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    Sport RecordedSport() const override { return sport_; }
    std::vector<Tally> Tallies() const override;

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
        kSubSport,
        kStartTime,
        kLapTrigger,
        kFileType,
        kFractionalCadence,
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
    // A session as the scan found it.
    struct Session {
        bool has_start = false;
        std::uint32_t start = 0;  // FIT seconds
        std::uint8_t sport = track::kUnknownSport;
        std::uint8_t sub_sport = 0;
    };
    static constexpr std::size_t kMaxSessions = 64;

    // The scan for the sessions, in a first pass; false when the file cannot
    // be read twice.
    bool ScanSessions();
    void ResetPass();
    // The marks of a record: segment, lap, session, from what came before.
    void MarkRecord(track::Point& point, bool timed);
    void TakeTimerEvent(double type);

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
    bool stopped_ = false;  // a timer stop without its start yet
    std::uint32_t stop_time_ = 0;
    bool lap_pending_ = false;
    track::LapTrigger lap_trigger_ = track::LapTrigger::kUnknown;
    std::uint32_t count_ = 0;
    Sport sport_ = Sport::kUnknown;

    bool scanning_ = false;
    bool scanned_ = false;
    Session sessions_[kMaxSessions];
    std::size_t session_count_ = 0;  // found by the scan
    std::size_t sessions_seen_ = 0;  // session messages of this pass
    std::size_t session_ = 0;        // of the records now
    int file_type_ = -1;             // of the first file; -1 unknown
    bool any_position_ = false;
    std::uint64_t doubled_cadences_ = 0;
    std::uint64_t relative_times_ = 0;
};

}  // namespace formats

#endif
