#include "geojsonwriter.h"

#include <cmath>

#include "row.h"

namespace formats {
namespace {

// The property of each sensor value, in the order of track::kSensorFields.
const char* const kSensorNames[] = {"heartRates", "cadences", "powers", "temperatures"};
static_assert(sizeof kSensorNames / sizeof kSensorNames[0] == track::kSensorCount,
              "a property for every sensor value");

}  // namespace

GeoJsonWriter::GeoJsonWriter(int fd, const WriterOptions& options)
    : SpoolingWriter(Format(&kGeoJsonFormat), fd), text_(Output()), name_(options.name) {
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

bool GeoJsonWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (!positions_.Keeps(point, !point.Has(track::kElevation) || std::isfinite(point.elevation))) {
        return true;
    }
    // The point set aside keeps the break as this output sees it.
    held_ = point;
    held_.begins_segment = positions_.Next(point) != Breaks::kNone;
    segments_ += held_.begins_segment ? 1 : 0;
    for (const track::Field field : track::kSensorFields) {
        sensors_ |= point.fields & field;
    }
    if (!SetAside(held_)) {
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

bool GeoJsonWriter::Each(Element element) {
    if (!ReadAside()) {
        return false;
    }
    const bool nested = segments_ > 1;
    std::uint64_t points = 0;  // of the segment
    bool any = false;
    while (NextAside(held_)) {
        if (nested && held_.begins_segment) {
            if (any) {
                EndSegment(element, points);
                text_.Put(",\n");
            }
            text_.Put("[\n");
            segment_first_ = held_;
            points = 0;
        } else if (any) {
            text_.Put(",\n");
        }
        (this->*element)(held_);
        ++points;
        any = true;
    }
    if (!EndAside()) {
        return false;
    }
    if (nested && any) {
        EndSegment(element, points);
    }
    return true;
}

bool GeoJsonWriter::Array(Element element) {
    if (Written() == 1) {
        text_.Put('[');
        (this->*element)(held_);
        text_.Put(']');
        return true;
    }
    text_.Put("[\n");
    if (!Each(element)) {
        return false;
    }
    text_.Put("\n]");
    return true;
}

bool GeoJsonWriter::Finish() {
    if (Failed()) {
        return false;
    }
    if (Written() > 0) {
        text_.Put("{\"type\":\"Feature\",\"geometry\":{\"type\":\"");
        if (Written() == 1) {
            if (!ReadAside() || !NextAside(held_)) {
                return SpoolFailed();
            }
            text_.Put("Point\",\"coordinates\":");
            Position(held_);
        } else {
            text_.Put(segments_ > 1 ? "MultiLineString" : "LineString");
            text_.Put("\",\"coordinates\":");
            if (!Array(&GeoJsonWriter::Position)) {
                return false;
            }
        }
        text_.Put("},\"properties\":{\"name\":");
        text_.JsonString(name_);
        text_.Put(",\"coordTimes\":");
        if (!Array(&GeoJsonWriter::TimeOf)) {
            return false;
        }
        for (std::size_t i = 0; i < track::kSensorCount; ++i) {
            sensor_ = track::kSensorFields[i];
            if ((sensors_ & sensor_) != 0) {
                text_.Put(",\"");
                text_.Put(kSensorNames[i]);
                text_.Put("\":");
                if (!Array(&GeoJsonWriter::Sensor)) {
                    return false;
                }
            }
        }
        text_.Put("}}\n");
    }
    text_.Put("]}\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> GeoJsonWriter::Tallies() const {
    std::vector<Tally> tallies;
    positions_.AppendTallies(tallies, true);
    return tallies;
}

}  // namespace formats
