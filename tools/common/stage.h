// The points of every program flow from its inputs through a chain of
// stages into its output: each stage passes on the points it keeps, changed
// or not, and drops the others. A dropped point hands its marks on: the next
// point the stage passes on begins the segment (and the track, with its
// name) that the dropped point began, so that dropping never merges two
// segments.
//
// Points are handed over by pointer, so that a stage that holds a point
// back (to see the one after it first) copies nothing: it keeps the point it
// is given and leaves one it held in its place, for the giver to reuse.
#ifndef TRACKTOOLS_TOOLS_COMMON_STAGE_H
#define TRACKTOOLS_TOOLS_COMMON_STAGE_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace tools {

// Where points go: the next stage, or the output.
class Sink {
  public:
    Sink() = default;
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
    virtual ~Sink() = default;

    // Takes `*point`. The sink may keep that point and leave in `point` one
    // of its own instead; either way what `point` then points to is the
    // giver's to reuse. A giver hands over only points it can give away like
    // that (a Slot's, not an element of a container). False when the output
    // failed: the run stops.
    virtual bool Take(track::Point*& point) = 0;
    // After the last point: passes on what is held. False as Take.
    virtual bool End() = 0;
};

// A point a stage holds. Exchange keeps the point it is given and gives
// back the one held before.
class Slot {
  public:
    Slot() = default;
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    track::Point& operator*() const { return *point_; }
    track::Point* operator->() const { return point_; }
    track::Point*& Pointer() { return point_; }
    void Exchange(track::Point*& point) { std::swap(point, point_); }

  private:
    track::Point own_;
    track::Point* point_ = &own_;
};

class Stage : public Sink {
  public:
    void Connect(Sink* next) { next_ = next; }
    bool End() override { return next_->End(); }
    // What the stage changed, for a line after the summary; a count of 0
    // says nothing.
    virtual formats::Tally Tally() const { return {}; }

  protected:
    // Passes `*point` on with the marks of the points dropped before it.
    bool Pass(track::Point*& point) {
        if (pending_segment_ && point->kind != track::Kind::kWaypoint) {
            TakePendingMarks(*point);
        }
        return next_->Take(point);
    }
    // Passes on a point the stage keeps in a container: it is moved out.
    bool PassOut(track::Point& point) {
        *spare_ = std::move(point);
        return Pass(spare_.Pointer());
    }
    // Drops `point`, keeping its marks for the next point passed on.
    void Drop(track::Point& point);
    std::uint64_t Dropped() const { return dropped_; }

  private:
    void TakePendingMarks(track::Point& point);

    Sink* next_ = nullptr;
    Slot spare_;
    std::uint64_t dropped_ = 0;
    bool pending_segment_ = false;
    bool pending_track_ = false;
    std::string pending_name_;
};

// Points gathered in memory, for tests and tools.
class PointList : public Sink {
  public:
    bool Take(track::Point*& point) override {
        points.push_back(*point);
        return true;
    }
    bool End() override { return true; }
    std::vector<track::Point> points;
};

}  // namespace tools

#endif
