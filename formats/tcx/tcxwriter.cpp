#include "tcxwriter.h"

#include <cmath>

#include "row.h"
#include "tracktools/geodesy/Ellipsoid.h"

namespace formats {
namespace {

// A reading as the whole number the schema wants, when it lies in [low, high].
bool WholeNumber(const track::Point& point, track::Field field, double low, double high,
                 unsigned& value) {
    const double rounded = std::round(point.Get(field));
    if (!(rounded >= low && rounded <= high)) {
        return false;
    }
    value = static_cast<unsigned>(rounded);
    return true;
}

// The sport the option -sport names; unknown when none is given.
Sport SportOf(std::string_view name) {
    return name == "running"  ? Sport::kRunning
           : name == "biking" ? Sport::kBiking
           : name == "other"  ? Sport::kOther
                              : Sport::kUnknown;
}

const char* SportName(Sport sport) {
    switch (sport) {
        case Sport::kRunning:
            return "Running";
        case Sport::kBiking:
            return "Biking";
        default:
            return "Other";
    }
}

}  // namespace

TcxWriter::TcxWriter(int fd, const WriterOptions& options)
    : SpoolingWriter(Format(&kTcxFormat), fd),
      text_(Output()),
      sport_(SportOf(options.Value("sport"))),
      losses_(track::kTemperature, false) {}

bool TcxWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (!kinds_.Keeps(point)) {
        return true;
    }
    if (!point.Has(track::kTime)) {
        ++without_time_;
        breaks_.Skip(point);
        return true;
    }
    spooled_ = point;
    const bool first = !breaks_.Started();
    const Breaks::Kind kind = breaks_.Next(point);
    const bool begins = kind != Breaks::kNone;
    spooled_.begins_segment = begins;
    losses_.Add(point, kind);
    if (first) {
        first_time_ = point.time;
    } else if (!begins && point.time > previous_time_) {
        seconds_ += point.time.SecondsSince(previous_time_);
    }
    previous_time_ = point.time;

    // No leg joins a segment to the one before.
    has_position_ = has_position_ && !begins;
    if (HasValidPosition(point)) {
        if (has_position_) {
            const double leg =
                geodesic_.Metres(latitude_, longitude_, point.latitude, point.longitude);
            length_ += std::isfinite(leg) ? leg : 0.0;
        }
        has_position_ = true;
        latitude_ = point.latitude;
        longitude_ = point.longitude;
    }
    if (!point.Has(track::kDistance) || !std::isfinite(point.distance)) {
        spooled_.Set(track::kDistance, length_);
    }
    distance_ = std::fmax(distance_, spooled_.distance);
    if (!SetAside(spooled_)) {
        return false;
    }
    // Counted now: Finish writes every point set aside, or fails.
    Count();
    return true;
}

