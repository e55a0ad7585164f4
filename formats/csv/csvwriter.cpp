#include "csvwriter.h"

#include "row.h"
#include "tracktools/track/sport.h"

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

void CsvWriter::Text(std::string_view text) {
    text_.Put(',');
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                                           text.back() == ' ' || text.back() == '\t'));
    if (!quoted) {
        text_.Put(text);
        return;
    }
    text_.Put('"');
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t quote = text.find('"', at);
        const std::size_t end = quote == std::string_view::npos ? text.size() : quote + 1;
        text_.Put(text.substr(at, end - at));
        text_.Put(quote == std::string_view::npos ? "" : "\"");
        at = end;
    }
    text_.Put('"');
}

void CsvWriter::Kinds(const track::Point& point) {
    static const char* const kKinds[] = {"track", "route", "waypoint"};
    const bool waypoint = point.kind == track::Kind::kWaypoint;
    text_.Put(',');
    text_.Put(kKinds[static_cast<int>(point.kind)]);
    text_.Put(',');
    text_.Unsigned(point.track);
    Text(point.begins_track ? std::string_view(point.track_name) : std::string_view());
    for (std::size_t i = 0; i < track::kTextCount; ++i) {
        Text(point.texts.Get(static_cast<track::Text>(i)));
    }
    lap_ += !waypoint && point.begins_lap ? 1 : 0;
    text_.Put(',');
    if (!waypoint && lap_ > 0) {
        text_.Unsigned(lap_);
    }
    text_.Put(',');
    if (point.begins_session) {
        const std::string_view name = track::SportName(point.sport);
        if (name.empty()) {
            text_.Unsigned(point.sport);
        }
        text_.Put(name);
    }
    text_.Put(',');
    if (point.begins_session) {
        text_.Unsigned(point.sub_sport);
    }
}

bool CsvWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    segment_ += breaks_.Next(point) != Breaks::kNone ? 1 : 0;
    const bool waypoint = point.kind == track::Kind::kWaypoint;
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
    if (!waypoint) {
        text_.Unsigned(segment_);
    }
    for (const track::Field field : track::kSensorFields) {
        Value(point, field, point.Get(field));
    }
    Kinds(point);
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
