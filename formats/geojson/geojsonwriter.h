// GeoJSON (RFC 7946) as a format writer: a FeatureCollection with one
// Feature (none for no points) whose geometry is
//
//   - a LineString of [longitude, latitude, altitude in metres] positions
//     ([longitude, latitude] for a point without an elevation),
//   - a MultiLineString of such lines when the points make several
//     segments (a new track begins a segment too); a segment of one point
//     is a line from the point to itself, since a line has two positions,
//   - a Point for a track of one point,
//
// and whose properties are `name` (WriterOptions::name) and arrays beside
// the positions, nested as they are: `coordTimes`, the UTC time of each
// position ("YYYY-MM-DDThh:mm:ssZ" with the fraction of a second in its
// fewest digits, null for none), as the common converters write them, and
// `heartRates`, `cadences`, `powers` and `temperatures` when any point has
// that value (null where one has not, or has one that is not finite).
//
// A waypoint is a Feature of its own where it was in the input: a Point
// (with its elevation as the third coordinate when it has one) whose
// properties are `kind` "waypoint" and those of its texts and values it
// has: `name`, `desc`, `cmt`, `sym`, `type`, `link`, `time`, `heartRate`,
// `cadence`, `power` and `temperature` (null when not finite). A route is
// a Feature of its own after the waypoints before it ends: a LineString
// (a route of one point is a line from the point to itself) whose
// properties are `name` (the route's, else WriterOptions::name), `kind`
// "route", and `coordTimes` and the sensor arrays as a track's, when any
// of its points has a time or that value. The texts of track and route
// points are not kept, and counted.
//
// Numbers are in the shortest form that reads back to the same double. A
// point without a position, or whose latitude or longitude is out of range
// or any of whose coordinates is not finite, is left out and counted: JSON
// has no such numbers.
//
// Whether the points make one line or several is known only at the end:
// the points wait in a temporary file (see pointspool.h), not in memory,
// and the track's Feature is written when the document is finished. The
// points of a route wait in a file of their own until the route ends.
#ifndef TRACKTOOLS_FORMATS_GEOJSONWRITER_H
#define TRACKTOOLS_FORMATS_GEOJSONWRITER_H

#include <cstdint>
#include <string>
#include <vector>

#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

class GeoJsonWriter : public Writer {
  public:
    GeoJsonWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    // The points of one Feature's line, set aside, and what they hold.
    struct Line {
        PointSpool spool;
        std::uint64_t points = 0;
        std::uint64_t segments = 0;
        std::uint16_t fields = 0;  // the values any point has
        bool route = false;
    };
    using Element = void (GeoJsonWriter::*)(const track::Point&);

    void Position(const track::Point& point);
    void TimeOf(const track::Point& point);
    void Sensor(const track::Point& point);
    void BeginFeature();
    void Waypoint(const track::Point& point);
    // Sets `point` aside in `line`; false, with the writer failed, when its
    // temporary file failed.
    bool SetAside(Line& line, const track::Point& point, bool begins);
    // The Feature of `line`, which is then empty again. False when its
    // temporary file failed.
    bool Feature(Line& line, const std::string& name);
    // Writes `element` of every point of `line`, the segments nested when
    // there are several. False when the temporary file failed.
    bool Each(Line& line, Element element);
    void EndSegment(Element element, std::uint64_t points);
    // The array of `element`: of the one point in held_, or of every point.
    bool Array(Line& line, Element element);
    bool SpoolFailed(const Line& line);

    TextOutput text_;
    std::string name_;
    PositionFilter positions_;
    Line track_;
    Line route_;  // the route not yet written
    std::string route_name_;
    std::string skipped_route_name_;  // of the route point left out last
    bool any_feature_ = false;
    std::uint64_t texts_dropped_ = 0;          // of track and route points
    std::uint64_t names_dropped_ = 0;          // tracks named otherwise than the line
    track::Field sensor_ = track::kHeartRate;  // the one Sensor writes
    track::Point held_;                        // a point set aside, or read back
    track::Point segment_first_;
};

}  // namespace formats

#endif
