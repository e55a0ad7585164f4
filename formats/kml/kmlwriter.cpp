#include "kmlwriter.h"

#include <cmath>

#include "row.h"

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

void KmlWriter::Placemark(const char* name, const track::Point& point) {
    text_.Put("  <Placemark>\n    <name>");
    text_.Put(name);
    text_.Put("</name>\n");
    if (point.Has(track::kTime)) {
        text_.Put("    <TimeStamp><when>");
        text_.Time(point.time);
        text_.Put("</when></TimeStamp>\n");
    }
    text_.Put("    <Point>");
    text_.Put(AltitudeMode(clamp_));
    text_.Put("<coordinates>");
    Tuple(point);
    text_.Put("</coordinates></Point>\n  </Placemark>\n");
}

bool KmlWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (!positions_.Keeps(
            point, clamp_ || !point.Has(track::kElevation) || std::isfinite(point.elevation))) {
        return true;
    }
    // The point set aside keeps the break as this output sees it.
    held_ = point;
    const Breaks::Kind kind = positions_.Next(point);
    held_.begins_segment = kind != Breaks::kNone;
    segments_ += held_.begins_segment ? 1 : 0;
    losses_.Add(point, kind);
    if (!SetAside(held_)) {
        return false;
    }
    if (Written() == 0) {
        first_ = point;
    }
    last_ = point;
    Count();
    return true;
}

void KmlWriter::BeginLine() {
    text_.Put(segments_ > 1 ? "      <LineString>" : "    <LineString>");
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
            BeginLine();
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

bool KmlWriter::Finish() {
    if (Failed()) {
        return false;
    }
    if (Written() > 0) {
        Placemark("Start", first_);
    }
    if (Written() > 1 && !Lines()) {
        return false;
    }
    if (Written() > 0) {
        Placemark("End", last_);
    }
    text_.Put("</Document>\n</kml>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> KmlWriter::Tallies() const {
    std::vector<Tally> tallies;
    positions_.AppendTallies(tallies, true);
    losses_.AppendTallies(tallies);
    return tallies;
}

}  // namespace formats
