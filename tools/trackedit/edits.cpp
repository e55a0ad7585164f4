#include "edits.h"

#include <cmath>
#include <deque>
#include <utility>

#include "inputcheck.h"
#include "measure.h"
#include "route.h"
#include "simplify.h"

namespace trackedit {
namespace {

// Times of 1900 to 2200 in nanoseconds, and moves between them, overflow 64 bits.
__extension__ typedef __int128 Wide;

bool HasPlaceAndTime(const track::Point& point) {
    return point.Has(track::kPosition) && point.Has(track::kTime);
}

// -from, -to.
class TimeRange : public tools::Stage {
  public:
    TimeRange(const EditOptions& options, bool waypoints)
        : options_(options), waypoints_(waypoints) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        const bool inside = point.Has(track::kTime) &&
                            (!options_.from_given || point.time >= options_.from) &&
                            (!options_.to_given || point.time < options_.to);
        if (!inside) {
            Drop(point);
            return true;
        }
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return waypoints_ ? formats::Tally{Dropped(), "waypoint outside the time range was dropped",
                                           "waypoints outside the time range were dropped", true}
                          : formats::Tally{Dropped(), "point outside the time range was dropped",
                                           "points outside the time range were dropped", true};
    }

  private:
    const EditOptions& options_;
    bool waypoints_;
};

// -box.
class Box : public tools::Stage {
  public:
    Box(const EditOptions& options, bool waypoints) : options_(options), waypoints_(waypoints) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        if (!Inside(point)) {
            Drop(point);
            return true;
        }
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return waypoints_ ? formats::Tally{Dropped(), "waypoint outside the box was dropped",
                                           "waypoints outside the box were dropped", true}
                          : formats::Tally{Dropped(), "point outside the box was dropped",
                                           "points outside the box were dropped", true};
    }

  private:
    bool Inside(const track::Point& point) const {
        if (!point.Has(track::kPosition) || !(point.latitude >= options_.south) ||
            !(point.latitude <= options_.north)) {
            return false;
        }
        const double longitude = std::remainder(point.longitude, 360.0);
        return options_.west <= options_.east
                   ? longitude >= options_.west && longitude <= options_.east
                   : longitude >= options_.west || longitude <= options_.east;
    }
    const EditOptions& options_;
    bool waypoints_;
};

// -hide.
class Hide : public tools::Stage {
  public:
    Hide(const EditOptions& options, bool waypoints)
        : zones_(options.hidden), waypoints_(waypoints) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        if (point.Has(track::kPosition)) {
            for (const Zone& zone : zones_) {
                // Within the zone: not (more than its metres away).
                if (!distances_.AtLeast(zone.latitude, zone.longitude, point.latitude,
                                        point.longitude, std::nextafter(zone.metres, 1e300))) {
                    Drop(point);
                    return true;
                }
            }
        }
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return waypoints_ ? formats::Tally{Dropped(), "waypoint inside a hidden zone was dropped",
                                           "waypoints inside a hidden zone were dropped", true}
                          : formats::Tally{Dropped(), "point inside a hidden zone was dropped",
                                           "points inside a hidden zone were dropped", true};
    }

  private:
    std::vector<Zone> zones_;
    bool waypoints_;
    Distances distances_;
};

