#include "kmlwriter.h"

#include <cmath>

#include "tallies.h"
#include "units.h"

namespace formats {
namespace {

const char* AltitudeMode(bool clamp) {
    return clamp ? "<altitudeMode>clampToGround</altitudeMode>"
                 : "<altitudeMode>absolute</altitudeMode>";
}

}  // namespace

KmlWriter::KmlWriter(int fd, const WriterOptions& options)
    : Writer(Format::Named("kml"), fd),
      text_(Output()),
      name_(options.name),
      clamp_(options.clamp),
      extrude_(options.extrude) {
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

void KmlWriter::Tuple(const GPL_Data_Point& point) {
    text_.Decimal(point.Longitude);
    text_.Put(',');
    text_.Decimal(point.Latitude);
    if (!clamp_) {
        text_.Put(',');
        text_.Decimal(MetersFromFeet(point.Altitude));
    }
}

void KmlWriter::Placemark(const char* name, const GPL_Data_Point& point) {
    text_.Put("  <Placemark>\n    <name>");
    text_.Put(name);
    text_.Put("</name>\n");
    if (point.Time != 0) {
        text_.Put("    <TimeStamp><when>");
        text_.Time(point.Time);
        text_.Put("</when></TimeStamp>\n");
    }
    text_.Put("    <Point>");
    text_.Put(AltitudeMode(clamp_));
    text_.Put("<coordinates>");
    Tuple(point);
    text_.Put("</coordinates></Point>\n  </Placemark>\n");
}

bool KmlWriter::Write(const track::Point& point) {
    if (!point.Has(track::kPosition) && !Failed()) {
        ++skipped_;
        return true;
    }
    return WriteRecord(track::ToRecord(point));
}

bool KmlWriter::WriteRecord(const GPL_Data_Point& point) {
    if (Failed()) {
        return false;
    }
    if (!HasValidPosition(point) || (!clamp_ && !std::isfinite(point.Altitude))) {
        ++skipped_;
        return true;
    }
    if (Written() == 0) {
        first_ = point;
    } else {
        if (Written() == 1) {
            Placemark("Start", first_);
            text_.Put("  <Placemark>\n    <name>");
            text_.XmlText(name_);
            text_.Put("</name>\n    <styleUrl>#track</styleUrl>\n    <LineString>");
            // Drawn on the ground, the line follows the terrain between points.
            text_.Put(extrude_ ? "<extrude>1</extrude>" : "");
            text_.Put(clamp_ ? "<tessellate>1</tessellate>" : "");
            text_.Put(AltitudeMode(clamp_));
            text_.Put("<coordinates>\n");
            Tuple(first_);
            text_.Put('\n');
        }
        Tuple(point);
        text_.Put('\n');
    }
    last_ = point;
    Count();
    return Check(!text_.Failed());
}

bool KmlWriter::Finish() {
    if (Written() == 1) {
        Placemark("Start", first_);
    } else if (Written() > 1) {
        text_.Put("</coordinates></LineString>\n  </Placemark>\n");
    }
    if (Written() > 0) {
        Placemark("End", last_);
    }
    text_.Put("</Document>\n</kml>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> KmlWriter::Tallies() const {
    return {SkippedForPosition(skipped_, true)};
}

}  // namespace formats
