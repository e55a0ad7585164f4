#include "gpxwriter.h"

#include <cmath>

#include "tallies.h"
#include "units.h"

namespace formats {

GpxWriter::GpxWriter(int fd, const WriterOptions& options)
    : Writer(Format::Named("gpx"), fd), text_(Output()) {
    text_.Put(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"trackconvert\" xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
        " http://www.topografix.com/GPX/1/1/gpx.xsd"
        " http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
        " http://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n"
        "  <trk>\n"
        "    <name>");
    text_.XmlText(options.name);
    text_.Put(
        "</name>\n"
        "    <trkseg>\n");
}

bool GpxWriter::Write(const track::Point& point) {
    if (!point.Has(track::kPosition) && !Failed()) {
        ++without_position_;
        return true;
    }
    return WriteRecord(track::ToRecord(point));
}

bool GpxWriter::WriteRecord(const GPL_Data_Point& point) {
    if (Failed()) {
        return false;
    }
    if (!HasValidPosition(point)) {
        ++without_position_;
        return true;
    }
    text_.Put("      <trkpt lat=\"");
    text_.Decimal(point.Latitude);
    text_.Put("\" lon=\"");
    text_.Decimal(point.Longitude);
    text_.Put("\">");
    if (std::isfinite(point.Altitude)) {
        text_.Put("<ele>");
        text_.Decimal(MetersFromFeet(point.Altitude));
        text_.Put("</ele>");
    }
    if (point.Time != 0) {
        text_.Put("<time>");
        text_.Time(point.Time);
        text_.Put("</time>");
    }
    const bool speed = std::isfinite(point.Speed);
    const bool course = std::isfinite(point.Heading);
    if ((point.Speed != 0.0 || point.Heading != 0.0) && (speed || course)) {
        text_.Put("<extensions><gpxtpx:TrackPointExtension>");
        if (speed) {
            text_.Put("<gpxtpx:speed>");
            text_.Decimal(MetersPerSecondFromMph(point.Speed));
            text_.Put("</gpxtpx:speed>");
        }
        if (course) {
            text_.Put("<gpxtpx:course>");
            text_.Decimal(point.Heading);
            text_.Put("</gpxtpx:course>");
        }
        text_.Put("</gpxtpx:TrackPointExtension></extensions>");
    }
    text_.Put("</trkpt>\n");
    if (!Check(!text_.Failed())) {
        return false;
    }
    Count();
    return true;
}

bool GpxWriter::Finish() {
    text_.Put(
        "    </trkseg>\n"
        "  </trk>\n"
        "</gpx>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> GpxWriter::Tallies() const {
    return {SkippedForPosition(without_position_, false)};
}

}  // namespace formats
