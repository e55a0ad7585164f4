// CSV as a format writer: the header line
//
//   point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag
//
// then one line per point: its number from 1, the UTC time
// "YYYY-MM-DDThh:mm:ssZ" (empty when Time is 0), the five doubles in the
// shortest form that reads back to the same double ("nan", "-nan", "inf" and
// "-inf" where they are not finite), and Tag; lines end with LF. Nothing
// needs quoting. The reserved words are not written; everything else comes
// back bit for bit through the CSV reader (a NaN as the default one of its
// sign).
#ifndef TRACKTOOLS_FORMATS_CSVWRITER_H
#define TRACKTOOLS_FORMATS_CSVWRITER_H

#include "textoutput.h"
#include "writer.h"

namespace formats {

// The names of the columns, in the order the writer writes them.
constexpr const char* kCsvHeader =
    "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag";

class CsvWriter : public Writer {
  public:
    CsvWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override;

  private:
    bool WriteRecord(const GPL_Data_Point& point);
    TextOutput text_;
    std::uint64_t without_position_ = 0;
};

}  // namespace formats

#endif
