#include "tcxwriter.h"

#include <cmath>

#include "row.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/track/sport.h"

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

const char* TriggerName(track::LapTrigger trigger) {
    switch (trigger) {
        case track::LapTrigger::kDistance:
            return "Distance";
        case track::LapTrigger::kPosition:
            return "Location";
        case track::LapTrigger::kTime:
            return "Time";
        default:
            return "Manual";
    }
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
    if (point.kind == track::Kind::kWaypoint) {
        kinds_.Keeps(point);
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
    // A route is counted at the first of its points written, which begins a
    // track here whichever of its points were skipped.
    spooled_.begins_track = kind == Breaks::kTrack;
    kinds_.Keeps(spooled_);
    spooled_.begins_segment = begins;
    losses_.Add(point, kind);
    spooled_.begins_session = first || point.begins_session;
    spooled_.begins_lap = spooled_.begins_session || point.begins_lap;
    if (spooled_.begins_lap) {
        if (!laps_.empty()) {
            laps_.back().trigger = point.lap_trigger;
        }
        laps_.emplace_back();
        laps_.back().start = point.time;
    }
    sessions_ += spooled_.begins_session ? 1 : 0;
    Lap& lap = laps_.back();
    if (first) {
        first_time_ = point.time;
    } else if (!begins && point.time > previous_time_) {
        const double leg = point.time.SecondsSince(previous_time_);
        seconds_ += leg;
        // The leg into a lap is the time of the lap it ends: the timer runs
        // on from one lap into the next.
        (spooled_.begins_lap ? laps_[laps_.size() - 2] : lap).seconds += leg;
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
    if (spooled_.begins_lap) {
        lap.first_distance = first ? spooled_.distance : previous_distance_;
    }
    lap.last_distance = std::fmax(lap.last_distance, spooled_.distance);
    previous_distance_ = spooled_.distance;
    if (point.Has(track::kSpeed) && std::isfinite(point.speed)) {
        lap.max_speed = std::fmax(lap.max_speed, point.speed);
    }
    if (point.Has(track::kHeartRate) && point.heart_rate >= 1 && point.heart_rate <= 255) {
        lap.heart_sum += point.heart_rate;
        lap.heart_max = std::fmax(lap.heart_max, point.heart_rate);
        ++lap.hearts;
    }
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
        const bool multisport = sessions_ > 1;
        text_.Put("  <Activities>\n");
        track::Point point;
        std::size_t lap = 0;
        std::uint64_t session = 0;
        const char* kClose = "        </Track>\n      </Lap>\n";
        while (NextAside(point) && !text_.Failed()) {
            if (point.begins_session) {
                if (session > 0) {
                    text_.Put(kClose);
                    text_.Put("    </Activity>\n");
                    text_.Put(!multisport    ? ""
                              : session == 1 ? "    </FirstSport>\n"
                                             : "    </NextSport>\n");
                }
                if (multisport) {
                    if (session == 0) {
                        text_.Put("  <MultiSportSession>\n    <Id>");
                        text_.Time(first_time_);
                        text_.Put("</Id>\n    <FirstSport>\n");
                    } else {
                        text_.Put("    <NextSport>\n");
                    }
                }
                ++session;
                text_.Put("    <Activity Sport=\"");
                text_.Put(SessionSport(point));
                text_.Put("\">\n      <Id>");
                text_.Time(point.time);
                text_.Put("</Id>\n");
                WriteLapStart(laps_[lap++]);
            } else if (point.begins_lap) {
                text_.Put(kClose);
                WriteLapStart(laps_[lap++]);
            } else if (point.begins_segment) {
                text_.Put("        </Track>\n        <Track>\n");
            }
            WritePoint(point);
        }
        if (!EndAside()) {
            return false;
        }
        text_.Put(kClose);
        text_.Put("    </Activity>\n");
        if (multisport) {
            text_.Put(session == 1 ? "    </FirstSport>\n" : "    </NextSport>\n");
            text_.Put("  </MultiSportSession>\n");
        }
        text_.Put("  </Activities>\n");
    }
    text_.Put("</TrainingCenterDatabase>\n");
    return Check(!text_.Failed()) && Close();
}

const char* TcxWriter::SessionSport(const track::Point& point) const {
    if (sport_ != Sport::kUnknown) {
        return SportName(sport_);
    }
    if (point.sport == track::kRunning) {
        return "Running";
    }
    if (point.sport == track::kCycling) {
        return "Biking";
    }
    return point.sport == track::kUnknownSport ? SportName(recorded_sport_) : "Other";
}

void TcxWriter::WriteLapStart(const Lap& lap) {
    text_.Put("      <Lap StartTime=\"");
    text_.Time(lap.start);
    text_.Put("\">\n        <TotalTimeSeconds>");
    text_.Number(lap.seconds);
    text_.Put("</TotalTimeSeconds>\n        <DistanceMeters>");
    text_.Number(std::fmax(lap.last_distance - lap.first_distance, 0.0));
    text_.Put("</DistanceMeters>\n");
    if (lap.max_speed >= 0) {
        text_.Put("        <MaximumSpeed>");
        text_.Number(lap.max_speed);
        text_.Put("</MaximumSpeed>\n");
    }
    text_.Put("        <Calories>0</Calories>\n");
    if (lap.hearts > 0) {
        text_.Put("        <AverageHeartRateBpm>\n          <Value>");
        text_.Unsigned(
            static_cast<unsigned>(std::round(lap.heart_sum / static_cast<double>(lap.hearts))));
        text_.Put(
            "</Value>\n        </AverageHeartRateBpm>\n        <MaximumHeartRateBpm>\n"
            "          <Value>");
        text_.Unsigned(static_cast<unsigned>(std::round(lap.heart_max)));
        text_.Put("</Value>\n        </MaximumHeartRateBpm>\n");
    }
    text_.Put("        <Intensity>Active</Intensity>\n        <TriggerMethod>");
    text_.Put(TriggerName(lap.trigger));
    text_.Put("</TriggerMethod>\n        <Track>\n");
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
