#include "tcxreader.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/tallies.h"

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
    const Node node = tcx ? ChildOf(path_[depth - 1], local) : Node::kOther;
    path_[depth] = node;
    if (node == Node::kActivity && sport_ == Sport::kUnknown) {
        sport_ = Sport::kOther;
        for (const XmlAttribute& attribute : attributes) {
            if (attribute.name.space.empty() && attribute.name.local == "Sport") {
                const std::string_view sport = TrimXmlSpace(attribute.value);
                sport_ = sport == "Running"  ? Sport::kRunning
                         : sport == "Biking" ? Sport::kBiking
                                             : Sport::kOther;
            }
        }
    } else if (node == Node::kTrack) {
        segment_pending_ = true;
    } else if (node == Node::kPoint) {
        point_depth_ = depth;
        group_ = Group::kNone;
        Made().Reset();
        has_latitude_ = has_longitude_ = false;
    }
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
    double number = 0.0;
    if (!ReadNumber(text_, number)) {
        StopAt(text_, value_name_, " is not a number: ");
        return;
    }
    switch (value) {
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
    point.begins_segment = count_ == 1 || segment_pending_;
    segment_pending_ = false;
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
