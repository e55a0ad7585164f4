// TCX (Training Center Database v2) as a format writer, for training sites:
// an `Activity` per session the points begin (one for a track without
// sessions; a `MultiSportSession` holds them when there are several), of the
// sport the option -sport names, else the session's, else the input's, else
// Other, its `Id` the session's first time; and a `Lap` per lap the points
// begin, with `StartTime`, `TotalTimeSeconds` (the time within segments),
// `DistanceMeters`, `MaximumSpeed` and heart rates where there are any,
// `Calories` 0, `Intensity` Active and the `TriggerMethod` that ended it
// (Manual when none is known). The totals come before the points, so the
// points are set aside in a temporary file (see SpoolingWriter) and the
// document is written by Finish.
//
// A `Track` per segment, a `Trackpoint` per point with a time:
//
//   - `Time` in UTC, with the fraction of a second when there is one;
//   - `Position` (a longitude of 180 is written as -180, which the schema
//     wants), `AltitudeMeters`;
//   - `DistanceMeters`: the distance the point carries (a device's count),
//     else the geodesic length of the track on WGS 84 up to the point,
//     within segments;
//   - `HeartRateBpm`, `Cadence`, and an ActivityExtension v2 `TPX` with
//     `Speed` and `Watts`, each rounded where the schema wants a whole
//     number.
//
// Numbers are written in the shortest form that reads back to the same
// double, which xsd:double allows ("46.9481", "1e-07"). Points without a
// time are left out and counted (TCX requires one); so are waypoints,
// temperatures, positions beyond ±90 or ±180, and heart rates, cadences and
// power readings outside what the schema holds (1 to 255 beats, 0 to 254
// revolutions, 0 to 65535 watts). Values that are not finite are left out.
// A route is written as a track, and counted so when any of its points is
// written.
#ifndef TRACKTOOLS_FORMATS_TCXWRITER_H
#define TRACKTOOLS_FORMATS_TCXWRITER_H

#include <cstdint>
#include <vector>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"
#include "tracktools/geodesy/SurfaceDistances.h"

namespace formats {

class TcxWriter : public SpoolingWriter {
  public:
    TcxWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;
    void TakeRecordedSport(Sport sport) override { recorded_sport_ = sport; }

  private:
    // The totals of a lap, as its points came.
    struct Lap {
        track::Instant start;
        double seconds = 0.0;
        double first_distance = 0.0;
        double last_distance = 0.0;
        double max_speed = -1.0;  // below 0: no speed
        double heart_sum = 0.0;
        double heart_max = 0.0;
        std::uint64_t hearts = 0;
        track::LapTrigger trigger = track::LapTrigger::kUnknown;  // what ended it
    };
    void WritePoint(const track::Point& point);
    void WriteLapStart(const Lap& lap);
    const char* SessionSport(const track::Point& point) const;

    TextOutput text_;
    Sport sport_;
    Sport recorded_sport_ = Sport::kUnknown;
    track::Point spooled_;

    Breaks breaks_;  // a track begins a segment as well: TCX has one activity
    track::Instant first_time_;
    track::Instant previous_time_;
    double seconds_ = 0.0;  // within segments
    geodesy::SurfaceDistances geodesic_;
    bool has_position_ = false;
    double latitude_ = 0.0;
    double longitude_ = 0.0;
    double length_ = 0.0;    // geodesic, within segments
    double distance_ = 0.0;  // the largest DistanceMeters
    double previous_distance_ = 0.0;
    std::vector<Lap> laps_;
    std::uint64_t sessions_ = 0;

    Losses losses_;
    KindLosses kinds_;
    std::uint64_t without_time_ = 0;
    std::uint64_t positions_not_kept_ = 0;
    std::uint64_t readings_not_kept_ = 0;
};

}  // namespace formats

#endif
