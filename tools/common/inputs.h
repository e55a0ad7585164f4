// The inputs of a program: one or many track files of any format the suite
// reads, opened through the table of formats ("-" is standard input), read
// one after another or merged by time.
//
// One after another, each input's tracks and segments stay what they are
// and its first point begins a track. Merged, the input whose next point has
// the earliest time gives the next point (a point without a time counts with
// the time before it in its input, the earliest input wins a tie); a point
// that follows one of another input begins a track, named as the track it
// belongs to in its input. An input whose times go back is then an error.
#ifndef TRACKTOOLS_TOOLS_COMMON_INPUTS_H
#define TRACKTOOLS_TOOLS_COMMON_INPUTS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "console.h"
#include "program.h"
#include "stage.h"
#include "tracktools/formats/format.h"
#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace tools {

class InputSet {
  public:
    // The messages go to `console`: "<opening><name>" before each input is
    // opened (none for nullptr), and the failure lines.
    InputSet(const Program& program, const Console& console, const char* opening = "Opening ")
        : program_(program), console_(console), opening_(opening) {}

    // Before Open: the format of every input (unknown: each by its name,
    // else by its content), and whether they are merged by time.
    void ReadAs(formats::Format format) { read_as_ = format; }
    void MergeByTime(bool merge) { merge_ = merge; }
    // The programs that work on GPL records see only the points with a
    // position, as a GPL track holds them; the others are passed over and
    // counted.
    void PositionsOnly() { positions_only_ = true; }
    // The programs that draw or report tracks pass over the waypoints.
    void TracksOnly() { tracks_only_ = true; }
    // Files that break part way give what was read before the break (see
    // formats::Reader::Salvage).
    void Salvage(bool salvage) { salvage_ = salvage; }
    std::uint64_t Skipped() const { return skipped_; }

    // Announces and opens each of `names` in turn, in place of any inputs
    // opened before. 0, or, after the failure line and its reason (unless
    // `report` is false: OpenError then tells it), kExitInputFailed
    // (nothing after that input is opened).
    int Open(const std::vector<std::string>& names, bool report = true);
    int Open(const std::string& name, bool report = true) {
        return Open(std::vector<std::string>{name}, report);
    }
    // The reason the last Open failed, as the system or the table gave it.
    const formats::ReadError& OpenError() const { return open_error_; }

    // The next point into `*point` (see Sink: merging exchanges points);
    // false at the end of the inputs and on a failure.
    bool Next(track::Point*& point) {
        // An input read one after another, past its first point, goes
        // straight from its reader.
        if (straight_ != nullptr) {
            while (straight_->Next(*point)) {
                if (Wanted(*point)) {
                    return true;
                }
            }
            straight_ = nullptr;
        }
        return NextOther(point);
    }
    bool Failed() const { return failed_ != kNone; }
    // After a failure: the failure line "<name>" - Read Failed!!! (after a
    // line end that closes "Working...", when `end_line`) and its reason;
    // returns kExitInputFailed.
    int ReportFailure(bool end_line = true) const;
    // The input that failed, and where and why.
    const std::string& FailedName() const { return sources_[failed_]->name; }
    std::string FailureWhere() const;
    std::string FailureReason() const;

    // True when the file `name` is one of the inputs: an output must not
    // replace it.
    bool IsAnInput(const std::string& name) const;
    // The first input's reader, for what it tells of the file after the run.
    const formats::Reader& First() const { return *sources_.front()->reader; }

    // After a run, as remarks on standard error: what each reader changed or
    // left out, the points passed over for want of a position, and what the
    // reader had to say of its file (a partial record at the end).
    void NoteReadings() const;
    // The same tallies, for lines after a summary, and the remarks alone.
    std::vector<formats::Tally> Tallies() const;
    void NoteRemarks() const;

  private:
    struct Source {
        std::string name;
        std::unique_ptr<formats::Reader> reader;
        std::uint64_t count = 0;  // points read
        bool timed = false;       // a time was read
        track::Instant last;      // the last time read
        std::string track_name;   // of the track being read
        Slot head;                // merging: the next point
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    bool Read(std::size_t index, track::Point& point);
    bool NextOther(track::Point*& point);
    bool NextMerged(track::Point*& point);

    // Whether `point` is handed out; one passed over for its lack of a
    // position is counted.
    bool Wanted(const track::Point& point) {
        if (tracks_only_ && point.kind == track::Kind::kWaypoint) {
            return false;
        }
        if (positions_only_ && !point.Has(track::kPosition)) {
            ++skipped_;
            return false;
        }
        return true;
    }

    const Program& program_;
    Console console_;
    const char* opening_;
    formats::Format read_as_;
    bool merge_ = false;
    bool positions_only_ = false;
    bool tracks_only_ = false;
    bool salvage_ = false;
    formats::ReadError open_error_;
    std::uint64_t skipped_ = 0;

    std::vector<std::unique_ptr<Source>> sources_;
    formats::Reader* straight_ = nullptr;
    std::size_t current_ = 0;
    std::size_t failed_ = kNone;
    std::string order_problem_;
    // Merging: the sources with a point waiting, earliest first.
    using Key = std::pair<std::int64_t, std::size_t>;
    std::priority_queue<Key, std::vector<Key>, std::greater<Key>> waiting_;
    bool primed_ = false;
    std::size_t last_source_ = kNone;
};

}  // namespace tools

#endif
