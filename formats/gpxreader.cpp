#include "gpxreader.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "tallies.h"
#include "timetext.h"
#include "units.h"
#include "xmlstream.h"

namespace formats {
namespace {

constexpr std::size_t kTextCapacity = 128;  // of the text of one field: plenty for a number or time

enum class Space { kGpx, kTrackPointExtension, kOther };

Space SpaceOf(std::string_view uri) {
    // Elements without a namespace are taken as GPX: some writers leave it out.
    if (uri.empty() || uri == "http://www.topografix.com/GPX/1/1" ||
        uri == "http://www.topografix.com/GPX/1/0") {
        return Space::kGpx;
    }
    if (uri == "http://www.garmin.com/xmlschemas/TrackPointExtension/v1" ||
        uri == "http://www.garmin.com/xmlschemas/TrackPointExtension/v2") {
        return Space::kTrackPointExtension;
    }
    return Space::kOther;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsXmlSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

enum class Field { kNone, kElevation, kTime, kSpeed, kCourse };

Field FieldOf(Space space, std::string_view local) {
    if (local == "speed") {
        return Field::kSpeed;
    }
    if (local == "course") {
        return Field::kCourse;
    }
    if (space == Space::kGpx && local == "ele") {
        return Field::kElevation;
    }
    if (space == Space::kGpx && local == "time") {
        return Field::kTime;
    }
    return Field::kNone;
}

const char* FieldName(Field field) {
    switch (field) {
        case Field::kElevation:
            return "ele";
        case Field::kTime:
            return "time";
        case Field::kSpeed:
            return "speed";
        default:
            return "course";
    }
}

}  // namespace

class GpxReader::Parse : public XmlHandler {
  public:
    explicit Parse(io::InputFile& file)
        : stream_(file, *this),
          c_locale_(::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {}
    ~Parse() override {
        if (c_locale_ != static_cast<locale_t>(nullptr)) {
            ::freelocale(c_locale_);
        }
    }
    Parse(const Parse&) = delete;
    Parse& operator=(const Parse&) = delete;

    // The next point; false at the end and on an error (error() then has a reason).
    bool Next(track::Point& point);
    const ReadError& error() const { return stream_.Error(); }
    std::vector<Tally> Tallies() const;

    void Start(const XmlName& name, const XmlAttributes& attributes, int depth) override;
    void End(int depth) override;
    void Text(std::string_view text) override;

  private:
    enum class Pass { kTrack, kRoute };

    void BeginPoint(const XmlAttributes& attributes, int depth);
    void EndPoint();
    void EndField();
    bool ReadDouble(std::string_view text, double& value);

    XmlStream stream_;
    locale_t c_locale_;
    std::string number_;
    Pass pass_ = Pass::kTrack;

    int point_depth_ = 0;  // of the open point; 0 outside points
    Field field_ = Field::kNone;
    int field_depth_ = 0;
    Location field_where_;
    char text_[kTextCapacity + 1] = {};
    std::size_t text_size_ = 0;
    bool text_overflow_ = false;

    track::Point point_;
    bool position_ok_ = false;
    bool ready_ = false;
    bool saw_track_point_ = false;
    bool saw_route_point_ = false;

    std::uint32_t count_ = 0;
    std::uint64_t without_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

bool GpxReader::Parse::Next(track::Point& point) {
    for (;;) {
        if (ready_) {
            ready_ = false;
            point = point_;
            return true;
        }
        if (stream_.Run()) {
            continue;
        }
        if (stream_.Failed()) {
            return false;
        }
        if (pass_ == Pass::kRoute || saw_track_point_ || !saw_route_point_) {
            return false;
        }
        // No track points, but routes: read the file again for those.
        if (!stream_.Restart("the file has routes only, and reading it again for them failed")) {
            return false;
        }
        pass_ = Pass::kRoute;
        point_depth_ = field_depth_ = 0;
        field_ = Field::kNone;
    }
}

void GpxReader::Parse::Start(const XmlName& name, const XmlAttributes& attributes, int depth) {
    const Space space = SpaceOf(name.space);
    const std::string_view local = name.local;
    if (depth == 1) {
        if (space != Space::kGpx || local != "gpx") {
            stream_.Stop("not a GPX file: the root element is " + std::string(local) + ", not gpx");
        }
        return;
    }
    if (point_depth_ == 0) {
        if (space == Space::kGpx && local == "trkpt") {
            saw_track_point_ = true;
            if (pass_ == Pass::kTrack) {
                BeginPoint(attributes, depth);
            }
        } else if (space == Space::kGpx && local == "rtept") {
            saw_route_point_ = true;
            if (pass_ == Pass::kRoute) {
                BeginPoint(attributes, depth);
            }
        }
        return;
    }
    if (field_ != Field::kNone) {
        return;  // markup inside a field is no part of it
    }
    // The point's own fields are its children; the extension's lie deeper.
    if ((space == Space::kGpx && depth == point_depth_ + 1) ||
        space == Space::kTrackPointExtension) {
        field_ = FieldOf(space, local);
    }
    if (field_ != Field::kNone) {
        field_depth_ = depth;
        field_where_ = stream_.Here();
        text_size_ = 0;
        text_overflow_ = false;
    }
}

void GpxReader::Parse::End(int depth) {
    if (field_ != Field::kNone && depth == field_depth_) {
        EndField();
    } else if (point_depth_ != 0 && depth == point_depth_) {
        EndPoint();
    }
}

void GpxReader::Parse::Text(std::string_view text) {
    if (field_ == Field::kNone) {
        return;
    }
    const std::size_t room = kTextCapacity - text_size_;
    const std::size_t taken = text.size() < room ? text.size() : room;
    std::memcpy(text_ + text_size_, text.data(), taken);
    text_size_ += taken;
    text_overflow_ = text_overflow_ || taken < text.size();
}

bool GpxReader::Parse::ReadDouble(std::string_view text, double& value) {
    // strtod wants the text zero-terminated; the copy's capacity is reused.
    number_.assign(text.data(), text.size());
    const char* start = number_.c_str();
    char* end = nullptr;
    value = ::strtod_l(start, &end, c_locale_);
    if (end == start) {
        return false;
    }
    while (IsXmlSpace(*end)) {
        ++end;
    }
    return *end == '\0';
}

void GpxReader::Parse::BeginPoint(const XmlAttributes& attributes, int depth) {
    point_depth_ = depth;
    point_.Reset();
    bool has_latitude = false;
    bool has_longitude = false;
    double latitude = 0.0;
    double longitude = 0.0;
    for (const XmlAttribute& attribute : attributes) {
        if (!attribute.name.space.empty()) {
            continue;
        }
        if (attribute.name.local == "lat") {
            has_latitude = ReadDouble(attribute.value, latitude);
        } else if (attribute.name.local == "lon") {
            has_longitude = ReadDouble(attribute.value, longitude);
        }
    }
    // NaN fails both comparisons.
    position_ok_ = has_latitude && has_longitude && std::fabs(latitude) <= 90.0 &&
                   std::fabs(longitude) <= 180.0;
    point_.SetPosition(latitude, longitude);
}

void GpxReader::Parse::EndField() {
    const Field field = field_;
    field_ = Field::kNone;
    text_[text_size_] = '\0';
    const std::string_view text = Trim(std::string_view(text_, text_size_));
    if (text.empty() && !text_overflow_) {
        return;
    }
    const std::string shown = "\"" + std::string(text) + (text_overflow_ ? "...\"" : "\"");
    if (field == Field::kTime) {
        std::int64_t seconds = 0;
        if (text_overflow_ || !ParseIsoTime(text.data(), text.size(), seconds)) {
            stream_.Stop("time is not a date and time: " + shown, field_where_);
            return;
        }
        if (track::KeepsTime(seconds)) {
            point_.SetTime(track::Instant::FromSeconds(seconds));
        } else {
            ++time_out_of_range_;
        }
        return;
    }
    double value = 0.0;
    if (text_overflow_ || !ReadDouble(text, value) || !std::isfinite(value)) {
        stream_.Stop(std::string(FieldName(field)) + " is not a number: " + shown, field_where_);
        return;
    }
    // Near the largest double, metres make more feet than a double holds.
    if (field == Field::kElevation && !std::isfinite(FeetFromMeters(value))) {
        stream_.Stop(std::string(FieldName(field)) + " is out of range: " + shown, field_where_);
        return;
    }
    point_.Set(field == Field::kElevation ? track::kElevation
               : field == Field::kSpeed   ? track::kSpeed
                                          : track::kCourse,
               value);
}

void GpxReader::Parse::EndPoint() {
    point_depth_ = 0;
    if (!position_ok_) {
        ++without_position_;
        return;
    }
    point_.tag = ++count_;
    point_.begins_segment = point_.begins_track = count_ == 1;
    ready_ = true;
    // Hand the point out before expat goes on.
    stream_.Pause();
}

std::vector<Tally> GpxReader::Parse::Tallies() const {
    return {
        {without_position_, "point without a valid latitude and longitude was skipped",
         "points without a valid latitude and longitude were skipped", true},
        {time_out_of_range_, "point with a time outside 1900 to 2200 was left without a time",
         "points with a time outside 1900 to 2200 were left without a time", false},
        {pass_ == Pass::kRoute ? count_ : 0, "route point was read as the track",
         "route points were read as the track", false},
    };
}

GpxReader::GpxReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format::Named("gpx"), *file),
      file_(std::move(file)),
      parse_(std::make_unique<Parse>(*file_)) {}

GpxReader::~GpxReader() = default;

bool GpxReader::Next(track::Point& point) {
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

std::vector<Tally> GpxReader::Tallies() const {
    return parse_->Tallies();
}

}  // namespace formats
