// Writing a track file of any format the suite writes, point by point, in
// constant memory: the common interface of the format writers.
#ifndef TRACKTOOLS_FORMATS_WRITER_H
#define TRACKTOOLS_FORMATS_WRITER_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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

// What a writer needs besides the points: the name of a track without one,
// and the options its format's row lists (see FormatRow::options), set by
// their flags.
class WriterOptions {
  public:
    // Of a track without a name of its own, in the formats that name
    // tracks: the input's base name.
    std::string name;

    // Sets the switch `flag` ("clamp"), or the option `flag` to `value`.
    void Set(std::string_view flag, std::string_view value = {});
    // Whether `flag` was set.
    bool Flag(std::string_view flag) const;
    // The value `flag` was set to; empty when it was not set.
    std::string_view Value(std::string_view flag) const;

  private:
    using Given = std::vector<std::pair<std::string, std::string>>;
    Given::const_iterator Find(std::string_view flag) const;

    Given set_;  // flags and values, in the order they were set
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

// A writer of `format` into the open descriptor `fd`; null when the format
// is not writable. The start of the document goes into the buffer at once.
std::unique_ptr<Writer> OpenWriter(Format format, int fd, const WriterOptions& options);

}  // namespace formats

#endif