// -trim: the points before the first one that lies `metres` or more from
// the first place go, and the points after the last one that lies that far
// from the last place. The end is found by holding points back: a held point
// is let go once a later point lies twice the distance from it, for then no
// last place can lie within the distance of both. Each run of route points
// and of track points is trimmed on its own: a route and a track beside it
// both start and end at home.
class Trim : public tools::Stage {
  public:
    explicit Trim(double metres) : metres_(metres) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        if (has_kind_ && point.kind != kind_ && !EndRun()) {
            return false;
        }
        has_kind_ = true;
        kind_ = point.kind;
        const bool position = point.Has(track::kPosition);
        if (!left_start_) {
            if (position && !has_first_) {
                has_first_ = true;
                first_latitude_ = point.latitude;
                first_longitude_ = point.longitude;
            }
            if (!position || !distances_.AtLeast(first_latitude_, first_longitude_, point.latitude,
                                                 point.longitude, metres_)) {
                Drop(point);
                return true;
            }
            left_start_ = true;
        }
        const double latitude = point.latitude;
        const double longitude = point.longitude;
        held_.push_back(std::move(point));
        if (!position) {
            return true;
        }
        // Lets go of the held points up to each one with a position that
        // lies far enough from the newest (all of them for a distance of 0).
        while (!held_.empty()) {
            std::size_t next = 0;
            while (!held_[next].Has(track::kPosition)) {
                ++next;
            }
            if (!distances_.AtLeast(held_[next].latitude, held_[next].longitude, latitude,
                                    longitude, 2.0 * metres_)) {
                break;
            }
            if (!Release(next + 1)) {
                return false;
            }
        }
        return true;
    }
    bool End() override { return EndRun() && tools::Stage::End(); }
    formats::Tally Tally() const override {
        return {Dropped(), "point near the start or end was trimmed",
                "points near the start or end were trimmed", true};
    }

  private:
    // Trims the end of the run, and begins another.
    bool EndRun() {
        // The last place, and the last held point that lies far enough from it.
        std::size_t last = held_.size();
        while (last > 0 && !held_[last - 1].Has(track::kPosition)) {
            --last;
        }
        std::size_t kept = 0;
        if (last > 0) {
            const track::Point& end = held_[last - 1];
            for (std::size_t i = last; i-- > 0;) {
                if (held_[i].Has(track::kPosition) &&
                    distances_.AtLeast(held_[i].latitude, held_[i].longitude, end.latitude,
                                       end.longitude, metres_)) {
                    kept = i + 1;
                    break;
                }
            }
        }
        if (!Release(kept)) {
            return false;
        }
        for (track::Point& point : held_) {
            Drop(point);
        }
        held_.clear();
        has_first_ = left_start_ = false;
        return true;
    }
    // Passes on the first `count` held points.
    bool Release(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const bool passed = PassOut(held_.front());
            held_.pop_front();
            if (!passed) {
                return false;
            }
        }
        return true;
    }

    double metres_;
    Distances distances_;
    bool has_kind_ = false;
    track::Kind kind_ = track::Kind::kTrack;
    bool has_first_ = false;
    bool left_start_ = false;
    double first_latitude_ = 0.0;
    double first_longitude_ = 0.0;
    std::deque<track::Point> held_;
};

// -spikes: a point is dropped when the leg to it from the last point kept
// in its segment is faster than the speed, or when it lies off the globe.
class Spikes : public tools::Stage {
  public:
    explicit Spikes(double metres_per_second) : speed_(metres_per_second) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        if (point.begins_segment || point.begins_track) {
            has_last_ = false;
        }
        // A place off the globe is the worst of fixes.
        if (point.Has(track::kPosition) && !OnGlobe(point.latitude, point.longitude)) {
            Drop(point);
            return true;
        }
        if (HasPlaceAndTime(point)) {
            if (has_last_) {
                const double metres = distances_.Metres(last_latitude_, last_longitude_,
                                                        point.latitude, point.longitude);
                const Wide apart =
                    static_cast<Wide>(point.time.Nanoseconds()) - last_time_.Nanoseconds();
                if (metres > speed_ * (static_cast<double>(apart) / 1e9)) {
                    Drop(point);
                    return true;
                }
            }
            has_last_ = true;
            last_latitude_ = point.latitude;
            last_longitude_ = point.longitude;
            last_time_ = point.time;
        }
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return {Dropped(), "spike was dropped", "spikes were dropped", true};
    }

  private:
    double speed_;
    Distances distances_;
    bool has_last_ = false;
    double last_latitude_ = 0.0;
    double last_longitude_ = 0.0;
    track::Instant last_time_;
};

