// Writing a track file of any format the suite writes, point by point, in
// constant memory: the common interface of the format writers.
#ifndef TRACKTOOLS_FORMATS_WRITER_H
#define TRACKTOOLS_FORMATS_WRITER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format.h"
#include "reader.h"
#include "tracktools/io/outputfile.h"
#include "tracktools/track/point.h"

namespace formats {

// Why writing failed.
struct WriteError {
    int system_error = 0;  // errno of the write that failed
    std::string reason;    // the system's words, or what the writer tried ("temporary file ...")
};

// What a writer needs besides the points.
struct WriterOptions {
    // Of a track without a name of its own, in the formats that name
    // tracks: the input's base name.
    std::string name;
    bool clamp = false;    // KML: the line lies on the ground, without altitudes
    bool extrude = false;  // KML: a wall from the line down to the ground
    // TCX: the activity's sport; unknown takes the input's, else Other.
    Sport sport = Sport::kUnknown;
};

class Writer {
  public:
    virtual ~Writer() = default;
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Takes the next point. A point the format cannot hold is left out, and
    // a value it cannot hold dropped, and counted in Tallies(). The first
    // point begins a track whatever its marks say. False when writing
    // failed: Error() tells why, and nothing more is written.
    virtual bool Write(const track::Point& point) = 0;
    // Ends the document and writes out all that is buffered; the descriptor
    // stays open. False when anything was lost.
    virtual bool Finish() = 0;
    // What the input said of its sport (Reader::RecordedSport), handed over
    // once the input has been read and before Finish: a format that names
    // the sport uses it where the options give none.
    virtual void TakeRecordedSport(Sport /*sport*/) {}
    // Writes out what is buffered, for a reader at the other end of a pipe
    // or device. False when anything was lost.
    bool Flush() { return Check(output_.Flush()); }

    bool Failed() const { return failed_; }
    const WriteError& Error() const { return error_; }
    Format format() const { return format_; }
    // Points in the output so far.
    std::uint64_t Written() const { return written_; }
    // The points left out and the values dropped so far, in an order fixed
    // for the format, counts of 0 included.
    virtual std::vector<Tally> Tallies() const { return {}; }

  protected:
    // Writes through a buffer into `fd`, which the caller opened and closes.
    Writer(Format format, int fd);

    io::OutputFile& Output() { return output_; }
    void Count() { ++written_; }
    // The result of a Write or Finish: false, with Error() set from the
    // output file, when a write failed.
    bool Check(bool written_out);
    bool Close();
    void Fail(int system_error, std::string reason);

  private:
    Format format_;
    io::OutputFile output_;
    std::uint64_t written_ = 0;
    bool failed_ = false;
    WriteError error_;
};

// What a writer does at a point: the marks of tracks and segments as the
// output sees them, where the first point written begins a track, and a
// point left out passes its mark on to the next point written.
class Breaks {
  public:
    enum Kind { kNone, kSegment, kTrack };
    // The break before `point`, which is written.
    Kind Next(const track::Point& point) {
        const Kind kind = !started_ ? kTrack : Stronger(pending_, Of(point));
        started_ = true;
        pending_ = kNone;
        return kind;
    }
    // `point` is left out.
    void Skip(const track::Point& point) { pending_ = Stronger(pending_, Of(point)); }
    bool Started() const { return started_; }

  private:
    static Kind Of(const track::Point& point) {
        return point.begins_track ? kTrack : point.begins_segment ? kSegment : kNone;
    }
    static Kind Stronger(Kind a, Kind b) { return a > b ? a : b; }

    bool started_ = false;
    Kind pending_ = kNone;
};

// Counts what a format cannot hold of the points written: the values of
// `dropped` (Field bits) that points carried, and segment breaks when
// segments are not kept.
class Losses {
  public:
    Losses(std::uint16_t dropped, bool segments_dropped)
        : dropped_(dropped), segments_(segments_dropped) {}
    // For a point that is written, after the break Breaks gave it.
    void Add(const track::Point& point, Breaks::Kind kind) {
        if ((point.fields & dropped_) != 0 || kind != Breaks::kNone) {
            Count(point, kind);
        }
    }
    // Tallies of the counts, in a fixed order.
    void AppendTallies(std::vector<Tally>& tallies) const;

  private:
    void Count(const track::Point& point, Breaks::Kind kind);

    std::uint16_t dropped_;
    bool segments_;
    std::uint64_t values_[track::kSensorCount] = {};
    std::uint64_t breaks_lost_ = 0;
    bool started_ = false;
};

// True when `point` has a latitude within ±90 and a longitude within ±180
// degrees, the positions that GPX, KML and GeoJSON can hold.
bool HasValidPosition(const track::Point& point);

// A writer of `format` into the open descriptor `fd`; null when the format
// is not writable. The start of the document goes into the buffer at once.
std::unique_ptr<Writer> OpenWriter(Format format, int fd, const WriterOptions& options);

}  // namespace formats

#endif
