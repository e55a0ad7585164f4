#include "tcxreader.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/formats/timetext.h"
#include "tracktools/track/sport.h"

namespace formats {
namespace {

enum class Space { kTcx, kExtension, kOther };

Space SpaceOf(std::string_view uri) {
    // Elements without a namespace are taken as TCX: some writers leave it out.
    if (uri.empty() || uri == "http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2") {
        return Space::kTcx;
    }
    if (uri == "http://www.garmin.com/xmlschemas/ActivityExtension/v2") {
        return Space::kExtension;
    }
    return Space::kOther;
}

}  // namespace

TcxReader::Node TcxReader::ChildOf(Node parent, std::string_view local) {
    const struct {
        const char* name;
        Node parent;
        Node child;
    } kSteps[] = {
        {"Activities", Node::kRoot, Node::kActivities},
        {"Activity", Node::kActivities, Node::kActivity},
        {"MultiSportSession", Node::kActivities, Node::kMultiSport},
        {"FirstSport", Node::kMultiSport, Node::kSport},
        {"NextSport", Node::kMultiSport, Node::kSport},
        {"Activity", Node::kSport, Node::kActivity},
        {"Transition", Node::kSport, Node::kLap},
        {"Lap", Node::kActivity, Node::kLap},
        {"Track", Node::kLap, Node::kTrack},
        {"Courses", Node::kRoot, Node::kCourses},
        {"Course", Node::kCourses, Node::kCourse},
        {"Track", Node::kCourse, Node::kTrack},
        {"Trackpoint", Node::kTrack, Node::kPoint},
    };
    for (const auto& step : kSteps) {
        if (step.parent == parent && local == step.name) {
            return step.child;
        }
    }
    return Node::kOther;
}

TcxReader::TcxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine)
    : XmlReader(Format(&kTcxFormat), std::move(file), engine) {}

void TcxReader::Start(const XmlName& name, const XmlAttributes& attributes, int depth) {
    const Space space = SpaceOf(name.space);
    const std::string_view local = name.local;
    if (point_depth_ == 0) {
        StartOutsidePoint(space == Space::kTcx, local, attributes, depth);
        return;
    }
    if (value_ != Value::kNone) {
        return;  // markup inside a value is no part of it
    }
    const int level = depth - point_depth_;
    const char* name_of_value = nullptr;
    if (space == Space::kTcx && level == 1) {
        group_ = local == "Position"       ? Group::kPosition
                 : local == "HeartRateBpm" ? Group::kHeartRate
                                           : Group::kNone;
        const struct {
            const char* name;
            Value value;
        } kValues[] = {{"Time", Value::kTime},
                       {"AltitudeMeters", Value::kAltitude},
                       {"DistanceMeters", Value::kDistance},
                       {"Cadence", Value::kCadence}};
        for (const auto& entry : kValues) {
            if (local == entry.name) {
                value_ = entry.value;
                name_of_value = entry.name;
            }
        }
    } else if (space == Space::kTcx && level == 2 && group_ == Group::kPosition) {
        if (local == "LatitudeDegrees" || local == "LongitudeDegrees") {
            value_ = local == "LatitudeDegrees" ? Value::kLatitude : Value::kLongitude;
            name_of_value = value_ == Value::kLatitude ? "LatitudeDegrees" : "LongitudeDegrees";
        }
    } else if (space == Space::kTcx && level == 2 && group_ == Group::kHeartRate) {
        if (local == "Value") {
            value_ = Value::kHeartRate;
            name_of_value = "HeartRateBpm";
        }
    } else if (space == Space::kExtension) {
        const struct {
            const char* name;
            Value value;
        } kValues[] = {
            {"Speed", Value::kSpeed}, {"Watts", Value::kPower}, {"RunCadence", Value::kCadence}};
        for (const auto& entry : kValues) {
            if (local == entry.name) {
                value_ = entry.value;
                name_of_value = entry.name;
            }
        }
    }
    if (value_ != Value::kNone) {
        value_name_ = name_of_value;
        value_depth_ = depth;
        text_.Begin(Stream().Here());
    }
}

