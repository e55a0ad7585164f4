#include "geojsonwriter.h"

#include <cmath>
#include <string_view>

#include "row.h"
#include "tracktools/formats/tallies.h"

namespace formats {
namespace {

// The property of each sensor value, in the order of track::kSensorFields.
const char* const kSensorNames[] = {"heartRates", "cadences", "powers", "temperatures"};
static_assert(sizeof kSensorNames / sizeof kSensorNames[0] == track::kSensorCount,
              "a property for every sensor value");
// The same of a waypoint, which has one value of each.
const char* const kSensorName[] = {
    ",\"heartRate\":", ",\"cadence\":", ",\"power\":", ",\"temperature\":"};
static_assert(sizeof kSensorName / sizeof kSensorName[0] == track::kSensorCount,
              "a property for every sensor value");

// The properties of a waypoint's texts, by the names GPX gives them.
const struct {
    track::Text text;
    const char* property;
} kTextProperties[] = {
    {track::Text::kName, ",\"name\":"},   {track::Text::kDescription, ",\"desc\":"},
    {track::Text::kComment, ",\"cmt\":"}, {track::Text::kSymbol, ",\"sym\":"},
    {track::Text::kType, ",\"type\":"},   {track::Text::kLink, ",\"link\":"},
};

}  // namespace

GeoJsonWriter::GeoJsonWriter(int fd, const WriterOptions& options)
    : Writer(Format(&kGeoJsonFormat), fd), text_(Output()), name_(options.name) {
    route_.route = true;
    text_.Put("{\"type\":\"FeatureCollection\",\"features\":[\n");
}

void GeoJsonWriter::Position(const track::Point& point) {
    text_.Put('[');
    text_.Number(point.longitude);
    text_.Put(',');
    text_.Number(point.latitude);
    if (point.Has(track::kElevation)) {
        text_.Put(',');
        text_.Number(point.elevation);
    }
    text_.Put(']');
}

void GeoJsonWriter::TimeOf(const track::Point& point) {
    if (!point.Has(track::kTime)) {
        text_.Put("null");
        return;
    }
    text_.Put('"');
    text_.Time(point.time);
    text_.Put('"');
}

void GeoJsonWriter::Sensor(const track::Point& point) {
    if (point.Has(sensor_) && std::isfinite(point.Get(sensor_))) {
        text_.Number(point.Get(sensor_));
    } else {
        text_.Put("null");
    }
}

void GeoJsonWriter::BeginFeature() {
    text_.Put(any_feature_ ? ",\n" : "");
    any_feature_ = true;
}

void GeoJsonWriter::Waypoint(const track::Point& point) {
    BeginFeature();
    text_.Put("{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":");
    Position(point);
    // The kind tells a waypoint from a track of one point.
    text_.Put("},\"properties\":{\"kind\":\"waypoint\"");
    for (const auto& text : kTextProperties) {
        const std::string_view value = point.texts.Get(text.text);
        if (!value.empty()) {
            text_.Put(text.property);
            text_.JsonString(value);
        }
    }
    if (point.Has(track::kTime)) {
        text_.Put(",\"time\":");
        TimeOf(point);
    }
    for (std::size_t i = 0; i < track::kSensorCount; ++i) {
        sensor_ = track::kSensorFields[i];
        if (point.Has(sensor_)) {
            text_.Put(kSensorName[i]);
            Sensor(point);
        }
    }
    text_.Put("}}");
}

bool GeoJsonWriter::SpoolFailed(const Line& line) {
    Fail(line.spool.Error(), line.spool.ErrorText());
    return false;
}

bool GeoJsonWriter::SetAside(Line& line, const track::Point& point, bool begins) {
    if (!line.spool.IsOpen() && !line.spool.Open()) {
        return SpoolFailed(line);
    }
    // The point set aside keeps the break as this output sees it; its texts
    // are not written.
    held_ = point;
    held_.begins_segment = begins;
    held_.texts.Clear();
    line.segments += begins ? 1 : 0;
    line.fields |= point.fields;
    ++line.points;
    return line.spool.Add(held_) || SpoolFailed(line);
}

bool GeoJsonWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    const bool route = point.kind == track::Kind::kRoute;
    if (!positions_.Keeps(point, !point.Has(track::kElevation) || std::isfinite(point.elevation))) {
        if (route && point.begins_track) {
            skipped_route_name_ = point.track_name;
        }
        return true;
    }
    const Breaks::Kind kind = positions_.Next(point);
    if (point.kind == track::Kind::kWaypoint) {
        Waypoint(point);
    } else if (route) {
        texts_dropped_ += point.texts.Empty() ? 0 : 1;
        // A new route: the one before has ended.
        if (kind == Breaks::kTrack) {
            if (!Feature(route_, route_name_.empty() ? name_ : route_name_)) {
                return false;
            }
            route_name_ = point.begins_track ? point.track_name : skipped_route_name_;
        }
        if (!SetAside(route_, point, kind == Breaks::kTrack)) {
            return false;
        }
    } else {
        texts_dropped_ += point.texts.Empty() ? 0 : 1;
        names_dropped_ +=
            point.begins_track && !point.track_name.empty() && point.track_name != name_ ? 1 : 0;
        if (!SetAside(track_, point, kind != Breaks::kNone)) {
            return false;
        }
    }
    if (!Check(!text_.Failed())) {
        return false;
    }
    Count();
    return true;
}

void GeoJsonWriter::EndSegment(Element element, std::uint64_t points) {
    if (points == 1) {
        text_.Put(",\n");
        (this->*element)(segment_first_);
    }
    text_.Put("\n]");
}

bool GeoJsonWriter::Each(Line& line, Element element) {
    if (!line.spool.StartReading()) {
        return SpoolFailed(line);
    }
    const bool nested = line.segments > 1;
    std::uint64_t points = 0;  // of the segment
    bool any = false;
    while (line.spool.Next(held_)) {
        if (!any || (nested && held_.begins_segment)) {
            if (any) {
                EndSegment(element, points);
                text_.Put(",\n");
            }
            text_.Put(nested ? "[\n" : "");
            segment_first_ = held_;
            points = 0;
        } else {
            text_.Put(",\n");
        }
        (this->*element)(held_);
        ++points;
        any = true;
    }
    if (line.spool.Error() != 0) {
        return SpoolFailed(line);
    }
    if (nested && any) {
        EndSegment(element, points);
    } else if (points == 1) {
        // A line has two positions: a route of one point goes to itself.
        text_.Put(",\n");
        (this->*element)(segment_first_);
    }
    return true;
}

bool GeoJsonWriter::Array(Line& line, Element element) {
    if (line.points == 1 && !line.route) {
        text_.Put('[');
        (this->*element)(held_);
        text_.Put(']');
        return true;
    }
    text_.Put("[\n");
    if (!Each(line, element)) {
        return false;
    }
    text_.Put("\n]");
    return true;
}

bool GeoJsonWriter::Feature(Line& line, const std::string& name) {
    if (line.points == 0) {
        return true;
    }
    BeginFeature();
    text_.Put("{\"type\":\"Feature\",\"geometry\":{\"type\":\"");
    if (line.points == 1 && !line.route) {
        // A track of one point.
        if (!line.spool.StartReading() || !line.spool.Next(held_)) {
            return SpoolFailed(line);
        }
        text_.Put("Point\",\"coordinates\":");
        Position(held_);
    } else {
        text_.Put(line.segments > 1 ? "MultiLineString" : "LineString");
        text_.Put("\",\"coordinates\":");
        if (!Array(line, &GeoJsonWriter::Position)) {
            return false;
        }
    }
    text_.Put("},\"properties\":{\"name\":");
    text_.JsonString(name);
    text_.Put(line.route ? ",\"kind\":\"route\"" : "");
    // A track has its times whatever its points have; a route when any of
    // its points has one.
    if (!line.route || (line.fields & track::kTime) != 0) {
        text_.Put(",\"coordTimes\":");
        if (!Array(line, &GeoJsonWriter::TimeOf)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < track::kSensorCount; ++i) {
        sensor_ = track::kSensorFields[i];
        if ((line.fields & sensor_) != 0) {
            text_.Put(",\"");
            text_.Put(kSensorNames[i]);
            text_.Put("\":");
            if (!Array(line, &GeoJsonWriter::Sensor)) {
                return false;
            }
        }
    }
    text_.Put("}}");
    line.points = line.segments = 0;
    line.fields = 0;
    return line.spool.Restart() || SpoolFailed(line);
}

bool GeoJsonWriter::Finish() {
    if (Failed()) {
        return false;
    }
    if (!Feature(route_, route_name_.empty() ? name_ : route_name_) || !Feature(track_, name_)) {
        return false;
    }
    text_.Put(any_feature_ ? "\n]}\n" : "]}\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> GeoJsonWriter::Tallies() const {
    std::vector<Tally> tallies;
    positions_.AppendTallies(tallies, true);
    tallies.push_back(TextsNotKept(texts_dropped_));
    tallies.push_back(TrackNamesNotKept(names_dropped_));
    return tallies;
}

}  // namespace formats
