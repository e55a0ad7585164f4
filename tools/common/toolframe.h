// The shared shape of the programs that turn one input file into one output
// file of GPL records: announce and open both files, "Working...", a progress
// mark every 100 units, close, summary, exit status.
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
#include <string>

#include "console.h"
#include "gpldata.h"
#include "gplfile.h"
#include "program.h"
#include "progress.h"
#include "sniff.h"

namespace tools {

class ToolFrame {
  public:
    // What the input holds: GPL records, or a text listing (logpack).
    enum class Input { kRecords, kListing };

    ToolFrame(const Program& program, std::string input_name, std::string output_name,
              Input input = Input::kRecords);

    // Prints "Opening " for each file and opens the input, then the output.
    // Returns 0, or, after printing the failure line (and the reason on
    // standard error), kExitInputFailed (the output is then not created) or
    // kExitOutputFailed (also when the output is the input file itself or
    // this program's standard output, which are left untouched). An input of
    // records that starts like text is warned about on standard error.
    int Open();
    // "Working..." without a line end.
    void Announce();

    // The next record; false at the end of the input, on a partial record
    // and on a read error (which Finish then reports).
    bool Read(GPL_Data_Point& point) { return input_.ReadRecord(point); }
    // The next text line into a zero-terminated buffer (see InputFile::ReadLine).
    void ReadLine(char* buffer, std::size_t size) { input_.ReadLine(buffer, size); }
    bool AtEnd() const { return input_.AtEnd(); }
    // True once reading the input failed for another reason than its end.
    bool ReadFailed() const { return input_.Failed(); }

    // Writes one record and counts it. False when the output cannot be
    // written; the caller then returns WriteFailed().
    bool Write(const GPL_Data_Point& point);
    // Pushes buffered records to the file; false when that fails.
    bool Flush() { return output_.Flush(); }
    std::uint64_t Written() const { return written_; }

    // Prints a progress mark when `unit` is a multiple of 100.
    void Mark(std::uint64_t unit) const { progress_.Mark(unit); }

    // Ends the "Working..." line, prints the "Write Failed!!!" line for the
    // output, closes both files and returns kExitWriteFailed.
    int WriteFailed();
    // Ends the run. A read error ends the "Working..." line with the "Read
    // Failed!!!" line for the input and gives kExitInputFailed; output that
    // was lost gives WriteFailed(). Otherwise both files are closed, "done."
    // and the summary ("Wrote <n> data points." when none is given) are
    // printed, and the result is kExitOk. Remarks on the input (a partial
    // record at its end, a listing without points) follow on standard error.
    int Finish();
    int Finish(const std::string& summary);

  private:
    const Program& program_;
    Input input_kind_;
    formats::Format looks_like_ = formats::Format::kUnknown;
    bool input_empty_ = true;
    std::string input_name_;
    std::string output_name_;
    gpl::InputFile input_;
    gpl::OutputFile output_;
    std::uint64_t written_ = 0;
    Progress progress_;
};

}  // namespace tools

#endif