void TcxReader::StartOutsidePoint(bool tcx, std::string_view local, const XmlAttributes& attributes,
                                  int depth) {
    if (depth == 1) {
        if (!tcx || local != "TrainingCenterDatabase") {
            Stream().Stop("not a TCX file: the root element is " + std::string(local) +
                          ", not TrainingCenterDatabase");
        }
        path_[1] = Node::kRoot;
        return;
    }
    if (depth > kPathDepth) {
        return;
    }
    const Node parent = path_[depth - 1];
    const Node node = tcx ? ChildOf(parent, local) : Node::kOther;
    path_[depth] = node;
    if (node == Node::kActivity) {
        std::string_view sport;
        for (const XmlAttribute& attribute : attributes) {
            if (attribute.name.space.empty() && attribute.name.local == "Sport") {
                sport = TrimXmlSpace(attribute.value);
            }
        }
        if (sport_ == Sport::kUnknown) {
            sport_ = sport == "Running"  ? Sport::kRunning
                     : sport == "Biking" ? Sport::kBiking
                                         : Sport::kOther;
        }
        session_pending_ = true;
        activity_pending_ = parent == Node::kActivities;
        session_sport_ = track::SportNamed(sport);
        if (activity_pending_) {
            lap_ = Lap();
        }
    } else if (node == Node::kCourse) {
        // A course is no continuation of what came before.
        activity_pending_ = true;
    } else if (node == Node::kLap) {
        StartLap(attributes, parent == Node::kSport);
    } else if (tcx && parent == Node::kLap && point_depth_ == 0 &&
               (local == "TotalTimeSeconds" || local == "TriggerMethod")) {
        value_ = local == "TotalTimeSeconds" ? Value::kLapSeconds : Value::kLapTrigger;
        value_name_ = local == "TotalTimeSeconds" ? "TotalTimeSeconds" : "TriggerMethod";
        value_depth_ = depth;
        text_.Begin(Stream().Here());
    } else if (node == Node::kTrack) {
        segment_pending_ = true;
    } else if (node == Node::kPoint) {
        point_depth_ = depth;
        group_ = Group::kNone;
        Made().Reset();
        has_latitude_ = has_longitude_ = false;
    }
}

void TcxReader::StartLap(const XmlAttributes& attributes, bool transition) {
    previous_lap_ = lap_;
    lap_ = Lap();
    lap_pending_ = true;
    pending_trigger_ = previous_lap_.trigger;
    if (transition) {
        session_pending_ = true;
        activity_pending_ = false;
        session_sport_ = track::kTransition;
    }
    for (const XmlAttribute& attribute : attributes) {
        if (attribute.name.space.empty() && attribute.name.local == "StartTime") {
            const std::string_view text = TrimXmlSpace(attribute.value);
            std::int64_t seconds = 0;
            std::uint32_t nanoseconds = 0;
            if (ParseIsoTime(text.data(), text.size(), seconds, nanoseconds) &&
                track::KeepsTime(seconds)) {
                lap_.has_start = true;
                lap_.start = track::Instant::FromNanoseconds(
                    seconds * track::Instant::kNanosecondsPerSecond + nanoseconds);
            }
        }
    }
}

bool TcxReader::AfterPause(const track::Point& point) {
    const bool timed = point.Has(track::kTime) && has_last_time_;
    const double gap = timed ? point.time.SecondsSince(last_time_) : 0.0;
    if (activity_pending_) {
        return true;
    }
    if (!has_last_time_ && segment_pending_ && !lap_pending_ && !session_pending_) {
        return true;
    }
    if (lap_pending_ && lap_.has_start && previous_lap_.has_start && previous_lap_.has_seconds) {
        // The timer ran from the lap before to this one: no pause, whatever
        // the recording's step.
        const double expected = previous_lap_.seconds + previous_lap_.paused;
        return lap_.start.SecondsSince(previous_lap_.start) - expected > 1.0;
    }
    if (!timed) {
        return !lap_pending_ && !session_pending_;
    }
    const bool pause = gap > (interval_ > 1.0 ? interval_ : 1.0);
    if (pause && !lap_pending_) {
        lap_.paused += gap;
    }
    return pause;
}

