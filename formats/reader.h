// Reading a track file of any format the suite reads, point by point, in
// constant memory: the common interface of the format readers.
#ifndef TRACKTOOLS_FORMATS_READER_H
#define TRACKTOOLS_FORMATS_READER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format.h"
#include "gpldata.h"
#include "gplfile.h"

namespace formats {

// A place in a text file, line and column counted from 1; line 0 when there
// is no place to name (a binary file, an error of the system).
struct Location {
    std::uint64_t line = 0;
    std::uint64_t column = 0;
};

// Why reading a file ended before its end, or why it could not be opened.
struct ReadError {
    int system_error = 0;  // errno of an open or read that failed, else 0
    std::string reason;  // the system's words, or the reader's ("not well-formed (invalid token)")
    Location where;
};

// How many points a reader changed or left out for one reason, and the words
// for a summary line "<count> <what>.": `one` for a count of 1, `many`
// otherwise ("points without a time were given Time 0").
struct Tally {
    std::uint64_t count = 0;
    const char* one = "";
    const char* many = "";
    bool skipped = false;  // the points are not in the track
};

class Reader {
  public:
    virtual ~Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // The next point of the track, in file order. False at the end of the
    // track, and when reading failed: Failed() tells which.
    virtual bool Next(GPL_Data_Point& point) = 0;

    bool Failed() const { return !error_.reason.empty(); }
    const ReadError& Error() const { return error_; }
    Format format() const { return format_; }

    // The tallies so far, in an order fixed for the format, counts of 0
    // included.
    virtual std::vector<Tally> Tallies() const { return {}; }
    // Bytes of a partial record at the end of a GPL file, not read as a
    // point; 0 for the text formats.
    virtual std::uint64_t IgnoredBytes() const { return 0; }

    // Identity of the file being read (0 and 0 when not known), so that a
    // program can refuse to write over it.
    unsigned long long Device() const { return device_; }
    unsigned long long Inode() const { return inode_; }

  protected:
    explicit Reader(Format format) : format_(format) {}
    // A reader of the open `file`.
    Reader(Format format, const gpl::InputFile& file)
        : format_(format), device_(file.Device()), inode_(file.Inode()) {}
    void Fail(int system_error, std::string reason, Location where = {});

  private:
    Format format_;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    ReadError error_;
};

// True for the formats OpenReader reads: GPL, GPX, NMEA and CSV.
bool Readable(Format format);

// The format OpenReader reads `path` as when it is given kUnknown: the one
// its extension names, else the one its first `size` bytes look like among
// those the suite reads (GPX, NMEA, CSV); anything else is GPL records.
Format ReadableFormat(const std::string& path, const unsigned char* start, std::size_t size);

// Opens `path` for reading as `format` (kUnknown: see ReadableFormat). Null,
// with `error` filled, when the file cannot be opened or the format cannot
// be read.
std::unique_ptr<Reader> OpenReader(const std::string& path, Format format, ReadError& error);

}  // namespace formats

#endif
