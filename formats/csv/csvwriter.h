// CSV as a format writer: the header line
//
//   point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,
//   segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c,kind,track,
//   track_name,name,description,comment,symbol,type,link,lap,sport,sub_sport
//
// (one line) then one line per point: its number from 1; the UTC time
// "YYYY-MM-DDThh:mm:ssZ" with the fraction of a second in its fewest digits
// (".25"); latitude, longitude, altitude in feet, heading and speed in miles
// per hour, as the point's GPL record holds them when it has one (see
// track::ToRecord); Tag; the segment's number from 1 (a new track begins a
// segment too; empty for a waypoint); heart rate, cadence, power and
// temperature; the kind ("track", "route" or "waypoint"); the track's
// number in its input; the track's name on the point that begins it; the
// point's texts; the lap's number from 1 for a track or route point once a
// lap has begun; on the point that begins a session, its sport by name (or
// number, for one without a name) and its sub-sport's number. Numbers are in
// the shortest form that reads back to the same double ("nan", "-nan",
// "inf" and "-inf" where they are not finite). A value the point does not
// have is an empty field: a point without a position has empty latitude and
// longitude. Lines end with LF; a text with a comma, a quote, a line end
// or blanks around it is quoted. What ended a lap and the reserved words
// of a GPL record are not written; everything else comes back bit for bit
// through the CSV reader (a NaN as the default one of its sign).
#ifndef TRACKTOOLS_FORMATS_CSVWRITER_H
#define TRACKTOOLS_FORMATS_CSVWRITER_H

#include <string_view>

#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

// The names of the columns, in the order the writer writes them.
constexpr const char* kCsvHeader =
    "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,"
    "segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c,kind,track,track_name,name,"
    "description,comment,symbol,type,link,lap,sport,sub_sport";

class CsvWriter : public Writer {
  public:
    CsvWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;

  private:
    void Value(const track::Point& point, track::Field field, double value);
    void Text(std::string_view text);
    void Kinds(const track::Point& point);

    TextOutput text_;
    Breaks breaks_;
    std::uint64_t segment_ = 0;
    std::uint64_t lap_ = 0;
};

}  // namespace formats

#endif
