// TCX (Training Center Database v2) as a format writer, for training sites:
// one `Activity` of the sport the option -sport names (else the input's, else
// Other), its `Id` the first time, and one `Lap` for the whole track with
// what the schema requires: `StartTime`, `TotalTimeSeconds` (the time within
// segments), `DistanceMeters`, `Calories` 0, `Intensity` Active and
// `TriggerMethod` Manual. The lap's totals come before its points, so the
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
// time are left out and counted (TCX requires one); so are
// temperatures, positions beyond ±90 or ±180, and heart rates, cadences and
// power readings outside what the schema holds (1 to 255 beats, 0 to 254
// revolutions, 0 to 65535 watts). Values that are not finite are left out.
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
    void WritePoint(const track::Point& point);

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

    Losses losses_;
    KindLosses kinds_;
    std::uint64_t without_time_ = 0;
    std::uint64_t positions_not_kept_ = 0;
    std::uint64_t readings_not_kept_ = 0;
};

}  // namespace formats

#endif
