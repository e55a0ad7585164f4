#include "csvwriter.h"

namespace formats {

CsvWriter::CsvWriter(int fd, const WriterOptions& /*options*/)
    : Writer(Format::Named("csv"), fd), text_(Output()) {
    text_.Put(kCsvHeader);
    text_.Put('\n');
}

bool CsvWriter::Write(const track::Point& point) {
    if (!point.Has(track::kPosition) && !Failed()) {
        ++without_position_;
        return true;
    }
    return WriteRecord(track::ToRecord(point));
}

bool CsvWriter::WriteRecord(const GPL_Data_Point& point) {
    if (Failed()) {
        return false;
    }
    text_.Unsigned(Written() + 1);
    text_.Put(',');
    if (point.Time != 0) {
        text_.Time(point.Time);
    }
    for (const double value :
         {point.Latitude, point.Longitude, point.Altitude, point.Heading, point.Speed}) {
        text_.Put(',');
        text_.Number(value);
    }
    text_.Put(',');
    text_.Unsigned(point.Tag);
    text_.Put('\n');
    if (!Check(!text_.Failed())) {
        return false;
    }
    Count();
    return true;
}

bool CsvWriter::Finish() {
    return Check(!text_.Failed()) && Close();
}

}  // namespace formats
