// What the format writers share: the marks of tracks and segments as the
// output sees them, the points left out for their positions, the counts of
// what a format cannot hold, and the points set aside until the end.
#ifndef TRACKTOOLS_FORMATS_WRITING_H
#define TRACKTOOLS_FORMATS_WRITING_H

#include <cstdint>
#include <vector>

#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/writer.h"
#include "tracktools/track/point.h"

namespace formats {

// What a writer does at a point: the marks of tracks and segments as the
// output sees them, where the first point written begins a track, and a
// point left out passes its mark on to the next point written.
// A waypoint stands alone: it breaks nothing and takes no mark, and a
// point of another kind than the one before begins a track.
class Breaks {
  public:
    enum Kind { kNone, kSegment, kTrack };
    // The break before `point`, which is written.
    Kind Next(const track::Point& point) {
        if (point.kind == track::Kind::kWaypoint) {
            return kNone;
        }
        const Kind kind = !started_ || point.kind != kind_ ? kTrack : Stronger(pending_, Of(point));
        started_ = true;
        kind_ = point.kind;
        pending_ = kNone;
        return kind;
    }
    // `point` is left out.
    void Skip(const track::Point& point) {
        if (point.kind != track::Kind::kWaypoint) {
            pending_ = Stronger(pending_, Of(point));
        }
    }
    bool Started() const { return started_; }

  private:
    static Kind Of(const track::Point& point) {
        return point.begins_track ? kTrack : point.begins_segment ? kSegment : kNone;
    }
    static Kind Stronger(Kind a, Kind b) { return a > b ? a : b; }

    bool started_ = false;
    track::Kind kind_ = track::Kind::kTrack;
    Kind pending_ = kNone;
};

// What a format without waypoints or routes (GPL, TCX) does with them:
// waypoints are left out, route points written as track points; both are
// counted.
class KindLosses {
  public:
    // True when `point` is written.
    bool Keeps(const track::Point& point) {
        if (point.kind == track::Kind::kWaypoint) {
            ++waypoints_;
            return false;
        }
        routes_ += point.kind == track::Kind::kRoute && point.begins_track ? 1 : 0;
        return true;
    }
    void AppendTallies(std::vector<Tally>& tallies) const;

  private:
    std::uint64_t waypoints_ = 0;
    std::uint64_t routes_ = 0;
};

// True when `point` has a latitude within ±90 and a longitude within ±180
// degrees, the positions that GPX, KML and GeoJSON can hold.
bool HasValidPosition(const track::Point& point);

// What the writers of positions (GPX, KML, GeoJSON) do first with a point:
// one without a position, or with one the format cannot hold, is left out
// and counted, and the track or segment it began passes on to the next
// point written.
class PositionFilter {
  public:
    // True when `point` is written: it has a valid position, and the rest of
    // it is what the format `holds`.
    bool Keeps(const track::Point& point, bool holds = true) {
        if (!point.Has(track::kPosition)) {
            ++without_position_;
        } else if (!holds || !HasValidPosition(point)) {
            ++not_held_;
        } else {
            return true;
        }
        BreaksOf(point.kind).Skip(point);
        return false;
    }
    // The break before a point that Keeps took: tracks and routes each
    // break on their own.
    Breaks::Kind Next(const track::Point& point) { return BreaksOf(point.kind).Next(point); }
    // Whether a point of any kind but waypoints was taken.
    bool Started() const { return breaks_.Started() || route_breaks_.Started(); }
    bool Started(track::Kind kind) const {
        return kind == track::Kind::kRoute ? route_breaks_.Started() : breaks_.Started();
    }
    // The counts of the points left out; those the format could not hold
    // are named for their altitude as well when `altitude`.
    void AppendTallies(std::vector<Tally>& tallies, bool altitude) const;

  private:
    Breaks& BreaksOf(track::Kind kind) {
        return kind == track::Kind::kRoute ? route_breaks_ : breaks_;
    }

    Breaks breaks_;
    Breaks route_breaks_;
    std::uint64_t without_position_ = 0;
    std::uint64_t not_held_ = 0;
};

// Counts what a format cannot hold of the points written: the values of
// `dropped` (Field bits) that points carried, and segment breaks when
// segments are not kept.
class Losses {
  public:
    Losses(std::uint16_t dropped, bool segments_dropped)
        : dropped_(dropped), segments_(segments_dropped) {}
    // For a point that is written, after the break Breaks gave it.
    void Add(const track::Point& point, Breaks::Kind kind) {
        if ((point.fields & dropped_) != 0 || kind != Breaks::kNone) {
            Count(point, kind);
        }
    }
    // Tallies of the counts, in a fixed order.
    void AppendTallies(std::vector<Tally>& tallies) const;

  private:
    void Count(const track::Point& point, Breaks::Kind kind);

    std::uint16_t dropped_;
    bool segments_;
    std::uint64_t values_[track::kSensorCount] = {};
    std::uint64_t breaks_lost_ = 0;
    bool started_ = false;
};

// A writer that sets its points aside until it finishes (KML, GeoJSON and
// TCX write what comes before the points from all of them), in a temporary
// file made when the first point comes; a failure of the file is the
// writer's.
class SpoolingWriter : public Writer {
  protected:
    using Writer::Writer;

    // False, with the writer failed, when the temporary file failed.
    bool SetAside(const track::Point& point);
    // From the first point set aside on; false when the file failed.
    bool ReadAside();
    // The next point set aside; false at the end and when the file failed.
    bool NextAside(track::Point& point) { return spool_.Next(point); }
    // After the last: false, with the writer failed, when the file failed.
    bool EndAside() { return spool_.Error() == 0 || SpoolFailed(); }
    // Fails the writer with the temporary file's error; false.
    bool SpoolFailed();

  private:
    PointSpool spool_;
    bool open_ = false;
};

}  // namespace formats

#endif
