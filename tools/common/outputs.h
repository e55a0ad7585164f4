// Where a program's points end: one output file ("-" is standard output),
// or numbered pieces "<stem>-1.<ext>", "<stem>-2.<ext>", ... named after the
// output's name. The format is the one WriteAs names, else the one the
// name's extension says, else GPL. Tracks are numbered from 0 in the order
// they begin. Every file replaces its name only when all of them were
// written (see ReplacingFile), and none may be one of the inputs.
#ifndef TRACKTOOLS_TOOLS_COMMON_OUTPUTS_H
#define TRACKTOOLS_TOOLS_COMMON_OUTPUTS_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "inputs.h"
#include "program.h"
#include "replacingfile.h"
#include "stage.h"
#include "tracktools/formats/format.h"
#include "tracktools/formats/writer.h"

namespace tools {

// The name of piece `number` (from 1) of `output`: "week-3.gpx" of
// "week.gpx", "dir/log-3" of "dir/log".
std::string PieceName(const std::string& output, std::uint64_t number);

class OutputSet : public Sink {
  public:
    OutputSet(const Program& program, const Console& console, const InputSet& inputs)
        : program_(program), console_(console), inputs_(inputs) {}
    ~OutputSet() override;

    // Before Open: the format (unknown: from the name), and what the writer
    // needs besides the points.
    void WriteAs(formats::Format format) { format_ = format; }
    void SetWriterOptions(const formats::WriterOptions& options) { options_ = options; }
    formats::WriterOptions& WriterOptions() { return options_; }
    // A file besides the open inputs that no output may replace (logpack's
    // listing, trackinfo's other files), by its device and inode numbers or
    // by its name.
    void Spare(unsigned long long device, unsigned long long inode) {
        spared_.push_back({device, inode});
    }
    void Spare(const std::string& name);

    // Prints "Opening <name>" and opens the one output. 0, or, after the
    // failure line and its reason, kExitOutputFailed.
    int Open(const std::string& name);
    // Pieces named after `name`, each opened when its first point comes
    // (nothing is printed); BeginPiece makes the next point begin one.
    void OpenPieces(const std::string& name);
    void BeginPiece() { piece_pending_ = true; }
    // A page or report of text instead of points: opened as Open opens a
    // file, without the message; written with Text.
    bool OpenText(const std::string& name);
    void Text(std::string_view text);
    // After OpenText failed, or the text could not be written: why.
    const std::string& Reason() const { return reason_; }

    bool Take(track::Point*& point) override;
    // Ends the file being written. False when that failed.
    bool End() override;
    // Hands a writer what the input said of its sport (see
    // formats::Writer::TakeRecordedSport), before End.
    void TakeRecordedSport(formats::Sport sport);
    // Pushes what is buffered to the output; false when that fails.
    bool Flush();
    // Gives every file its name; false when any could not be written.
    bool Commit();
    // Removes every file written; their names are left as they were.
    void Abandon();
    // After Take, End, Flush or Commit failed: ends the "Working..." line
    // (when `end_line`) with the failure line and its reason, removes every
    // file written, and returns kExitOutputFailed or kExitWriteFailed.
    int ReportFailure(bool end_line = true);

    // Points written so far, in all pieces.
    std::uint64_t Written() const;
    // "Wrote <n> data points to <piece>." for each piece, then "Wrote <n>
    // data points."
    std::vector<std::string> Summary() const;
    // What the writers left out, summed over the pieces.
    std::vector<formats::Tally> Tallies() const;

  private:
    struct Piece {
        std::string name;
        std::unique_ptr<ReplacingFile> file;
        std::uint64_t written = 0;
    };

    // A point that begins a track or a piece.
    [[gnu::noinline]] bool TakeFirst(track::Point& taken);
    [[gnu::noinline]] bool WriteFailed();
    bool OpenFile(const std::string& name);
    bool Spared(const std::string& name) const;
    bool EndPiece();
    bool Failure(const std::string& name, std::string reason);

    const Program& program_;
    Console console_;
    const InputSet& inputs_;
    formats::Format format_;
    formats::WriterOptions options_;
    std::string name_;
    struct Identity {
        unsigned long long device;
        unsigned long long inode;
    };
    std::vector<Identity> spared_;
    bool pieces_wanted_ = false;
    bool piece_pending_ = false;
    int text_error_ = 0;

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

}  // namespace tools

#endif
