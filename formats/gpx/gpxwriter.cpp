#include "gpxwriter.h"

#include <cmath>

#include "row.h"

namespace formats {

GpxWriter::GpxWriter(int fd, const WriterOptions& options)
    : Writer(Format(&kGpxFormat), fd), text_(Output()), name_(options.name) {
    text_.Put(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"trackconvert\" xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
        " http://www.topografix.com/GPX/1/1/gpx.xsd"
        " http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
        " http://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n");
}

void GpxWriter::BeginTrack(const std::string& name, bool after_another) {
    if (after_another) {
        text_.Put("    </trkseg>\n  </trk>\n");
    }
    text_.Put("  <trk>\n");
    const std::string& shown = name.empty() ? name_ : name;
    if (!shown.empty()) {
        text_.Put("    <name>");
        text_.XmlText(shown);
        text_.Put("</name>\n");
    }
    text_.Put("    <trkseg>\n");
}

namespace {

// The value of `field` when the point has it as a finite number.
bool Finite(const track::Point& point, track::Field field) {
    return point.Has(field) && std::isfinite(point.Get(field));
}

// GPL has no absent value: it writes a speed and a course of 0 for none. A
// point that has both from its record, both 0, has neither; one without
// either of them came from a format that says what it does not have, and
// its 0 is a value.
bool GplHasNoMotion(const track::Point& point) {
    return point.has_record && point.Has(track::kSpeed) && point.Has(track::kCourse) &&
           point.speed == 0.0 && point.course == 0.0;
}

}  // namespace

void GpxWriter::Extensions(const track::Point& point) {
    const bool motion = !GplHasNoMotion(point);
    // In the order of the extension's schema.
    const struct {
        const char* open;
        const char* close;
        track::Field field;
        bool wanted;
    } values[] = {
        {"<gpxtpx:atemp>", "</gpxtpx:atemp>", track::kTemperature, true},
        {"<gpxtpx:hr>", "</gpxtpx:hr>", track::kHeartRate, true},
        {"<gpxtpx:cad>", "</gpxtpx:cad>", track::kCadence, true},
        {"<gpxtpx:speed>", "</gpxtpx:speed>", track::kSpeed, motion},
        {"<gpxtpx:course>", "</gpxtpx:course>", track::kCourse, motion},
    };
    bool open = false;
    for (const auto& value : values) {
        if (!value.wanted || !Finite(point, value.field)) {
            continue;
        }
        if (!open) {
            text_.Put("<extensions><gpxtpx:TrackPointExtension>");
            open = true;
        }
        text_.Put(value.open);
        text_.Decimal(point.Get(value.field));
        text_.Put(value.close);
    }
    if (open) {
        text_.Put("</gpxtpx:TrackPointExtension>");
    }
    if (Finite(point, track::kPower)) {
        // Declared where it is used, so that a track without power keeps
        // the root element it has always had.
        text_.Put(open ? "" : "<extensions>");
        text_.Put(
            "<gpxpx:PowerInWatts"
            " xmlns:gpxpx=\"http://www.garmin.com/xmlschemas/PowerExtension/v1\">");
        text_.Decimal(point.power);
        text_.Put("</gpxpx:PowerInWatts>");
        open = true;
    }
    if (open) {
        text_.Put("</extensions>");
    }
}

bool GpxWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (!positions_.Keeps(point)) {
        if (point.begins_track) {
            skipped_track_ = true;
            skipped_name_ = point.track_name;
        }
        return true;
    }
    const bool started = positions_.Started();
    const Breaks::Kind kind = positions_.Next(point);
    if (kind == Breaks::kTrack) {
        const bool own = point.begins_track || !skipped_track_;
        BeginTrack(own ? point.track_name : skipped_name_, started);
    } else if (kind == Breaks::kSegment) {
        text_.Put("    </trkseg>\n    <trkseg>\n");
    }
    skipped_track_ = false;
    text_.Put("      <trkpt lat=\"");
    text_.Decimal(point.latitude);
    text_.Put("\" lon=\"");
    text_.Decimal(point.longitude);
    text_.Put("\">");
    if (Finite(point, track::kElevation)) {
        text_.Put("<ele>");
        text_.Decimal(point.elevation);
        text_.Put("</ele>");
    }
    if (point.Has(track::kTime)) {
        text_.Put("<time>");
        text_.Time(point.time);
        text_.Put("</time>");
    }
    Extensions(point);
    text_.Put("</trkpt>\n");
    if (!Check(!text_.Failed())) {
        return false;
    }
    Count();
    return true;
}

bool GpxWriter::Finish() {
    if (!positions_.Started()) {
        BeginTrack(name_, false);
    }
    text_.Put(
        "    </trkseg>\n"
        "  </trk>\n"
        "</gpx>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> GpxWriter::Tallies() const {
    std::vector<Tally> tallies;
    positions_.AppendTallies(tallies, false);
    return tallies;
}

}  // namespace formats
