// CSV as a format writer: the header line
//
//   point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,
//   segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c
//
// (one line) then one line per point: its number from 1; the UTC time
// "YYYY-MM-DDThh:mm:ssZ" with the fraction of a second in its fewest digits
// (".25"); latitude, longitude, altitude in feet, heading and speed in miles
// per hour, as the point's GPL record holds them when it has one (see
// track::ToRecord); Tag; the segment's number from 1 (a new track begins a
// segment too); heart rate, cadence, power and temperature. Numbers are in
// the shortest form that reads back to the same double ("nan", "-nan",
// "inf" and "-inf" where they are not finite). A value the point does not
// have is an empty field: a point without a position has empty latitude and
// longitude. Lines end with LF, and nothing needs quoting. Track names and
// the reserved words of a GPL record are not written; everything else
// comes back bit for bit through the CSV reader (a NaN as the default one
// of its sign).
#ifndef TRACKTOOLS_FORMATS_CSVWRITER_H
#define TRACKTOOLS_FORMATS_CSVWRITER_H

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

// The names of the columns, in the order the writer writes them.
constexpr const char* kCsvHeader =
    "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,"
    "segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c";

class CsvWriter : public Writer {
  public:
    CsvWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;

  private:
    void Value(const track::Point& point, track::Field field, double value);

    TextOutput text_;
    Breaks breaks_;
    std::uint64_t segment_ = 0;
};

}  // namespace formats

#endif
