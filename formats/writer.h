// Writing a track file of any format the suite writes, point by point, in
// constant memory: the common interface of the format writers.
#ifndef TRACKTOOLS_FORMATS_WRITER_H
#define TRACKTOOLS_FORMATS_WRITER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format.h"
#include "gpldata.h"
#include "gplfile.h"
#include "reader.h"

namespace formats {

// Why writing failed.
struct WriteError {
    int system_error = 0;  // errno of the write that failed
    std::string reason;    // the system's words, or what the writer tried ("temporary file ...")
};

// What a writer needs besides the points.
struct WriterOptions {
    std::string name;      // of the track in GPX, KML and GeoJSON: the input's base name
    bool clamp = false;    // KML: the line lies on the ground, without altitudes
    bool extrude = false;  // KML: a wall from the line down to the ground
};

class Writer {
  public:
    virtual ~Writer() = default;
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Takes the next point of the track. A point the format cannot hold is
    // left out and counted in Tallies(). False when writing failed: Error()
    // tells why, and nothing more is written.
    virtual bool Write(const GPL_Data_Point& point) = 0;
    // Ends the document and writes out all that is buffered; the descriptor
    // stays open. False when anything was lost.
    virtual bool Finish() = 0;

    bool Failed() const { return failed_; }
    const WriteError& Error() const { return error_; }
    Format format() const { return format_; }
    // Points in the output so far.
    std::uint64_t Written() const { return written_; }
    // The points left out so far, in an order fixed for the format, counts
    // of 0 included.
    virtual std::vector<Tally> Tallies() const { return {}; }

  protected:
    // Writes through a buffer into `fd`, which the caller opened and closes.
    Writer(Format format, int fd);

    gpl::OutputFile& Output() { return output_; }
    void Count() { ++written_; }
    // The result of a Write or Finish: false, with Error() set from the
    // output file, when a write failed.
    bool Check(bool written_out);
    bool Close();
    void Fail(int system_error, std::string reason);

  private:
    Format format_;
    gpl::OutputFile output_;
    std::uint64_t written_ = 0;
    bool failed_ = false;
    WriteError error_;
};

// True when `point` has a latitude within ±90 and a longitude within ±180
// degrees, the positions that GPX, KML and GeoJSON can hold.
bool HasValidPosition(const GPL_Data_Point& point);

// True for the formats OpenWriter writes: GPL, GPX, KML, GeoJSON and CSV.
bool Writable(Format format);

// A writer of `format` into the open descriptor `fd`; null when the format
// is not Writable. The start of the document goes into the buffer at once.
std::unique_ptr<Writer> OpenWriter(Format format, int fd, const WriterOptions& options);

}  // namespace formats

#endif
