// The points of trackedit flow through a chain of stages, one per edit, in
// a fixed order; each stage passes on the points it keeps and drops the
// others. A dropped point hands its marks on: the next point the stage
// passes on begins the segment (and the track, with its name) that the
// dropped point began, so that dropping never merges two segments.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_STAGE_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_STAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace trackedit {

// Where points go: the next stage, or the output.
class Sink {
  public:
    virtual ~Sink() = default;
    // Takes a point (and may change it: it is the caller's no more). False
    // when the output failed: the run stops.
    virtual bool Take(track::Point& point) = 0;
    // After the last point: passes on what is held. False as Take.
    virtual bool End() = 0;
};

class Stage : public Sink {
  public:
    void Connect(Sink* next) { next_ = next; }
    bool End() override { return next_->End(); }
    // What the stage changed, for the line after the summary.
    virtual formats::Tally Tally() const = 0;

  protected:
    // Passes `point` on with the marks of the points dropped before it.
    bool Pass(track::Point& point);
    // Drops `point`, keeping its marks for the next point passed on.
    void Drop(track::Point& point);
    std::uint64_t Dropped() const { return dropped_; }

  private:
    Sink* next_ = nullptr;
    std::uint64_t dropped_ = 0;
    bool pending_segment_ = false;
    bool pending_track_ = false;
    std::string pending_name_;
};

// Points gathered in memory, for tests and tools.
class PointList : public Sink {
  public:
    bool Take(track::Point& point) override {
        points.push_back(point);
        return true;
    }
    bool End() override { return true; }
    std::vector<track::Point> points;
};

}  // namespace trackedit

#endif
