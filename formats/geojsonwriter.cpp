#include "geojsonwriter.h"

#include <cmath>

#include "tallies.h"
#include "timespool.h"
#include "units.h"

namespace formats {

GeoJsonWriter::GeoJsonWriter(int fd, const WriterOptions& options)
    : Writer(Format::Named("geojson"), fd), text_(Output()), name_(options.name) {
    text_.Put("{\"type\":\"FeatureCollection\",\"features\":[\n");
}

GeoJsonWriter::~GeoJsonWriter() = default;

void GeoJsonWriter::Position(const GPL_Data_Point& point) {
    text_.Put('[');
    text_.Number(point.Longitude);
    text_.Put(',');
    text_.Number(point.Latitude);
    text_.Put(',');
    text_.Number(MetersFromFeet(point.Altitude));
    text_.Put(']');
}

void GeoJsonWriter::TimeOf(std::uint32_t time) {
    if (time == 0) {
        text_.Put("null");
        return;
    }
    text_.Put('"');
    text_.Time(time);
    text_.Put('"');
}

bool GeoJsonWriter::Spool(std::uint32_t time) {
    if (!times_) {
        times_ = std::make_unique<TimeSpool>();
        if (!times_->Open()) {
            Fail(times_->Error(), times_->ErrorText());
            return false;
        }
    }
    if (!times_->Add(time)) {
        Fail(times_->Error(), times_->ErrorText());
        return false;
    }
    return true;
}

bool GeoJsonWriter::Write(const track::Point& point) {
    if (!point.Has(track::kPosition) && !Failed()) {
        ++skipped_;
        return true;
    }
    return WriteRecord(track::ToRecord(point));
}

bool GeoJsonWriter::WriteRecord(const GPL_Data_Point& point) {
    if (Failed()) {
        return false;
    }
    if (!HasValidPosition(point) || !std::isfinite(point.Altitude)) {
        ++skipped_;
        return true;
    }
    if (Written() == 0) {
        first_ = point;
    } else {
        if (Written() == 1) {
            text_.Put(
                "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\",\"coordinates\":[\n");
            Position(first_);
            if (!Spool(first_.Time)) {
                return false;
            }
        }
        text_.Put(",\n");
        Position(point);
        if (!Spool(point.Time)) {
            return false;
        }
    }
    Count();
    return Check(!text_.Failed());
}

void GeoJsonWriter::Properties() {
    text_.Put("\"properties\":{\"name\":");
    text_.JsonString(name_);
    text_.Put(",\"coordTimes\":[");
}

bool GeoJsonWriter::Finish() {
    if (Failed()) {
        return false;
    }
    if (Written() == 1) {
        text_.Put("{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":");
        Position(first_);
        text_.Put("},");
        Properties();
        TimeOf(first_.Time);
        text_.Put("]}}\n");
    } else if (Written() > 1) {
        text_.Put("\n]},");
        Properties();
        if (!times_->StartReading()) {
            Fail(times_->Error(), times_->ErrorText());
            return false;
        }
        std::uint32_t time = 0;
        for (std::uint64_t i = 0; times_->Next(time); ++i) {
            text_.Put(i == 0 ? "\n" : ",\n");
            TimeOf(time);
        }
        if (times_->Error() != 0) {
            Fail(times_->Error(), times_->ErrorText());
            return false;
        }
        text_.Put("\n]}}\n");
    }
    text_.Put("]}\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> GeoJsonWriter::Tallies() const {
    return {SkippedForPosition(skipped_, true)};
}

}  // namespace formats
