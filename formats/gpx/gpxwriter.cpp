#include "gpxwriter.h"

#include <cmath>
#include <string_view>

#include "row.h"
#include "tracktools/track/sport.h"

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

TextOutput* GpxWriter::PartText(Part& part) {
    if (!part.text) {
        io::OutputFile* file = part.spool.File();
        if (file == nullptr) {
            Fail(part.spool.Error(), part.spool.ErrorText());
            return nullptr;
        }
        part.text.emplace(*file);
    }
    return &*part.text;
}

void GpxWriter::Begin(TextOutput& out, const track::Point& point, const std::string& name,
                      bool route, bool after_another) {
    if (after_another) {
        out.Put(route ? "  </rte>\n" : "    </trkseg>\n  </trk>\n");
    }
    out.Put(route ? "  <rte>\n" : "  <trk>\n");
    const std::string& shown = name.empty() ? name_ : name;
    if (!shown.empty()) {
        out.Put("    <name>");
        out.XmlText(shown);
        out.Put("</name>\n");
    }
    const std::string_view sport =
        !route && point.begins_session ? track::SportName(point.sport) : std::string_view();
    if (!sport.empty()) {
        out.Put("    <type>");
        out.XmlText(sport);
        out.Put("</type>\n");
    }
    out.Put(route ? "" : "    <trkseg>\n");
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

void GpxWriter::Extensions(TextOutput& out, const track::Point& point) {
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
            out.Put("<extensions><gpxtpx:TrackPointExtension>");
            open = true;
        }
        out.Put(value.open);
        out.Decimal(point.Get(value.field));
        out.Put(value.close);
    }
    if (open) {
        out.Put("</gpxtpx:TrackPointExtension>");
    }
    if (Finite(point, track::kPower)) {
        // Declared where it is used, so that a track without power keeps
        // the root element it has always had.
        out.Put(open ? "" : "<extensions>");
        out.Put(
            "<gpxpx:PowerInWatts"
            " xmlns:gpxpx=\"http://www.garmin.com/xmlschemas/PowerExtension/v1\">");
        out.Decimal(point.power);
        out.Put("</gpxpx:PowerInWatts>");
        open = true;
    }
    if (open) {
        out.Put("</extensions>");
    }
}

void GpxWriter::Texts(TextOutput& out, const track::Point& point) {
    if (point.texts.Empty()) {
        return;
    }
    // In the order of the schema.
    const struct {
        track::Text text;
        const char* open;
        const char* close;
    } texts[] = {
        {track::Text::kName, "<name>", "</name>"},
        {track::Text::kComment, "<cmt>", "</cmt>"},
        {track::Text::kDescription, "<desc>", "</desc>"},
        {track::Text::kLink, "<link href=\"", "\"/>"},
        {track::Text::kSymbol, "<sym>", "</sym>"},
        {track::Text::kType, "<type>", "</type>"},
    };
    for (const auto& text : texts) {
        const std::string_view value = point.texts.Get(text.text);
        if (!value.empty()) {
            out.Put(text.open);
            out.XmlText(value);
            out.Put(text.close);
        }
    }
}

void GpxWriter::PointElement(TextOutput& out, const char* element, const track::Point& point) {
    out.Put(point.kind == track::Kind::kWaypoint ? "  <"
            : point.kind == track::Kind::kRoute  ? "    <"
                                                 : "      <");
    out.Put(element);
    out.Put(" lat=\"");
    out.Decimal(point.latitude);
    out.Put("\" lon=\"");
    out.Decimal(point.longitude);
    out.Put("\">");
    if (Finite(point, track::kElevation)) {
        out.Put("<ele>");
        out.Decimal(point.elevation);
        out.Put("</ele>");
    }
    if (point.Has(track::kTime)) {
        out.Put("<time>");
        out.Time(point.time);
        out.Put("</time>");
    }
    Texts(out, point);
    Extensions(out, point);
    out.Put("</");
    out.Put(element);
    out.Put(">\n");
}

bool GpxWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    const bool route = point.kind == track::Kind::kRoute;
    Part& part = route ? routes_ : tracks_;
    if (!positions_.Keeps(point)) {
        if (point.begins_track && point.kind != track::Kind::kWaypoint) {
            part.skipped = true;
            part.skipped_name = point.track_name;
        }
        return true;
    }
    if (point.kind == track::Kind::kWaypoint) {
        PointElement(text_, "wpt", point);
        any_waypoint_ = true;
        if (!Check(!text_.Failed())) {
            return false;
        }
        Count();
        return true;
    }
    TextOutput* out = PartText(part);
    if (out == nullptr) {
        return false;
    }
    const bool started = positions_.Started(point.kind);
    const Breaks::Kind kind = positions_.Next(point);
    if (kind == Breaks::kTrack) {
        const bool own = point.begins_track || !part.skipped;
        Begin(*out, point, own ? point.track_name : part.skipped_name, route, started);
    } else if (kind == Breaks::kSegment && !route) {
        out->Put("    </trkseg>\n    <trkseg>\n");
    }
    part.skipped = false;
    PointElement(*out, route ? "rtept" : "trkpt", point);
    if (out->Failed()) {
        Fail(part.spool.Error(), part.spool.ErrorText());
        return false;
    }
    Count();
    return true;
}

bool GpxWriter::CopyPart(Part& part, const char* close) {
    if (!part.text) {
        return true;
    }
    part.text->Put(close);
    if (part.text->Failed() || !part.spool.CopyTo(Output())) {
        if (!Check(!text_.Failed() && Output().Error() == 0)) {
            return false;
        }
        Fail(part.spool.Error(), part.spool.ErrorText());
        return false;
    }
    return true;
}

bool GpxWriter::Finish() {
    if (Failed()) {
        return false;
    }
    if (!CopyPart(routes_, "  </rte>\n") || !CopyPart(tracks_, "    </trkseg>\n  </trk>\n")) {
        return false;
    }
    if (!positions_.Started() && !any_waypoint_) {
        // A document without points still names the input.
        Begin(text_, track::Point(), name_, false, false);
        text_.Put("    </trkseg>\n  </trk>\n");
    }
    text_.Put("</gpx>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> GpxWriter::Tallies() const {
    std::vector<Tally> tallies;
    positions_.AppendTallies(tallies, false);
    return tallies;
}

}  // namespace formats
