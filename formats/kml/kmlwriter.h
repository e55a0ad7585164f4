// KML 2.2 as a format writer: a Document named after the input with a line
// style, then
//
//   - a Placemark "Start" at the first point (a Point, with a TimeStamp when
//     it has a time),
//   - a Placemark named after the input with the track: a LineString of
//     "lon,lat,alt" tuples (altitude in metres, altitudeMode absolute;
//     "lon,lat" for a point without an elevation), or, when the points make
//     several segments (a new track begins a segment too), a MultiGeometry
//     with a LineString for each; a segment of one point is a line from the
//     point to itself. There is no line for a track of one point.
//   - a Placemark "End" at the last point, like "Start".
//
// These come after a Placemark for each waypoint, where it was in the
// input: its name, its description, a TimeStamp when it has a time, its
// comment, symbol, type and link as ExtendedData ("cmt", "sym", "type",
// "link") and a Point (with its altitude when it has one). Each route is a
// Placemark of its own after the waypoints before it ends, named after the
// route (else the input), with ExtendedData "kind" "route" and a LineString
// from its points; a route of one point is a line from the point to
// itself. The texts of track and route points are not kept, and counted.
//
// The option -clamp lays the lines on the ground (altitudeMode
// clampToGround, tuples without altitude); -extrude adds the wall from the
// lines down to the ground. A point without a position, or
// whose latitude or longitude is not finite or out of range, or whose
// elevation is not finite when altitudes are written, is left out and
// counted. Heart rates, cadences, power and temperatures are not kept, and
// are counted.
//
// Whether the points make one line or several is known only at the end:
// the points wait in a temporary file (see pointspool.h), not in memory,
// and the placemarks are written when the document is finished. The points
// of a route wait in a file of their own until the route ends.
#ifndef TRACKTOOLS_FORMATS_KMLWRITER_H
#define TRACKTOOLS_FORMATS_KMLWRITER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

class KmlWriter : public SpoolingWriter {
  public:
    KmlWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    void Tuple(const track::Point& point);
    void Placemark(const char* name, const track::Point& point);
    void TimeStamp(const track::Point& point);
    void PointGeometry(const track::Point& point);
    void Waypoint(const track::Point& point);
    void BeginLine(bool nested);
    void EndLine(std::uint64_t points);
    // The line Placemark from the points set aside; false when the
    // temporary file failed.
    bool Lines();
    // The Placemark of the route set aside, which has ended; false, with
    // the writer failed, when its temporary file failed.
    bool Route();
    bool RouteFailed();

    TextOutput text_;
    std::string name_;
    bool clamp_;
    bool extrude_;
    PositionFilter positions_;
    Losses losses_;
    std::uint64_t segments_ = 0;
    std::uint64_t track_points_ = 0;
    PointSpool route_;                 // the points of the route not yet written
    std::string skipped_route_name_;   // of the route point left out last
    std::uint64_t texts_dropped_ = 0;  // of track and route points
    std::uint64_t names_dropped_ = 0;  // tracks named otherwise than the line
    track::Point first_;
    track::Point last_;
    track::Point held_;  // a point set aside, or read back
    track::Point segment_first_;
};

}  // namespace formats

#endif