// -dedupe.
class Dedupe : public tools::Stage {
  public:
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        const bool timed = HasPlaceAndTime(point);
        if (timed && has_last_ && point.latitude == last_latitude_ &&
            point.longitude == last_longitude_ && point.time == last_time_) {
            Drop(point);
            return true;
        }
        has_last_ = timed;
        last_latitude_ = point.latitude;
        last_longitude_ = point.longitude;
        last_time_ = point.time;
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return {Dropped(), "duplicate point was dropped", "duplicate points were dropped", true};
    }

  private:
    bool has_last_ = false;
    double last_latitude_ = 0.0;
    double last_longitude_ = 0.0;
    track::Instant last_time_;
};

// -track: a route's points become a track's, its first point beginning it.
// Route points after track points (as -join leaves several inputs) begin a
// track of their own, which they would otherwise continue.
class ToTracks : public tools::Stage {
  public:
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        const bool route = point.kind == track::Kind::kRoute;
        if (route) {
            made_ += point.begins_track ? 1 : 0;
            if (!after_route_) {
                point.begins_track = point.begins_segment = true;
            }
            point.kind = track::Kind::kTrack;
        }
        after_route_ = route;
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return {made_, "route became a track", "routes became tracks", false};
    }

  private:
    std::uint64_t made_ = 0;
    bool after_route_ = false;
};

// -shift, -start. A time moved out of the years the suite keeps is taken
// away from its point and counted.
class Shift : public tools::Stage {
  public:
    explicit Shift(const EditOptions& options)
        : nanoseconds_(options.shift_nanoseconds),
          start_given_(options.start_given),
          start_(options.start) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        // Points without a time before the first with one pass unchanged.
        if (start_given_ && !started_ && point.Has(track::kTime)) {
            started_ = true;
            nanoseconds_ = static_cast<Wide>(start_.Nanoseconds()) - point.time.Nanoseconds();
        }
        Move(point);
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return {moved_, "time was moved", "times were moved", false};
    }
    formats::Tally Lost() const {
        return {lost_, "time moved out of the years 1900 to 2200 was removed",
                "times moved out of the years 1900 to 2200 were removed", false};
    }

  private:
    void Move(track::Point& point) {
        if (!point.Has(track::kTime) || nanoseconds_ == 0) {
            return;
        }
        const Wide moved = point.time.Nanoseconds() + nanoseconds_;
        constexpr Wide kFirst = static_cast<Wide>(track::kFirstSecond) * 1000000000;
        constexpr Wide kEnd = static_cast<Wide>(track::kLastSecond + 1) * 1000000000;
        if (moved < kFirst || moved >= kEnd) {
            point.Clear(track::kTime);
            ++lost_;
            return;
        }
        point.time = track::Instant::FromNanoseconds(static_cast<std::int64_t>(moved));
        ++moved_;
    }

    Wide nanoseconds_;
    bool start_given_;
    track::Instant start_;
    bool started_ = false;
    std::uint64_t moved_ = 0;
    std::uint64_t lost_ = 0;
};

// -join and -name. Tracks are joined into one track, routes into one route.
class Tracks : public tools::Stage {
  public:
    explicit Tracks(const EditOptions& options) : options_(options) {}
    bool Take(track::Point*& taken) override {
        track::Point& point = *taken;
        bool& started = started_[point.kind == track::Kind::kRoute ? 1 : 0];
        if (options_.join) {
            if (!started) {
                point.begins_track = point.begins_segment = true;
            } else {
                joined_ += point.begins_segment || point.begins_track ? 1 : 0;
                point.begins_track = point.begins_segment = false;
                point.track_name.clear();
            }
        }
        started = true;
        if (options_.name_given && point.begins_track && point.track_name != options_.name) {
            point.track_name = options_.name;
            ++named_;
        }
        return Pass(taken);
    }
    formats::Tally Tally() const override {
        return {joined_, "track or segment break was joined",
                "track and segment breaks were joined", false};
    }
    formats::Tally Named() const { return {named_, "track was named", "tracks were named", false}; }

  private:
    const EditOptions& options_;
    bool started_[2] = {false, false};  // tracks, routes
    std::uint64_t joined_ = 0;
    std::uint64_t named_ = 0;
};

