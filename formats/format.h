// The track file formats the suite knows: one table (formats/table.cpp) of
// rows, each defined in its format's folder with the format's name, its file
// extensions, a test of a file's first bytes, the factories of its reader and
// writer, and the options its writer takes. A program knows a format only
// through a Format, a handle on its row.
#ifndef TRACKTOOLS_FORMATS_FORMAT_H
#define TRACKTOOLS_FORMATS_FORMAT_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "tracktools/io/inputfile.h"

namespace formats {

class Reader;
class Writer;
class WriterOptions;

// A run of items of the table: its rows, or the options of a row.
template <typename Item>
struct Items {
    const Item* first = nullptr;
    std::size_t count = 0;

    constexpr const Item* begin() const { return first; }
    constexpr const Item* end() const { return first + count; }
};

// An option of a format's writer, given as "-<flag>" or "-<flag> <value>".
struct WriterOption {
    const char* flag;   // "clamp", without the dash
    const char* value;  // the name of its value in a usage text ("s"); null for a switch
    // What it does, for a usage text: one line, and more after a "\n".
    const char* help;
    // The values it takes, ending with a null; null when it takes any.
    const char* const* choices;

    // The choices as "running, biking or other".
    std::string Choices() const;
};

// One row of the table, built where its format is defined:
//
//     constexpr FormatRow kKmlFormat =
//         FormatRow("kml", "KML file").Extensions("kml").Content(LooksLikeKml)
//             .Writes<KmlWriter>().Options(kKmlOptions, ClampOrExtrude);
struct FormatRow {
    using ContentTest = bool (*)(const unsigned char* bytes, std::size_t size);
    using ReaderFactory = std::unique_ptr<Reader> (*)(std::unique_ptr<io::InputFile> file);
    using WriterFactory = std::unique_ptr<Writer> (*)(int fd, const WriterOptions& options);
    // Why options given to the writer do not go together, or null.
    using OptionsCheck = const char* (*)(const WriterOptions& options);

    // For -f and -t: "gpx"; empty for a format that is only recognised.
    const char* name;
    // For messages: "GPX file".
    const char* description;
    // The extensions that name it, lower case, without the dot.
    const char* extensions[4] = {};
    // True when the first `size` bytes of a file look like this format; the
    // tests of the rows before it have said no. Null when the content cannot
    // tell (GPL records have no mark).
    ContentTest looks_like = nullptr;
    // The reader of an open file, from where it stands; null when the suite
    // cannot read the format.
    ReaderFactory read = nullptr;
    // The writer into an open descriptor; null when the suite cannot write it.
    WriterFactory write = nullptr;
    // Said after "cannot read <description>s" when such a file is refused.
    const char* advice = nullptr;
    // Text that is no track format (a listing, plain text): a program that
    // reads GPL records reads it as records, with a warning, as it always did.
    bool read_as_records = false;
    // The program that makes a GPL track of such a file ("logpack"), where
    // it is not trackconvert; null when none does.
    const char* converted_by = nullptr;
    // The options the writer takes, and the rule between them.
    Items<WriterOption> options;
    OptionsCheck check_options = nullptr;

    constexpr FormatRow(const char* format_name, const char* format_description)
        : name(format_name), description(format_description) {}

    constexpr FormatRow Extensions(const char* first, const char* second = nullptr,
                                   const char* third = nullptr) const {
        FormatRow row = *this;
        row.extensions[0] = first;
        row.extensions[1] = second;
        row.extensions[2] = third;
        return row;
    }
    constexpr FormatRow Content(ContentTest test) const {
        FormatRow row = *this;
        row.looks_like = test;
        return row;
    }
    // `FormatReader` is made from the file alone.
    template <typename FormatReader>
    constexpr FormatRow Reads() const {
        FormatRow row = *this;
        row.read = [](std::unique_ptr<io::InputFile> file) -> std::unique_ptr<Reader> {
            return std::make_unique<FormatReader>(std::move(file));
        };
        return row;
    }
    // `FormatWriter` is made from the descriptor and the options.
    template <typename FormatWriter>
    constexpr FormatRow Writes() const {
        FormatRow row = *this;
        row.write = [](int fd, const WriterOptions& given) -> std::unique_ptr<Writer> {
            return std::make_unique<FormatWriter>(fd, given);
        };
        return row;
    }
    template <std::size_t N>
    constexpr FormatRow Options(const WriterOption (&list)[N], OptionsCheck check = nullptr) const {
        FormatRow row = *this;
        row.options = {list, N};
        row.check_options = check;
        return row;
    }
    constexpr FormatRow Advice(const char* text) const {
        FormatRow row = *this;
        row.advice = text;
        return row;
    }
    // Text read as records; `program` makes GPL tracks of it.
    constexpr FormatRow ReadAsRecords(const char* program = nullptr) const {
        FormatRow row = *this;
        row.read_as_records = true;
        row.converted_by = program;
        return row;
    }
};

// The rows of the table, in the order in which their content tests are tried.
Items<const FormatRow*> AllFormats();

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

}  // namespace formats

#endif