void TcxReader::End(int depth) {
    if (value_ != Value::kNone && depth == value_depth_) {
        EndValue();
    } else if (point_depth_ != 0 && depth == point_depth_) {
        EndPoint();
    } else if (point_depth_ != 0 && depth == point_depth_ + 1) {
        group_ = Group::kNone;
    }
}

void TcxReader::Text(std::string_view text) {
    if (value_ != Value::kNone) {
        text_.Add(text);
    }
}

void TcxReader::EndValue() {
    const Value value = value_;
    value_ = Value::kNone;
    if (text_.Empty()) {
        return;
    }
    if (value == Value::kTime) {
        TakeTime(text_, "Time", time_out_of_range_);
        return;
    }
    if (value == Value::kLapTrigger) {
        const std::string_view trigger = text_.Text();
        lap_.trigger = trigger == "Manual"     ? track::LapTrigger::kManual
                       : trigger == "Distance" ? track::LapTrigger::kDistance
                       : trigger == "Location" ? track::LapTrigger::kPosition
                       : trigger == "Time"     ? track::LapTrigger::kTime
                                               : track::LapTrigger::kUnknown;
        return;
    }
    double number = 0.0;
    if (!ReadNumber(text_, number)) {
        StopAt(text_, value_name_, " is not a number: ");
        return;
    }
    switch (value) {
        case Value::kLapSeconds:
            lap_.has_seconds = true;
            lap_.seconds = number;
            break;
        case Value::kLatitude:
            latitude_ = number;
            has_latitude_ = true;
            break;
        case Value::kLongitude:
            longitude_ = number;
            has_longitude_ = true;
            break;
        default: {
            const track::Field field = value == Value::kAltitude    ? track::kElevation
                                       : value == Value::kDistance  ? track::kDistance
                                       : value == Value::kHeartRate ? track::kHeartRate
                                       : value == Value::kCadence   ? track::kCadence
                                       : value == Value::kSpeed     ? track::kSpeed
                                                                    : track::kPower;
            Made().Set(field, number);
        }
    }
}

void TcxReader::EndPoint() {
    point_depth_ = 0;
    track::Point& point = Made();
    if (has_latitude_ && has_longitude_ && std::fabs(latitude_) <= 90.0 &&
        std::fabs(longitude_) <= 180.0) {
        point.SetPosition(latitude_, longitude_);
    } else if (has_latitude_ || has_longitude_) {
        ++without_valid_position_;
    }
    point.tag = ++count_;
    point.begins_track = count_ == 1;
    if (count_ == 1) {
        point.begins_segment = true;
    } else if (segment_pending_ || lap_pending_ || session_pending_) {
        point.begins_segment = AfterPause(point);
    } else if (point.Has(track::kTime) && has_last_time_) {
        const double step = point.time.SecondsSince(last_time_);
        interval_ = step > interval_ ? step : interval_;
    }
    if (lap_pending_ || session_pending_ || count_ == 1) {
        point.begins_lap = true;
        point.lap_trigger = lap_pending_ ? pending_trigger_ : track::LapTrigger::kUnknown;
    }
    if (session_pending_) {
        point.begins_session = true;
        point.sport = session_sport_;
    }
    segment_pending_ = lap_pending_ = session_pending_ = activity_pending_ = false;
    if (point.Has(track::kTime)) {
        has_last_time_ = true;
        last_time_ = point.time;
    }
    HandOut();
}

std::vector<Tally> TcxReader::Tallies() const {
    return {
        {without_valid_position_,
         "point without a valid latitude and longitude was left without a position",
         "points without a valid latitude and longitude were left without a position", false},
        TimeNotKept(time_out_of_range_),
    };
}

}  // namespace formats