void TcxWriter::WritePoint(const track::Point& point) {
    text_.Put("          <Trackpoint>\n            <Time>");
    text_.Time(point.time);
    text_.Put("</Time>\n");
    if (HasValidPosition(point)) {
        text_.Put("            <Position>\n              <LatitudeDegrees>");
        text_.Number(point.latitude);
        text_.Put("</LatitudeDegrees>\n              <LongitudeDegrees>");
        // The schema's longitudes stop short of 180, which is -180.
        text_.Number(point.longitude == 180.0 ? -180.0 : point.longitude);
        text_.Put("</LongitudeDegrees>\n            </Position>\n");
    } else if (point.Has(track::kPosition)) {
        ++positions_not_kept_;
    }
    if (point.Has(track::kElevation) && std::isfinite(point.elevation)) {
        text_.Put("            <AltitudeMeters>");
        text_.Number(point.elevation);
        text_.Put("</AltitudeMeters>\n");
    }
    text_.Put("            <DistanceMeters>");
    text_.Number(point.distance);
    text_.Put("</DistanceMeters>\n");
    unsigned whole = 0;
    if (point.Has(track::kHeartRate)) {
        if (WholeNumber(point, track::kHeartRate, 1, 255, whole)) {
            text_.Put("            <HeartRateBpm>\n              <Value>");
            text_.Unsigned(whole);
            text_.Put("</Value>\n            </HeartRateBpm>\n");
        } else {
            ++readings_not_kept_;
        }
    }
    if (point.Has(track::kCadence)) {
        if (WholeNumber(point, track::kCadence, 0, 254, whole)) {
            text_.Put("            <Cadence>");
            text_.Unsigned(whole);
            text_.Put("</Cadence>\n");
        } else {
            ++readings_not_kept_;
        }
    }
    const bool speed = point.Has(track::kSpeed) && std::isfinite(point.speed);
    bool power = false;
    unsigned watts = 0;
    if (point.Has(track::kPower)) {
        power = WholeNumber(point, track::kPower, 0, 65535, watts);
        readings_not_kept_ += power ? 0 : 1;
    }
    if (speed || power) {
        text_.Put("            <Extensions>\n              <ns3:TPX>\n");
        if (speed) {
            text_.Put("                <ns3:Speed>");
            text_.Number(point.speed);
            text_.Put("</ns3:Speed>\n");
        }
        if (power) {
            text_.Put("                <ns3:Watts>");
            text_.Unsigned(watts);
            text_.Put("</ns3:Watts>\n");
        }
        text_.Put("              </ns3:TPX>\n            </Extensions>\n");
    }
    text_.Put("          </Trackpoint>\n");
}

bool TcxWriter::Finish() {
    if (Failed()) {
        return false;
    }
    const Sport sport = sport_ != Sport::kUnknown            ? sport_
                        : recorded_sport_ != Sport::kUnknown ? recorded_sport_
                                                             : Sport::kOther;
    text_.Put(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<TrainingCenterDatabase"
        " xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\""
        " xmlns:ns3=\"http://www.garmin.com/xmlschemas/ActivityExtension/v2\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xsi:schemaLocation=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2"
        " http://www.garmin.com/xmlschemas/TrainingCenterDatabasev2.xsd\">\n");
    if (!breaks_.Started()) {
        text_.Put("  <Activities/>\n");
    } else {
        if (!ReadAside()) {
            return false;
        }
        text_.Put("  <Activities>\n    <Activity Sport=\"");
        text_.Put(SportName(sport));
        text_.Put("\">\n      <Id>");
        text_.Time(first_time_);
        text_.Put("</Id>\n      <Lap StartTime=\"");
        text_.Time(first_time_);
        text_.Put("\">\n        <TotalTimeSeconds>");
        text_.Number(seconds_);
        text_.Put("</TotalTimeSeconds>\n        <DistanceMeters>");
        text_.Number(distance_);
        text_.Put(
            "</DistanceMeters>\n"
            "        <Calories>0</Calories>\n"
            "        <Intensity>Active</Intensity>\n"
            "        <TriggerMethod>Manual</TriggerMethod>\n"
            "        <Track>\n");
        track::Point point;
        bool first = true;
        while (NextAside(point) && !text_.Failed()) {
            if (point.begins_segment && !first) {
                text_.Put("        </Track>\n        <Track>\n");
            }
            first = false;
            WritePoint(point);
        }
        if (!EndAside()) {
            return false;
        }
        text_.Put(
            "        </Track>\n"
            "      </Lap>\n"
            "    </Activity>\n"
            "  </Activities>\n");
    }
    text_.Put("</TrainingCenterDatabase>\n");
    return Check(!text_.Failed()) && Close();
}

std::vector<Tally> TcxWriter::Tallies() const {
    std::vector<Tally> tallies = {
        {without_time_, "point without a time was skipped", "points without a time were skipped",
         true},
        {positions_not_kept_, "position beyond 90 or 180 degrees was not kept",
         "positions beyond 90 or 180 degrees were not kept", false},
        {readings_not_kept_, "heart rate, cadence or power reading TCX cannot hold was not kept",
         "heart rate, cadence or power readings TCX cannot hold were not kept", false},
    };
    losses_.AppendTallies(tallies);
    kinds_.AppendTallies(tallies);
    return tallies;
}

}  // namespace formats
