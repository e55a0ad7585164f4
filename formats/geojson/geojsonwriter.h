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
// Numbers are in the shortest form that reads back to the same double. A
// point without a position, or whose latitude or longitude is out of range
// or any of whose coordinates is not finite, is left out and counted: JSON
// has no such numbers.
//
// Whether the points make one line or several is known only at the end:
// the points wait in a temporary file (see pointspool.h), not in memory,
// and the document is written when it is finished.
#ifndef TRACKTOOLS_FORMATS_GEOJSONWRITER_H
#define TRACKTOOLS_FORMATS_GEOJSONWRITER_H

#include <memory>
#include <string>
#include <vector>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

class GeoJsonWriter : public SpoolingWriter {
  public:
    GeoJsonWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    using Element = void (GeoJsonWriter::*)(const track::Point&);
    void Position(const track::Point& point);
    void TimeOf(const track::Point& point);
    void Sensor(const track::Point& point);
    // Writes `element` of every point, the segments nested when there are
    // several. False when the temporary file failed.
    bool Each(Element element);
    void EndSegment(Element element, std::uint64_t points);
    // The array of `element`: of the one point in held_, or of every point.
    bool Array(Element element);

    TextOutput text_;
    std::string name_;
    PositionFilter positions_;
    std::uint64_t segments_ = 0;
    std::uint16_t sensors_ = 0;                // the sensor values any point has
    track::Field sensor_ = track::kHeartRate;  // the one Sensor writes
    track::Point held_;                        // a point set aside, or read back
    track::Point segment_first_;
};

}  // namespace formats

#endif