using Stages = std::vector<std::unique_ptr<tools::Stage>>;

// The edits that select by time and place, which waypoints take as well.
void AddSelections(const EditOptions& options, bool waypoints, Stages& stages) {
    if (options.from_given || options.to_given) {
        stages.push_back(std::make_unique<TimeRange>(options, waypoints));
    }
    if (options.box_given) {
        stages.push_back(std::make_unique<Box>(options, waypoints));
    }
    if (!options.hidden.empty()) {
        stages.push_back(std::make_unique<Hide>(options, waypoints));
    }
}

// Connects the stages one after another to `end`; the first taker.
tools::Sink* Chain(Stages& stages, tools::Sink& end) {
    if (stages.empty()) {
        return &end;
    }
    for (std::size_t i = 0; i + 1 < stages.size(); ++i) {
        stages[i]->Connect(stages[i + 1].get());
    }
    stages.back()->Connect(&end);
    return stages.front().get();
}

}  // namespace

Edits::Edits(const EditOptions& options, tools::Sink& output) : to_output_(output) {
    // Waypoints take the edits by time and place only, in a chain of their
    // own that ends where the tracks' does.
    AddSelections(options, true, waypoint_stages_);
    waypoint_first_ = Chain(waypoint_stages_, to_output_);
    AddSelections(options, false, stages_);
    if (options.trim >= 0.0) {
        stages_.push_back(std::make_unique<Trim>(options.trim));
    }
    if (options.spike_speed >= 0.0) {
        stages_.push_back(std::make_unique<Spikes>(options.spike_speed));
    }
    if (options.dedupe) {
        stages_.push_back(std::make_unique<Dedupe>());
    }
    if (options.simplify >= 0.0) {
        stages_.push_back(std::make_unique<Simplify>(options.simplify, options.simplify_window));
    }
    if (options.shift_nanoseconds != 0 || options.start_given) {
        stages_.push_back(std::make_unique<Shift>(options));
    }
    if (options.join || options.name_given) {
        stages_.push_back(std::make_unique<Tracks>(options));
    }
    // Last, so that a route is made of what the other edits left, joined
    // as asked: -join -route 250 gives one route within the count.
    if (options.route_points >= 2) {
        stages_.push_back(std::make_unique<Route>(options.route_points));
    }
    if (options.to_tracks) {
        stages_.push_back(std::make_unique<ToTracks>());
    }
    first_ = Chain(stages_, output);
}

Edits::~Edits() = default;

std::vector<Edits::Count> Edits::Counts() const {
    std::vector<Count> counts;
    for (std::size_t i = 0; i < stages_.size(); ++i) {
        const tools::Stage* stage = stages_[i].get();
        counts.push_back({stage->Tally(), ""});
        // The selections come first in both chains, in the same order.
        if (i < waypoint_stages_.size()) {
            counts.push_back({waypoint_stages_[i]->Tally(), ""});
        }
        if (const auto* shift = dynamic_cast<const Shift*>(stage)) {
            counts.push_back({shift->Lost(), ""});
        } else if (const auto* tracks = dynamic_cast<const Tracks*>(stage)) {
            counts.push_back({tracks->Named(), ""});
        } else if (const auto* route = dynamic_cast<const Route*>(stage)) {
            counts.push_back({route->WithoutPosition(), ""});
            counts.push_back({route->ForTheBound(), route->Line()});
            counts.push_back({route->LongLines(), ""});
        }
    }
    return counts;
}

std::vector<formats::Tally> Edits::Tallies() const {
    std::vector<formats::Tally> tallies;
    for (const Count& count : Counts()) {
        tallies.push_back(count.tally);
    }
    return tallies;
}

std::vector<std::string> Edits::Lines() const {
    std::vector<std::string> lines;
    for (Count& count : Counts()) {
        if (count.tally.count == 0) {
            continue;
        }
        if (count.line.empty()) {
            count.line = tools::TallyLines({count.tally}).front();
        }
        lines.push_back(std::move(count.line));
    }
    return lines;
}

}  // namespace trackedit
