// GPX 1.1 as a format writer, in the order GPX 1.1 has: a `wpt` for each
// waypoint, then a `rte` for each route with an `rtept` per point, then a
// `trk` for each track, with a `trkseg` for each of its segments and a
// `trkpt` per point. Routes and tracks are named by their name or else
// WriterOptions::name (no `name` when both are empty); a track whose first
// point begins a session of a known sport has it as its `type`. Routes and
// tracks wait in temporary files until the last waypoint has come. Of each
// point:
//
//   - `lat` and `lon` in the shortest decimal form that reads back to the
//     same double;
//   - `ele` in metres, when the point has an elevation;
//   - `time` in UTC, "YYYY-MM-DDThh:mm:ssZ" with the fraction of a second
//     in its fewest digits (".25"), when the point has a time;
//   - its texts: `name`, `cmt`, `desc`, `link` (its `href`), `sym`, `type`;
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

#include <optional>
#include <string>
#include <vector>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/textspool.h"
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
    // The routes or the tracks: their text, set aside, and the name of a
    // route or track whose first point was left out.
    struct Part {
        TextSpool spool;
        std::optional<TextOutput> text;
        std::string skipped_name;
        bool skipped = false;
    };

    // The text of the part of `kind`; null, with the writer failed, when
    // its temporary file cannot be made.
    TextOutput* PartText(Part& part);
    void Begin(TextOutput& out, const track::Point& point, const std::string& name, bool route,
               bool after_another);
    void PointElement(TextOutput& out, const char* element, const track::Point& point);
    void Texts(TextOutput& out, const track::Point& point);
    void Extensions(TextOutput& out, const track::Point& point);
    bool CopyPart(Part& part, const char* close);

    TextOutput text_;
    std::string name_;
    PositionFilter positions_;
    Part routes_;
    Part tracks_;
    bool any_waypoint_ = false;
};

}  // namespace formats

#endif
