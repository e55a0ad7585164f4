// GPX 1.1 as a format writer: one track (`trk`) named after the input, with
// one segment (`trkseg`) and a `trkpt` per point:
//
//   - `lat` and `lon` in the shortest decimal form that reads back to the
//     same double;
//   - `ele`: Altitude in feet times 0.3048 (metres), left out when it is not
//     finite;
//   - `time`: Time in UTC, "YYYY-MM-DDThh:mm:ssZ", left out when Time is 0;
//   - when Speed or Heading is not 0, a Garmin TrackPointExtension v2 block
//     with `speed` (metres per second) and `course` (degrees), each left out
//     when it is not finite.
//
// A point whose latitude or longitude is not finite or out of range (±90,
// ±180) is left out and counted: GPX cannot hold it. Tag and the reserved
// words are not written.
#ifndef TRACKTOOLS_FORMATS_GPXWRITER_H
#define TRACKTOOLS_FORMATS_GPXWRITER_H

#include <string>
#include <vector>

#include "textoutput.h"
#include "writer.h"

namespace formats {

class GpxWriter : public Writer {
  public:
    GpxWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;
    std::vector<Tally> Tallies() const override;

  private:
    bool WriteRecord(const GPL_Data_Point& point);
    TextOutput text_;
    std::uint64_t without_position_ = 0;
};

}  // namespace formats

#endif
