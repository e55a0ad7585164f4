// The track file formats the suite knows: one table (formats/table.cpp),
// each row with the format's name, its file extensions, a test of a file's
// first bytes, and the factories of its reader and writer. A program knows a
// format only through a Format, a handle on its row; adding a format is a
// reader or writer file and one row.
#ifndef TRACKTOOLS_FORMATS_FORMAT_H
#define TRACKTOOLS_FORMATS_FORMAT_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "tracktools/io/inputfile.h"

namespace formats {

class Reader;
class Writer;
struct WriterOptions;

// One row of the table.
struct FormatRow {
    // For -f and -t: "gpx"; empty for a format that is only recognised.
    const char* name;
    // For messages: "GPX file".
    const char* description;
    // The extensions that name it, lower case, without the dot.
    const char* extensions[4];
    // True when the first `size` bytes of a file look like this format;
    // null when the content cannot tell (GPL records have no mark).
    bool (*looks_like)(const unsigned char* bytes, std::size_t size);
    // The reader of an open file, from where it stands; null when the suite
    // cannot read the format.
    std::unique_ptr<Reader> (*read)(std::unique_ptr<io::InputFile> file);
    // The writer into an open descriptor; null when the suite cannot write it.
    std::unique_ptr<Writer> (*write)(int fd, const WriterOptions& options);
    // Said after "cannot read <description>s" when such a file is refused.
    const char* advice;
    // Text that is no track format (a listing, plain text): a program that
    // reads GPL records reads it as records, with a warning, as it always did.
    bool read_as_records;
    // The program that makes a GPL track of such a file ("logpack"), where
    // it is not trackconvert; null when none does.
    const char* converted_by;
};

class Format {
  public:
    // No format: nothing recognisable.
    constexpr Format() = default;
    constexpr explicit Format(const FormatRow* row) : row_(row) {}

    bool Known() const { return row_ != nullptr; }
    // "gpx"; "" for an unknown format or one without a name.
    const char* Name() const { return row_ != nullptr ? row_->name : ""; }
    // "GPX file"; "" for an unknown format.
    const char* Describe() const { return row_ != nullptr ? row_->description : ""; }
    bool Readable() const { return row_ != nullptr && row_->read != nullptr; }
    bool Writable() const { return row_ != nullptr && row_->write != nullptr; }
    // Text that a GPL reader takes as records after a warning.
    bool ReadAsRecords() const { return row_ != nullptr && row_->read_as_records; }
    const FormatRow* Row() const { return row_; }

    friend bool operator==(Format a, Format b) { return a.row_ == b.row_; }
    friend bool operator!=(Format a, Format b) { return a.row_ != b.row_; }

    // GPL track files: what an input without a telling name or content is.
    static Format Gpl();
    // The format of a name given on a command line, in any case; unknown
    // for any other name.
    static Format Named(std::string_view name);
    // The format a file name's extension says, in any case; unknown for
    // another extension or none (".gpx" alone is a hidden file).
    static Format OfExtension(const std::string& path);
    // The format the first `size` bytes of a file look like, or unknown.
    // Never GPL: records have no mark of their own. The first few kilobytes
    // are plenty.
    static Format OfContent(const unsigned char* bytes, std::size_t size);
    // The names of the formats that can be read (or written), "gpl, gpx,
    // nmea or csv", for messages.
    static std::string ReadableNames();
    static std::string WritableNames();

  private:
    const FormatRow* row_ = nullptr;
};

// The rows, in the order in which their content tests are tried.
const FormatRow* FormatRows(std::size_t& count);

}  // namespace formats

#endif
