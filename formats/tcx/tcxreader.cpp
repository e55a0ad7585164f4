#include "tcxreader.h"

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/numbers.h"
#include "tracktools/formats/timetext.h"
#include "tracktools/formats/xml/xmlstream.h"

namespace formats {
namespace {

constexpr std::size_t kTextCapacity = 128;  // of the text of one value: plenty for a number or time

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

// The elements on the way from the root to a track point.
enum class Node { kOther, kRoot, kActivities, kActivity, kLap, kCourses, kCourse, kTrack, kPoint };
constexpr int kPathDepth = 6;  // a point of an activity: root, Activities, Activity, Lap, Track

Node ChildOf(Node parent, std::string_view local) {
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

// The values of a point, and the element of each.
enum class Value {
    kNone,
    kTime,
    kLatitude,
    kLongitude,
    kAltitude,
    kDistance,
    kHeartRate,
    kCadence,
    kSpeed,
    kPower
};

// The groups within a point that hold values.
enum class Group { kNone, kPosition, kHeartRate };

}  // namespace

class TcxReader::Parse : public XmlHandler {
  public:
    Parse(io::InputFile& file, XmlEngine engine) : stream_(file, *this, engine) {}

    bool Next(track::Point& point);
    const ReadError& error() const { return stream_.Error(); }
    std::vector<Tally> Tallies() const;
    Sport sport() const { return sport_; }

    void Start(const XmlName& name, const XmlAttributes& attributes, int depth) override;
    void End(int depth) override;
    void Text(std::string_view text) override;

  private:
    void StartOutsidePoint(Space space, std::string_view local, const XmlAttributes& attributes,
                           int depth);
    void EndValue();
    void EndPoint();

    XmlStream stream_;
    NumberReader number_;
    Node path_[kPathDepth + 1] = {};  // the open elements by depth, from 1
    bool segment_pending_ = false;

    int point_depth_ = 0;  // of the open point; 0 outside points
    Group group_ = Group::kNone;
    Value value_ = Value::kNone;
    const char* value_name_ = "";
    int value_depth_ = 0;
    Location value_where_;
    char text_[kTextCapacity + 1] = {};
    std::size_t text_size_ = 0;
    bool text_overflow_ = false;

    track::Point point_;
    bool has_latitude_ = false;
    bool has_longitude_ = false;
    double latitude_ = 0.0;
    double longitude_ = 0.0;
    bool ready_ = false;

    Sport sport_ = Sport::kUnknown;
    std::uint32_t count_ = 0;
    std::uint64_t without_valid_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

bool TcxReader::Parse::Next(track::Point& point) {
    for (;;) {
        if (ready_) {
            ready_ = false;
            point = point_;
            return true;
        }
        if (!stream_.Run()) {
            return false;
        }
    }
}

void TcxReader::Parse::Start(const XmlName& name, const XmlAttributes& attributes, int depth) {
    const Space space = SpaceOf(name.space);
    const std::string_view local = name.local;
    if (point_depth_ == 0) {
        StartOutsidePoint(space, local, attributes, depth);
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
        value_where_ = stream_.Here();
        text_size_ = 0;
        text_overflow_ = false;
    }
}

void TcxReader::Parse::StartOutsidePoint(Space space, std::string_view local,
                                         const XmlAttributes& attributes, int depth) {
    if (depth == 1) {
        if (space != Space::kTcx || local != "TrainingCenterDatabase") {
            stream_.Stop("not a TCX file: the root element is " + std::string(local) +
                         ", not TrainingCenterDatabase");
        }
        path_[1] = Node::kRoot;
        return;
    }
    if (depth > kPathDepth) {
        return;
    }
    const Node node = space == Space::kTcx ? ChildOf(path_[depth - 1], local) : Node::kOther;
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
        point_.Reset();
        has_latitude_ = has_longitude_ = false;
    }
}

void TcxReader::Parse::End(int depth) {
    if (value_ != Value::kNone && depth == value_depth_) {
        EndValue();
    } else if (point_depth_ != 0 && depth == point_depth_) {
        EndPoint();
    } else if (point_depth_ != 0 && depth == point_depth_ + 1) {
        group_ = Group::kNone;
    }
}

void TcxReader::Parse::Text(std::string_view text) {
    if (value_ == Value::kNone) {
        return;
    }
    const std::size_t room = kTextCapacity - text_size_;
    const std::size_t taken = text.size() < room ? text.size() : room;
    std::memcpy(text_ + text_size_, text.data(), taken);
    text_size_ += taken;
    text_overflow_ = text_overflow_ || taken < text.size();
}

void TcxReader::Parse::EndValue() {
    const Value value = value_;
    value_ = Value::kNone;
    const std::string_view text = TrimXmlSpace(std::string_view(text_, text_size_));
    if (text.empty() && !text_overflow_) {
        return;
    }
    const std::string shown = "\"" + std::string(text) + (text_overflow_ ? "...\"" : "\"");
    if (value == Value::kTime) {
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        if (text_overflow_ || !ParseIsoTime(text.data(), text.size(), seconds, nanoseconds)) {
            stream_.Stop("Time is not a date and time: " + shown, value_where_);
        } else if (track::KeepsTime(seconds)) {
            point_.SetTime(track::Instant::FromNanoseconds(
                seconds * track::Instant::kNanosecondsPerSecond + nanoseconds));
        } else {
            ++time_out_of_range_;
        }
        return;
    }
    double number = 0.0;
    if (text_overflow_ || !number_.Read(text, number) || !std::isfinite(number)) {
        stream_.Stop(std::string(value_name_) + " is not a number: " + shown, value_where_);
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
            point_.Set(field, number);
        }
    }
}

void TcxReader::Parse::EndPoint() {
    point_depth_ = 0;
    if (has_latitude_ && has_longitude_ && std::fabs(latitude_) <= 90.0 &&
        std::fabs(longitude_) <= 180.0) {
        point_.SetPosition(latitude_, longitude_);
    } else if (has_latitude_ || has_longitude_) {
        ++without_valid_position_;
    }
    point_.tag = ++count_;
    point_.begins_track = count_ == 1;
    point_.begins_segment = count_ == 1 || segment_pending_;
    segment_pending_ = false;
    ready_ = true;
    // Hand the point out before expat goes on.
    stream_.Pause();
}

std::vector<Tally> TcxReader::Parse::Tallies() const {
    return {
        {without_valid_position_,
         "point without a valid latitude and longitude was left without a position",
         "points without a valid latitude and longitude were left without a position", false},
        {time_out_of_range_, "point with a time outside 1900 to 2200 was left without a time",
         "points with a time outside 1900 to 2200 were left without a time", false},
    };
}

TcxReader::TcxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine)
    : Reader(Format(&kTcxFormat), *file),
      file_(std::move(file)),
      parse_(std::make_unique<Parse>(*file_, engine)) {}

TcxReader::~TcxReader() = default;

bool TcxReader::Next(track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (parse_->Next(point)) {
        return true;
    }
    const ReadError& error = parse_->error();
    if (!error.reason.empty()) {
        Fail(error.system_error, error.reason, error.where);
    }
    return false;
}

std::vector<Tally> TcxReader::Tallies() const {
    return parse_->Tallies();
}

Sport TcxReader::RecordedSport() const {
    return parse_->sport();
}

}  // namespace formats
