// KML 2.2 as a format writer: a Document named after the input with a line
// style, then
//
//   - a Placemark "Start" at the first point (a Point, with a TimeStamp when
//     its Time is not 0),
//   - a Placemark named after the input with the track as a LineString of
//     "lon,lat,alt" tuples (altitude in metres, altitudeMode absolute), when
//     there are two points or more,
//   - a Placemark "End" at the last point, like "Start".
//
// WriterOptions::clamp lays the line on the ground (altitudeMode
// clampToGround, tuples without altitude); WriterOptions::extrude adds the
// wall from the line down to the ground. A point whose latitude or longitude
// is not finite or out of range, or whose altitude is not finite when
// altitudes are written, is left out and counted.
//
// The first point is held back until the second arrives, and the last until
// the end: whether there is a line to draw is known only then.
#ifndef TRACKTOOLS_FORMATS_KMLWRITER_H
#define TRACKTOOLS_FORMATS_KMLWRITER_H

#include <string>
#include <vector>

#include "textoutput.h"
#include "writer.h"

namespace formats {

class KmlWriter : public Writer {
  public:
    KmlWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    bool WriteRecord(const GPL_Data_Point& point);
    void Tuple(const GPL_Data_Point& point);
    void Placemark(const char* name, const GPL_Data_Point& point);

    TextOutput text_;
    std::string name_;
    bool clamp_;
    bool extrude_;
    GPL_Data_Point first_;
    GPL_Data_Point last_;
    std::uint64_t skipped_ = 0;
};

}  // namespace formats

#endif
