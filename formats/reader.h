// Reading a track file of any format the suite reads, point by point, in
// constant memory: the common interface of the format readers.
#ifndef TRACKTOOLS_FORMATS_READER_H
#define TRACKTOOLS_FORMATS_READER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/track/point.h"

namespace formats {

// A place in a file: line and column counted from 1 in a text file, or the
// byte offset in a binary file; neither when there is no place to name (an
// error of the system).
struct Location {
    std::uint64_t line = 0;  // 0: no line
    std::uint64_t column = 0;
    bool at_offset = false;
    std::uint64_t offset = 0;

    static Location AtOffset(std::uint64_t offset) {
        Location where;
        where.at_offset = true;
        where.offset = offset;
        return where;
    }
};

// "<name>:<line>:<column>", "<name>: byte <offset>" or the name alone: the
// one form every program gives the place of an error in a file.
std::string Where(const std::string& name, const Location& where);

// Why reading a file ended before its end, or why it could not be opened.
struct ReadError {
    int system_error = 0;  // errno of an open or read that failed, else 0
    std::string reason;  // the system's words, or the reader's ("not well-formed (invalid token)")
    Location where;
};

// How many points a reader or writer changed or left out for one reason,
// and the words for a summary line "<count> <what>.": `one` for a count of
// 1, `many` otherwise ("points without a valid latitude and longitude were
// skipped").
struct Tally {
    std::uint64_t count = 0;
    const char* one = "";
    const char* many = "";
    bool skipped = false;  // the points are not in the track
};

// Something a reader says of its file besides the points and the tallies:
// a part that was not read, and why. Said after the run as "<program>:
// <file>: <text>".
struct Remark {
    std::string text;
    std::uint64_t ignored_bytes = 0;  // of the file, not read as points
};

// The sport of an activity, as far as the track formats tell it.
enum class Sport { kUnknown, kRunning, kBiking, kOther };

class Reader {
  public:
    virtual ~Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // The next point of the track, in file order. False at the end of the
    // track, and when reading failed: Failed() tells which. The point is
    // reset first; its track name is set on the first point of a track.
    virtual bool Next(track::Point& point) = 0;

    bool Failed() const { return !error_.reason.empty(); }
    const ReadError& Error() const { return error_; }
    Format format() const { return format_; }

    // The tallies so far, in an order fixed for the format, counts of 0
    // included.
    virtual std::vector<Tally> Tallies() const { return {}; }
    // What the reader has to say of the file besides its points, once it
    // has ended: a partial record at the end of a GPL file, where a file
    // broke that was salvaged.
    std::vector<Remark> Remarks() const;
    // What a GPL file looks like instead (see Format::OfContent): records
    // have no mark of their own, so a known format is text read as records.
    virtual Format LooksLike() const { return Format(); }
    // The sport the file says it recorded, known once the reader has ended
    // (a FIT file names it after its points); unknown for the formats that
    // do not say.
    virtual Sport RecordedSport() const { return Sport::kUnknown; }

    // Before the first point: a file that breaks part way (a recording cut
    // off) gives the whole points read before the break, and the break is a
    // remark instead of a failure.
    void Salvage(bool salvage) { salvage_ = salvage; }

    // Identity of the file being read (0 and 0 when not known), so that a
    // program can refuse to write over it.
    unsigned long long Device() const { return device_; }
    unsigned long long Inode() const { return inode_; }

  protected:
    // A reader of the open `file`.
    Reader(Format format, const io::InputFile& file)
        : format_(format), device_(file.Device()), inode_(file.Inode()) {}
    void Fail(int system_error, std::string reason, Location where = {});
    // The file breaks at `where` for `reason` after `kept` whole points:
    // salvaged, the reading ends there and a remark says so; else Fail.
    void Break(std::string reason, Location where, std::uint64_t kept);
    bool Salvaging() const { return salvage_; }
    // The format's own remarks (see Remarks).
    virtual std::vector<Remark> FileRemarks() const { return {}; }

  private:
    Format format_;
    bool salvage_ = false;
    bool broke_ = false;
    Remark break_;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    ReadError error_;
};

// The format OpenReader reads a file as when it is given none: the one its
// name's extension says; else the one its first `size` bytes look like; else
// GPL records. The result may be a format the suite cannot read.
Format InputFormat(const std::string& path, const unsigned char* start, std::size_t size);

// Opens `path` ("-" is standard input) for reading as `format` (unknown:
// see InputFormat). Null, with `error` filled, when the file cannot be
// opened, or is of a format the suite cannot read: the reason then names
// it ("cannot read KML files").
std::unique_ptr<Reader> OpenReader(const std::string& path, Format format, ReadError& error);

}  // namespace formats

#endif
