// The edits of trackedit on a stream of points, always in this order
// whatever the order of the options: the time range, the box, the hidden
// zones, the trim, the spikes, the duplicates, the simplification, the move
// in time, the joining and naming of tracks, then the making of routes or
// tracks. Each edit that is asked for is one stage
// (tools/common/stage.h); the points that come out of the last go to the
// output.
//
// Route points take every edit as track points do. Waypoints take the time
// range, the box and the hidden zones only, in stages of their own that
// count them apart, and the other edits leave them as they are.
//
// Distances are geodesic, on WGS 84. Memory stays flat but for -route: the
// stages hold no more than a window of points (-simplify), the points at
// the end that may yet be trimmed (-trim), and one track (-route).
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_EDITS_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_EDITS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "stage.h"
#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace trackedit {

// A place whose surroundings are hidden.
struct Zone {
    double latitude = 0.0;
    double longitude = 0.0;
    double metres = 0.0;
};

// The values of the edits, the flags that say which were given last.
struct EditOptions {
    // -from, -to: keep the points with a time in [from, to).
    track::Instant from;
    track::Instant to;
    // -box: keep the points inside; west > east crosses the antimeridian.
    double south = 0.0, west = 0.0, north = 0.0, east = 0.0;
    // -hide: drop the points within metres of a place.
    std::vector<Zone> hidden;
    // -trim: drop the points near the first and the last place (< 0: none).
    double trim = -1.0;
    // -spikes: metres per second (< 0: none).
    double spike_speed = -1.0;
    // -simplify: metres (< 0: none), and the most points it holds.
    double simplify = -1.0;
    std::size_t simplify_window = 100000;
    // -route: the most points of a route (0: none); -track.
    std::size_t route_points = 0;
    bool to_tracks = false;
    // -shift, or -start: the first time becomes `start`.
    std::int64_t shift_nanoseconds = 0;
    track::Instant start;
    // -name.
    std::string name;

    bool from_given = false;
    bool to_given = false;
    bool box_given = false;
    bool dedupe = false;
    bool start_given = false;
    bool join = false;
    bool name_given = false;
};

class Edits : public tools::Sink {
  public:
    // The points that come out go to `output`, which must outlive this.
    Edits(const EditOptions& options, tools::Sink& output);
    ~Edits() override;

    bool Take(track::Point*& point) override {
        return point->kind == track::Kind::kWaypoint ? waypoint_first_->Take(point)
                                                     : first_->Take(point);
    }
    bool End() override { return waypoint_first_->End() && first_->End(); }

    // What each edit changed, in the order of the edits, each edit's count
    // of waypoints after its count of points.
    std::vector<formats::Tally> Tallies() const;
    // The same as the lines after the summary.
    std::vector<std::string> Lines() const;

  private:
    // A count, and the line that says it when its words need a number of
    // their own (empty: the tally's words).
    struct Count {
        formats::Tally tally;
        std::string line;
    };
    std::vector<Count> Counts() const;

    // Passes points on to the output, and leaves the end to the tracks.
    class ToOutput : public tools::Sink {
      public:
        explicit ToOutput(tools::Sink& output) : output_(output) {}
        bool Take(track::Point*& point) override { return output_.Take(point); }
        bool End() override { return true; }

      private:
        tools::Sink& output_;
    };

    std::vector<std::unique_ptr<tools::Stage>> stages_;
    tools::Sink* first_;
    ToOutput to_output_;
    std::vector<std::unique_ptr<tools::Stage>> waypoint_stages_;
    tools::Sink* waypoint_first_ = nullptr;
};

}  // namespace trackedit

#endif
