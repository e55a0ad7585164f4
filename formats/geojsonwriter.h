// GeoJSON (RFC 7946) as a format writer: a FeatureCollection with one
// Feature, whose geometry is a LineString of [longitude, latitude, altitude
// in metres] positions (a Point for a track of one point; no Feature at all
// for none), and whose properties are `name` (the input's base name) and
// `coordTimes`, the UTC time of each position ("YYYY-MM-DDThh:mm:ssZ", null
// where Time is 0), as the common converters write them.
//
// Numbers are in the shortest form that reads back to the same double. A
// point whose latitude or longitude is out of range, or any of whose three
// coordinates is not finite, is left out and counted: JSON has no such
// numbers.
//
// The times follow all the positions: they wait in a temporary file (see
// timespool.h), not in memory. The first point is held back until the
// second arrives, since one point is a Point and more are a LineString.
#ifndef TRACKTOOLS_FORMATS_GEOJSONWRITER_H
#define TRACKTOOLS_FORMATS_GEOJSONWRITER_H

#include <memory>
#include <string>
#include <vector>

#include "textoutput.h"
#include "writer.h"

namespace formats {

class TimeSpool;

class GeoJsonWriter : public Writer {
  public:
    GeoJsonWriter(int fd, const WriterOptions& options);
    ~GeoJsonWriter() override;

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    bool WriteRecord(const GPL_Data_Point& point);
    void Position(const GPL_Data_Point& point);
    void TimeOf(std::uint32_t time);
    bool Spool(std::uint32_t time);
    void Properties();

    TextOutput text_;
    std::string name_;
    std::unique_ptr<TimeSpool> times_;
    GPL_Data_Point first_;
    std::uint64_t skipped_ = 0;
};

}  // namespace formats

#endif
