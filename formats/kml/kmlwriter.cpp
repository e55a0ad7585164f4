#include "kmlwriter.h"

#include <cmath>
#include <string_view>

#include "row.h"
#include "tracktools/formats/tallies.h"

namespace formats {
namespace {

const char* AltitudeMode(bool clamp) {
    return clamp ? "<altitudeMode>clampToGround</altitudeMode>"
                 : "<altitudeMode>absolute</altitudeMode>";
}

}  // namespace

KmlWriter::KmlWriter(int fd, const WriterOptions& options)
    : SpoolingWriter(Format(&kKmlFormat), fd),
      text_(Output()),
      name_(options.name),
      clamp_(options.Flag("clamp")),
      extrude_(options.Flag("extrude")),
      losses_(track::kHeartRate | track::kCadence | track::kPower | track::kTemperature, false) {
    // Colours are aabbggrr: an opaque red line and, for the wall, a
    // half-transparent red.
    text_.Put(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
        "<Document>\n"
        "  <name>");
    text_.XmlText(name_);
    text_.Put(
        "</name>\n"
        "  <Style id=\"track\">\n"
        "    <LineStyle><color>ff0000ff</color><width>3</width></LineStyle>\n"
        "    <PolyStyle><color>7f0000ff</color></PolyStyle>\n"
        "  </Style>\n");
}

void KmlWriter::Tuple(const track::Point& point) {
    text_.Decimal(point.longitude);
    text_.Put(',');
    text_.Decimal(point.latitude);
    if (!clamp_ && point.Has(track::kElevation)) {
        text_.Put(',');
        text_.Decimal(point.elevation);
    }
}

void KmlWriter::TimeStamp(const track::Point& point) {
    if (point.Has(track::kTime)) {
        text_.Put("    <TimeStamp><when>");
        text_.Time(point.time);
        text_.Put("</when></TimeStamp>\n");
    }
}

void KmlWriter::PointGeometry(const track::Point& point) {
    text_.Put("    <Point>");
    text_.Put(AltitudeMode(clamp_));
    text_.Put("<coordinates>");
    Tuple(point);
    text_.Put("</coordinates></Point>\n  </Placemark>\n");
}

void KmlWriter::Placemark(const char* name, const track::Point& point) {
    text_.Put("  <Placemark>\n    <name>");
    text_.Put(name);
    text_.Put("</name>\n");
    TimeStamp(point);
    PointGeometry(point);
}

void KmlWriter::Waypoint(const track::Point& point) {
    const std::string_view name = point.texts.Get(track::Text::kName);
    const std::string_view description = point.texts.Get(track::Text::kDescription);
    text_.Put("  <Placemark>\n");
    if (!name.empty()) {
        text_.Put("    <name>");
        text_.XmlText(name);
        text_.Put("</name>\n");
    }
    if (!description.empty()) {
        text_.Put("    <description>");
        text_.XmlText(description);
        text_.Put("</description>\n");
    }
    TimeStamp(point);
    // KML has no elements of its own for the other texts.
    const struct {
        track::Text text;
        const char* name;
    } data[] = {{track::Text::kComment, "cmt"},
                {track::Text::kSymbol, "sym"},
                {track::Text::kType, "type"},
                {track::Text::kLink, "link"}};
    bool open = false;
    for (const auto& item : data) {
        const std::string_view value = point.texts.Get(item.text);
        if (value.empty()) {
            continue;
        }
        text_.Put(open ? "" : "    <ExtendedData>");
        open = true;
        text_.Put("<Data name=\"");
        text_.Put(item.name);
        text_.Put("\"><value>");
        text_.XmlText(value);
        text_.Put("</value></Data>");
    }
    text_.Put(open ? "</ExtendedData>\n" : "");
    PointGeometry(point);
}

bool KmlWriter::RouteFailed() {
    Fail(route_.Error(), route_.ErrorText());
    return false;
}

bool KmlWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (!positions_.Keeps(
            point, clamp_ || !point.Has(track::kElevation) || std::isfinite(point.elevation))) {
        if (point.kind == track::Kind::kRoute && point.begins_track) {
            skipped_route_name_ = point.track_name;
        }
        return true;
    }
    const Breaks::Kind kind = positions_.Next(point);
    losses_.Add(point, kind);
    if (point.kind == track::Kind::kWaypoint) {
        Waypoint(point);
        if (!Check(!text_.Failed())) {
            return false;
        }
        Count();
        return true;
    }
    texts_dropped_ += point.texts.Empty() ? 0 : 1;
    names_dropped_ += point.kind == track::Kind::kTrack && point.begins_track &&
                              !point.track_name.empty() && point.track_name != name_
                          ? 1
                          : 0;
    if (point.kind == track::Kind::kRoute) {
        // A new route: the one before has ended. Its first point carries
        // its name, or the name of the point that began it and was left out.
        if (kind == Breaks::kTrack && !Route()) {
            return false;
        }
        if (!route_.IsOpen() && !route_.Open()) {
            return RouteFailed();
        }
        held_ = point;
        if (kind == Breaks::kTrack && !point.begins_track) {
            held_.track_name = skipped_route_name_;
        }
        if (!route_.Add(held_)) {
            return RouteFailed();
        }
        Count();
        return true;
    }
    // The point set aside keeps the break as this output sees it.
    held_ = point;
    held_.begins_segment = kind != Breaks::kNone;
    segments_ += held_.begins_segment ? 1 : 0;
    if (!SetAside(held_)) {
        return false;
    }
    if (track_points_ == 0) {
        first_ = point;
    }
    last_ = point;
    ++track_points_;
    Count();
    return true;
}

