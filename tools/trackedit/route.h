// -route: makes each track, and each route, a route of at most a count of
// points, simplified with the bound of -simplify (see simplify.h) at about
// the least tolerance that brings it to that count: the tolerance is
// searched for by doubling from 1 m and then halving the step, until one
// that fits lies within 0.1 % (or 5 mm) of one that does not. (The count
// kept does not always fall as the tolerance grows, so a smaller one may
// fit too.) A route is one line: its segments go, and
// so do its points without a position on the globe, which a route cannot
// hold. Its first point begins it and keeps the track's name.
//
// The choice needs the whole track, so the track is held until it ends: at
// a point that begins a track, or one of another kind (the points of a
// route among those of a track, as -join leaves several inputs), which then
// begins a route of its own.
// When no tolerance brings a track to the count with lines of at most
// Simplify::kLongestLine between kept points, longer lines are allowed for
// it, and counted: the measure is less close to the geodesic there.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_ROUTE_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_ROUTE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "measure.h"
#include "stage.h"

namespace trackedit {

class Route : public tools::Stage {
  public:
    explicit Route(std::size_t most_points) : most_(most_points) {}
    bool Take(track::Point*& taken) override;
    bool End() override;
    formats::Tally Tally() const override {
        return {tracks_, "track became a route", "tracks became routes", false};
    }
    formats::Tally ForTheBound() const {
        return {dropped_, "point was dropped in making routes",
                "points were dropped in making routes", true};
    }
    // The same, with the most points and the largest tolerance used.
    std::string Line() const;
    formats::Tally WithoutPosition() const {
        return {without_position_, "point without a position was dropped from a route",
                "points without a position were dropped from routes", true};
    }
    formats::Tally LongLines() const {
        return {long_lines_, "route has lines of more than 100 km, where the bound is less exact",
                "routes have lines of more than 100 km, where the bound is less exact", false};
    }

  private:
    // Chooses the points of the held track and passes them on.
    bool Flush();
    // The tolerance that brings `places` to at most most_ points, with
    // keep_ set for it; false when none does with lines of `longest`.
    bool Search(const std::vector<Place>& places, double longest, double& metres);

    std::size_t most_;
    std::vector<track::Point> held_;
    std::vector<Place> places_;
    track::Kind kind_ = track::Kind::kTrack;  // of the held points, as they came
    // The name of the track begun by a point without a position, for the
    // first point held.
    std::string name_;
    std::vector<char> keep_;
    std::uint64_t tracks_ = 0;
    std::uint64_t dropped_ = 0;  // for the bound
    std::uint64_t without_position_ = 0;
    std::uint64_t long_lines_ = 0;
    double widest_ = 0.0;
};

}  // namespace trackedit

#endif
