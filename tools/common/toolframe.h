// The shared shape of the programs that turn one input file into one output
// file: announce and open both files, "Working...", the points through the
// program's chain of stages with a progress mark every 100 of them, close,
// summary, exit status. It is one InputSet and one OutputSet.
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
//     MyStage stage(...);
//     stage.Connect(&frame.Output());
//     frame.Announce();
//     if (const int failed = frame.Process(stage)) return failed;
//     return frame.Finish();
#ifndef TRACKTOOLS_TOOLS_COMMON_TOOLFRAME_H
#define TRACKTOOLS_TOOLS_COMMON_TOOLFRAME_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "console.h"
#include "inputs.h"
#include "outputs.h"
#include "program.h"
#include "progress.h"
#include "stage.h"
#include "tracktools/formats/format.h"
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
    void ReadAs(formats::Format format) { inputs_.ReadAs(format); }
    void WriteAs(formats::Format format) { outputs_.WriteAs(format); }
    void SetWriterOptions(const formats::WriterOptions& options);
    void ShowTallies(Tallies tallies) { tallies_ = tallies; }
    // The programs that work on GPL records see only the points with a
    // position, as a GPL track holds them; the others are counted.
    void PositionsOnly() { inputs_.PositionsOnly(); }
    // A file that breaks part way gives the points before the break.
    void Salvage(bool salvage) { inputs_.Salvage(salvage); }

    // Prints "Opening " for each file and opens the input, then the output.
    // Returns 0, or, after printing the failure line (and the reason on
    // standard error), kExitInputFailed (an input that cannot be opened or
    // is of a format the suite cannot read; the output is then not
    // touched) or kExitOutputFailed (also when the output is the input file
    // itself or this program's standard output, which are left untouched).
    int Open();
    // "Working..." without a line end.
    void Announce();

    // Where a program's chain of stages ends.
    Sink& Output() { return outputs_; }
    // Reads every point of the input into `first` (a stage, or Output()),
    // waypoints straight into Output(), then ends the chain. A point is marked when it is handed
    // on, or, with `mark_lag` 1, when the point after it is (pacer's legs need it). Returns 0, or
    // the status of a failure it has reported.
    int Process(Sink& first, unsigned mark_lag = 0);

    // The next text line into a zero-terminated buffer (see
    // io::InputFile::ReadLine); for a listing.
    void ReadLine(char* buffer, std::size_t size) { listing_.ReadLine(buffer, size); }
    bool AtEnd() const { return listing_.AtEnd(); }
    // Writes one point of a listing and pushes it out at once. False when
    // the output cannot be written; the caller then returns WriteFailed().
    bool WriteNow(track::Point& point);

    // Prints a progress mark when `unit` is a multiple of 100.
    void Mark(std::uint64_t unit) const { progress_.Mark(unit); }
    // Where the messages go.
    const Console& Messages() const { return console_; }
    // Points written so far.
    std::uint64_t Written() const { return outputs_.Written(); }

    // Ends the "Working..." line, prints the "Write Failed!!!" line for the
    // output and returns kExitWriteFailed; the output is left as it was.
    int WriteFailed() { return outputs_.ReportFailure(); }
    // Ends the run: the output takes its name, "done." and the summary
    // ("Wrote <n> data points." when none is given) are printed, then the
    // tallies, and the result is kExitOk. Remarks on the input (a partial
    // record at its end, a listing without points) follow on standard
    // error. Output that was lost gives WriteFailed().
    int Finish();
    int Finish(const std::string& summary);

  private:
    int OpenListing();
    int ListingFailed();

    const Program& program_;
    Input input_kind_;
    std::string input_name_;
    std::string output_name_;
    bool writer_named_ = false;
    Tallies tallies_ = Tallies::kRemarks;
    Console console_;
    Progress progress_;
    InputSet inputs_;
    OutputSet outputs_;

    io::InputFile listing_;
    formats::Format looks_like_;
    bool listing_empty_ = true;
};

}  // namespace tools

#endif