void KmlWriter::BeginLine(bool nested) {
    text_.Put(nested ? "      <LineString>" : "    <LineString>");
    // Drawn on the ground, the line follows the terrain between points.
    text_.Put(extrude_ ? "<extrude>1</extrude>" : "");
    text_.Put(clamp_ ? "<tessellate>1</tessellate>" : "");
    text_.Put(AltitudeMode(clamp_));
    text_.Put("<coordinates>\n");
}

void KmlWriter::EndLine(std::uint64_t points) {
    if (points == 1) {
        Tuple(segment_first_);
        text_.Put('\n');
    }
    text_.Put("</coordinates></LineString>\n");
}

bool KmlWriter::Lines() {
    text_.Put("  <Placemark>\n    <name>");
    text_.XmlText(name_);
    text_.Put("</name>\n    <styleUrl>#track</styleUrl>\n");
    text_.Put(segments_ > 1 ? "    <MultiGeometry>\n" : "");
    if (!ReadAside()) {
        return false;
    }
    std::uint64_t points = 0;  // of the segment
    while (NextAside(held_)) {
        if (held_.begins_segment) {
            if (points > 0) {
                EndLine(points);
            }
            BeginLine(segments_ > 1);
            segment_first_ = held_;
            points = 0;
        }
        Tuple(held_);
        text_.Put('\n');
        ++points;
    }
    if (!EndAside()) {
        return false;
    }
    EndLine(points);
    text_.Put(segments_ > 1 ? "    </MultiGeometry>\n  </Placemark>\n" : "  </Placemark>\n");
    return true;
}

bool KmlWriter::Route() {
    if (route_.Size() == 0) {
        return true;
    }
    if (!route_.StartReading()) {
        return RouteFailed();
    }
    std::uint64_t points = 0;
    while (route_.Next(held_)) {
        if (points == 0) {
            // Blue, apart from the red track; marked as a route for a
            // reader that wants to tell it from a track.
            text_.Put("  <Placemark>\n    <name>");
            text_.XmlText(held_.track_name.empty() ? name_ : held_.track_name);
            text_.Put(
                "</name>\n"
                "    <Style><LineStyle><color>ffff0000</color><width>3</width></LineStyle>"
                "</Style>\n"
                "    <ExtendedData><Data name=\"kind\"><value>route</value></Data>"
                "</ExtendedData>\n");
            BeginLine(false);
            segment_first_ = held_;
        }
        Tuple(held_);
        text_.Put('\n');
        ++points;
    }
    if (route_.Error() != 0) {
        return RouteFailed();
    }
    EndLine(points);
    text_.Put("  </Placemark>\n");
    return route_.Restart() || RouteFailed();
}

bool KmlWriter::Finish() {
    if (Failed()) {
        return false;
    }
    if (!Route()) {
        return false;
    }
    if (track_points_ > 0) {
        Placemark("Start", first_);
    }
    if (track_points_ > 1 && !Lines()) {
        return false;
    }
    if (track_points_ > 0) {
        Placemark("End", last_);
    }
    text_.Put("</Document>\n</kml>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> KmlWriter::Tallies() const {
    std::vector<Tally> tallies;
    positions_.AppendTallies(tallies, true);
    losses_.AppendTallies(tallies);
    tallies.push_back(TextsNotKept(texts_dropped_));
    tallies.push_back(TrackNamesNotKept(names_dropped_));
    return tallies;
}

}  // namespace formats
