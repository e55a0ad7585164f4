// GPX 1.1 as a format writer: a `trk` for each track of the points, named
// by the track's name or else WriterOptions::name (no `name` when both are
// empty), with a `trkseg` for each of its segments and a `trkpt` per point:
//
//   - `lat` and `lon` in the shortest decimal form that reads back to the
//     same double;
//   - `ele` in metres, when the point has an elevation;
//   - `time` in UTC, "YYYY-MM-DDThh:mm:ssZ" with the fraction of a second
//     in its fewest digits (".25"), when the point has a time;
//   - in `extensions`, a Garmin TrackPointExtension v2 with `atemp`, `hr`,
//     `cad`, `speed` (metres per second) and `course` (degrees), each when
//     the point has it, and Garmin's PowerExtension `PowerInWatts`.
//
// A value that is not a finite number is left out of its point. A point
// read from a GPL record whose speed and heading are both 0 gets neither:
// GPL writes 0 for a value it does not have.
//
// A point without a position, or whose latitude or longitude is not finite
// or out of range (±90, ±180), is left out and counted: GPX cannot hold it.
// A track without points is not written, but a document without any point
// has an empty track, so that it still names the input.
#ifndef TRACKTOOLS_FORMATS_GPXWRITER_H
#define TRACKTOOLS_FORMATS_GPXWRITER_H

#include <string>
#include <vector>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

class GpxWriter : public Writer {
  public:
    GpxWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    void BeginTrack(const std::string& name, bool after_another);
    void Extensions(const track::Point& point);

    TextOutput text_;
    std::string name_;
    PositionFilter positions_;
    // The name of a track whose first point was left out.
    std::string skipped_name_;
    bool skipped_track_ = false;
};

}  // namespace formats

#endif
