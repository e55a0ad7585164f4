// The inputs of trackedit, read one after another, or merged by time.
//
// One after another, each input's tracks and segments stay what they are
// and its first point begins a track. Merged, the input whose next point has
// the earliest time gives the next point (a point without a time counts with
// the time before it in its input, the earliest input wins a tie); a point
// that follows one of another input begins a track, named as the track it
// belongs to in its input. An input whose times go back is then an error.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_INPUTS_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_INPUTS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "console.h"
#include "program.h"
#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace trackedit {

class Inputs {
  public:
    Inputs(const tools::Program& program, const tools::Console& console)
        : program_(program), console_(console) {}

    // Prints "Opening <name>" for each input and opens it. 0, or, after the
    // failure line and its reason, tools::kExitInputFailed.
    int Open(const std::vector<std::string>& names, bool merge);

    // The next point; false at the end of the inputs and on a failure.
    bool Next(track::Point& point);
    bool Failed() const { return failed_ != kNone; }
    // Ends the "Working..." line with the failure line and its reason;
    // returns tools::kExitInputFailed.
    int ReportFailure() const;

    // True when the file `name` is one of the inputs.
    bool IsAnInput(const std::string& name) const;
    // After a run: what each reader changed or left out, as remarks.
    void NoteReadings() const;

  private:
    struct Source {
        std::string name;
        std::unique_ptr<formats::Reader> reader;
        std::uint64_t count = 0;  // points read
        bool timed = false;       // a time was read
        track::Instant last;      // the last time read
        std::string track_name;   // of the track being read
        track::Point head;        // merging: the next point
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Reads the next point of a source into `point`; false at its end and
    // on a failure.
    bool Read(std::size_t index, track::Point& point);
    bool NextMerged(track::Point& point);

    const tools::Program& program_;
    tools::Console console_;
    std::vector<Source> sources_;
    bool merge_ = false;
    std::size_t current_ = 0;
    std::size_t failed_ = kNone;
    std::string order_problem_;
    // Merging: the sources with a point waiting, earliest first.
    using Key = std::pair<std::int64_t, std::size_t>;
    std::priority_queue<Key, std::vector<Key>, std::greater<Key>> waiting_;
    bool primed_ = false;
    std::size_t last_source_ = kNone;
};

}  // namespace trackedit

#endif
