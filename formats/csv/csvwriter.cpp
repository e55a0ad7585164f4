#include "csvwriter.h"

#include "row.h"

namespace formats {

CsvWriter::CsvWriter(int fd, const WriterOptions& /*options*/)
    : Writer(Format(&kCsvFormat), fd), text_(Output()) {
    text_.Put(kCsvHeader);
    text_.Put('\n');
}

void CsvWriter::Value(const track::Point& point, track::Field field, double value) {
    text_.Put(',');
    if (point.Has(field)) {
        text_.Number(value);
    }
}

bool CsvWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    segment_ += breaks_.Next(point) != Breaks::kNone ? 1 : 0;
    // The GPL units of the columns, bit for bit as a record holds them.
    const GPL_Data_Point record = track::ToRecord(point);
    text_.Unsigned(Written() + 1);
    text_.Put(',');
    if (point.Has(track::kTime)) {
        text_.Time(point.time);
    }
    Value(point, track::kPosition, record.Latitude);
    Value(point, track::kPosition, record.Longitude);
    Value(point, track::kElevation, record.Altitude);
    Value(point, track::kCourse, record.Heading);
    Value(point, track::kSpeed, record.Speed);
    text_.Put(',');
    text_.Unsigned(point.tag);
    text_.Put(',');
    text_.Unsigned(segment_);
    for (const track::Field field : track::kSensorFields) {
        Value(point, field, point.Get(field));
    }
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
