// The shared shape of the programs that turn one input file into one output
// file: announce and open both files, "Working...", a progress mark every
// 100 units, close, summary, exit status.
//
// The input is any format the suite reads ("-" is standard input), the
// output the format its name's extension says, GPL for any other name
// ("-" is standard output; the messages then go to standard error). The
// output replaces its name only when the run succeeded.
//
// A program's Run checks its arguments, then drives a ToolFrame:
//
//     tools::ToolFrame frame(program, argv[1], argv[2]);
//     if (const int failed = frame.Open()) return failed;
//     frame.Announce();
//     while (frame.Read(point)) {
//         ...work on point...
//         if (!frame.Write(point)) return frame.WriteFailed();
//         frame.Mark(frame.Written() + 1);
//     }
//     return frame.Finish();
#ifndef TRACKTOOLS_TOOLS_COMMON_TOOLFRAME_H
#define TRACKTOOLS_TOOLS_COMMON_TOOLFRAME_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "console.h"
#include "program.h"
#include "progress.h"
#include "replacingfile.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/writer.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/track/point.h"

namespace tools {

class ToolFrame {
  public:
    // What the input holds: a track file, or a text listing read line by
    // line (logpack).
    enum class Input { kTrack, kListing };
    // Where the tallies of the reader and the writer go: lines after the
    // summary (trackconvert), or remarks on standard error.
    enum class Tallies { kRemarks, kLines };

    ToolFrame(const Program& program, std::string input_name, std::string output_name,
              Input input = Input::kTrack);

    // Before Open: the formats, when not from the names (unknown: from the
    // names), and what the writer needs besides the points (its name is the
    // input's base name unless set).
    void ReadAs(formats::Format format) { read_as_ = format; }
    void WriteAs(formats::Format format) { write_as_ = format; }
    void SetWriterOptions(const formats::WriterOptions& options) { writer_options_ = options; }
    void ShowTallies(Tallies tallies) { tallies_ = tallies; }

    // Prints "Opening " for each file and opens the input, then the output.
    // Returns 0, or, after printing the failure line (and the reason on
    // standard error), kExitInputFailed (an input that cannot be opened or
    // is of a format the suite cannot read; the output is then not
    // touched) or kExitOutputFailed (also when the output is the input file
    // itself or this program's standard output, which are left untouched).
    int Open();
    // "Working..." without a line end.
    void Announce();

    // The next point; false at the end of the input and on a read error
    // (which Finish then reports).
    bool Read(track::Point& point);
    // The next point that has a position, with `record` its GPL record as a
    // GPL file would hold it: the programs that work on records see every
    // input as its conversion to GPL would be. From GPL into GPL the
    // records pass as they are and `point` is left alone (RecordsOnly()).
    bool ReadRecord(track::Point& point, GPL_Data_Point& record);
    // True when records pass from a GPL input into a GPL output without the
    // track model: every record then carries all its fields.
    bool RecordsOnly() const { return records_only_; }
    // The next text line into a zero-terminated buffer (see
    // io::InputFile::ReadLine); for a listing.
    void ReadLine(char* buffer, std::size_t size) { listing_.ReadLine(buffer, size); }
    bool AtEnd() const { return listing_.AtEnd(); }

    // Writes one point. False when the output cannot be written; the caller
    // then returns WriteFailed().
    bool Write(const track::Point& point);
    // Writes the point with the record a program worked on (see
    // track::ApplyRecord): what the program did not change rides along.
    bool WriteRecord(track::Point& point, const GPL_Data_Point& record);
    // Pushes what is buffered to the output; false when that fails.
    bool Flush() { return writer_->Flush(); }
    // Points written so far.
    std::uint64_t Written() const { return writer_ ? writer_->Written() : 0; }

    // Prints a progress mark when `unit` is a multiple of 100.
    void Mark(std::uint64_t unit) const { progress_.Mark(unit); }
    // Where the messages go.
    const Console& Messages() const { return console_; }

    // Ends the "Working..." line, prints the "Write Failed!!!" line for the
    // output and returns kExitWriteFailed; the output is left as it was.
    int WriteFailed();
    // Ends the run. A read error ends the "Working..." line with the "Read
    // Failed!!!" line for the input and gives kExitInputFailed; output that
    // was lost gives WriteFailed(). Otherwise the output takes its name,
    // "done." and the summary ("Wrote <n> data points." when none is given)
    // are printed, then the tallies, and the result is kExitOk. Remarks on
    // the input (a partial record at its end, a listing without points)
    // follow on standard error.
    int Finish();
    int Finish(const std::string& summary);

  private:
    int OpenListing();
    int ReadFailed(const std::string& reason, const formats::Location& where, int error);

    const Program& program_;
    Input input_kind_;
    std::string input_name_;
    std::string output_name_;
    formats::Format read_as_;
    formats::Format write_as_;
    formats::WriterOptions writer_options_;
    bool writer_named_ = false;
    Tallies tallies_ = Tallies::kRemarks;
    Console console_;
    Progress progress_;

    std::unique_ptr<formats::Reader> reader_;
    io::InputFile listing_;
    formats::Format looks_like_;
    bool listing_empty_ = true;
    std::uint64_t without_position_ = 0;
    bool records_only_ = false;
    ReplacingFile output_;
    std::unique_ptr<formats::Writer> writer_;
};

}  // namespace tools

#endif
