// -split-gap, -split-day and -split-segments: where a new piece of the
// output begins (see tools::OutputSet). At a point with a time more than the
// gap after the time before it, at a point whose local day (TZ) is not that
// of the time before it, or at every start of a segment.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_SPLIT_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_SPLIT_H

#include <cstdint>

#include "outputs.h"
#include "stage.h"
#include "tracktools/track/point.h"

namespace trackedit {

enum class Split { kNone, kGap, kDay, kSegments };

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

// The last stage: begins a piece of `output` where the splitter says.
class SplitPieces : public tools::Stage {
  public:
    SplitPieces(Split split, std::int64_t gap_nanoseconds, tools::OutputSet& output)
        : splitter_(split, gap_nanoseconds), output_(output) {}
    bool Take(track::Point*& point) override {
        if (splitter_.Begins(*point)) {
            output_.BeginPiece();
        }
        return Pass(point);
    }

  private:
    Splitter splitter_;
    tools::OutputSet& output_;
};

}  // namespace trackedit

#endif
