// Where trackedit's points end: one output file, or, with a split, one file
// per piece, named "<stem>-1.<ext>", "<stem>-2.<ext>", ... after the
// output's name. Tracks are numbered from 0 in the order they begin. Every
// file replaces its name only when all of them were written.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_OUTPUT_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_OUTPUT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console.h"
#include "inputs.h"
#include "program.h"
#include "replacingfile.h"
#include "stage.h"
#include "tracktools/formats/writer.h"

namespace trackedit {

enum class Split { kNone, kGap, kDay, kSegments };

// The name of piece `number` (from 1) of `output`: "week-3.gpx" of
// "week.gpx", "dir/log-3" of "dir/log".
std::string PieceName(const std::string& output, std::uint64_t number);

// Where a new piece begins: at a point with a time more than the gap after
// the time before it, at a point whose local day (TZ) is not that of the
// time before it, or at every start of a segment.
class Splitter {
  public:
    Splitter(Split split, std::int64_t gap_nanoseconds) : split_(split), gap_(gap_nanoseconds) {}
    // True when `point`, which is not the first, begins a piece.
    bool Begins(const track::Point& point);

  private:
    Split split_;
    std::int64_t gap_;
    bool timed_ = false;
    track::Instant last_;
    std::int64_t last_day_ = 0;
};

class Output : public Sink {
  public:
    Output(const tools::Program& program, const tools::Console& console, const Inputs& inputs,
           std::string name, Split split, std::int64_t gap_nanoseconds,
           formats::WriterOptions options);
    ~Output() override;

    // Without a split: prints "Opening <name>" and opens the file. 0, or,
    // after the failure line and its reason, tools::kExitOutputFailed.
    int Open();

    bool Take(track::Point& point) override;
    // Ends the file being written.
    bool End() override;
    // Gives every file its name; false when any could not be written.
    bool Commit();
    // After Take, End or Commit failed: ends the "Working..." line with the
    // failure line and its reason, removes every file written, and returns
    // tools::kExitOutputFailed or tools::kExitWriteFailed.
    int ReportFailure();

    // "Wrote <n> data points to <piece>." for each piece, then "Wrote <n>
    // data points."
    std::vector<std::string> Summary() const;
    // What the writers left out, summed over the pieces.
    std::vector<formats::Tally> Tallies() const;

  private:
    struct Piece {
        std::string name;
        std::unique_ptr<tools::ReplacingFile> file;
        std::uint64_t written = 0;
    };

    bool OpenFile(const std::string& name);
    bool EndPiece();
    void AddTallies(const formats::Writer& writer);

    const tools::Program& program_;
    tools::Console console_;
    const Inputs& inputs_;
    std::string name_;
    Split split_;
    Splitter splitter_;
    formats::WriterOptions options_;
    formats::Format format_;

    std::vector<Piece> pieces_;
    std::unique_ptr<formats::Writer> writer_;
    std::vector<formats::Tally> tallies_;
    std::uint64_t tracks_ = 0;
    std::string track_name_;

    // The failure: the file, and whether it could not be opened.
    std::string failed_name_;
    bool open_failed_ = false;
    std::string reason_;
};

}  // namespace trackedit

#endif
