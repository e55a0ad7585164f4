#include "gpxreader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/numbers.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/formats/timetext.h"
#include "tracktools/formats/xml/xmlstream.h"
#include "tracktools/track/units.h"

namespace formats {
namespace {

constexpr std::size_t kTextCapacity = 128;  // of the text of one field: plenty for a number or time
constexpr std::size_t kMaxName = 1024;      // bytes of a track's name that are kept

enum class Space { kGpx, kTrackPointExtension, kPowerExtension, kOther };

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
    if (uri == "http://www.garmin.com/xmlschemas/PowerExtension/v1") {
        return Space::kPowerExtension;
    }
    return Space::kOther;
}

// A field of a point: the element that holds it and the model's value.
struct FieldKind {
    std::string_view element;
    track::Field field;
};
const FieldKind kElevation{"ele", track::kElevation};
const FieldKind kTime{"time", track::kTime};
const FieldKind kSpeed{"speed", track::kSpeed};
const FieldKind kCourse{"course", track::kCourse};
const FieldKind kHeartRate{"hr", track::kHeartRate};
const FieldKind kCadence{"cad", track::kCadence};
const FieldKind kTemperature{"atemp", track::kTemperature};
const FieldKind kPower{"power", track::kPower};
const FieldKind kPowerInWatts{"PowerInWatts", track::kPower};

// The kind among `kinds` named `local`; null for none.
template <std::size_t N>
const FieldKind* Named(std::string_view local, const FieldKind* const (&kinds)[N]) {
    for (const FieldKind* kind : kinds) {
        // The first letter sorts out all but one without a comparison.
        if (!local.empty() && local[0] == kind->element[0] && local == kind->element) {
            return kind;
        }
    }
    return nullptr;
}

// The field of an element of a point at `depth` below it (1 for a child);
// null for none.
const FieldKind* FieldOf(Space space, std::string_view local, int depth, bool in_extensions) {
    // GPX 1.0 has speed and course of its own.
    static const FieldKind* const kGpxFields[] = {&kElevation, &kTime, &kSpeed, &kCourse};
    static const FieldKind* const kExtensionFields[] = {&kSpeed, &kCourse, &kHeartRate, &kCadence,
                                                        &kTemperature};
    if (space == Space::kGpx && depth == 1) {
        return Named(local, kGpxFields);
    }
    if (space == Space::kTrackPointExtension) {
        if (const FieldKind* kind = Named(local, kExtensionFields)) {
            return kind;
        }
    }
    if (space == Space::kPowerExtension && local == kPowerInWatts.element) {
        return &kPowerInWatts;
    }
    if (in_extensions && local == kPower.element) {
        return &kPower;
    }
    return nullptr;
}

}  // namespace

class GpxReader::Parse : public XmlHandler {
  public:
    Parse(io::InputFile& file, XmlEngine engine) : stream_(file, *this, engine) {
        stream_.TakeText(false);
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
    void EndName();
    void Open(const XmlName& name, const XmlAttributes& attributes, int depth);
    // Text is wanted in a field, and directly in the track's name.
    void TakeTextWhereWanted() {
        stream_.TakeText(field_ != nullptr || (name_depth_ != 0 && depth_ == name_depth_));
    }

    XmlStream stream_;
    NumberReader numbers_;
    Pass pass_ = Pass::kTrack;

    // The track (`trk`, or `rte` on the second pass) being read: its number,
    // its name once read, and the marks its next point takes.
    int track_depth_ = 0;  // 0 outside tracks
    std::uint32_t tracks_ = 0;
    std::string name_;
    bool name_cut_ = false;  // the name was cut: no more of it is kept
    int name_depth_ = 0;     // of the open `name` of the track; 0 outside it
    int depth_ = 0;          // of the innermost open element
    bool begin_track_ = false;
    bool begin_segment_ = false;

    int point_depth_ = 0;  // of the open point; 0 outside points
    int extensions_depth_ = 0;
    const FieldKind* field_ = nullptr;
    bool field_foreign_ = false;  // a value of another schema: passed over when unreadable
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
        point_depth_ = field_depth_ = extensions_depth_ = track_depth_ = 0;
        field_ = nullptr;
        tracks_ = 0;
        name_depth_ = 0;
        stream_.TakeText(false);
    }
}

void GpxReader::Parse::Start(const XmlName& name, const XmlAttributes& attributes, int depth) {
    Open(name, attributes, depth);
    TakeTextWhereWanted();
}

void GpxReader::Parse::Open(const XmlName& name, const XmlAttributes& attributes, int depth) {
    const Space space = SpaceOf(name.space);
    const std::string_view local = name.local;
    depth_ = depth;
    if (depth == 1) {
        if (space != Space::kGpx || local != "gpx") {
            stream_.Stop("not a GPX file: the root element is " + std::string(local) + ", not gpx");
        }
        return;
    }
    if (point_depth_ == 0) {
        if (space != Space::kGpx) {
            return;
        }
        const bool tracks = pass_ == Pass::kTrack;
        if (depth == 2 && local == (tracks ? "trk" : "rte")) {
            track_depth_ = depth;
            ++tracks_;
            name_.clear();
            begin_track_ = true;
        } else if (track_depth_ != 0 && depth == track_depth_ + 1 && local == "name") {
            name_depth_ = depth;
            name_.clear();
            name_cut_ = false;
        } else if (tracks && track_depth_ != 0 && depth == track_depth_ + 1 && local == "trkseg") {
            begin_segment_ = true;
        } else if (local == "trkpt") {
            saw_track_point_ = true;
            if (tracks) {
                BeginPoint(attributes, depth);
            }
        } else if (local == "rtept") {
            saw_route_point_ = true;
            if (!tracks) {
                BeginPoint(attributes, depth);
            }
        }
        return;
    }
    if (field_ != nullptr) {
        return;  // markup inside a field is no part of it
    }
    const int below = depth - point_depth_;
    if (space == Space::kGpx && below == 1 && local == "extensions") {
        extensions_depth_ = depth;
        return;
    }
    field_ = FieldOf(space, local, below, extensions_depth_ != 0);
    if (field_ != nullptr) {
        field_foreign_ = field_ == &kPower && space != Space::kPowerExtension;
        field_depth_ = depth;
        field_where_ = stream_.Here();
        text_size_ = 0;
        text_overflow_ = false;
    }
}

void GpxReader::Parse::End(int depth) {
    depth_ = depth - 1;
    if (field_ != nullptr && depth == field_depth_) {
        EndField();
    } else if (point_depth_ != 0 && depth == point_depth_) {
        EndPoint();
    } else if (depth == extensions_depth_) {
        extensions_depth_ = 0;
    } else if (depth == name_depth_) {
        EndName();
    } else if (depth == track_depth_) {
        track_depth_ = 0;
    }
    TakeTextWhereWanted();
}

void GpxReader::Parse::Text(std::string_view text) {
    if (name_depth_ != 0 && depth_ == name_depth_) {
        // A name longer than any label needs is cut, between characters,
        // once: the same name however its text comes in pieces.
        if (name_cut_) {
            return;
        }
        std::size_t taken = text.size();
        if (taken > kMaxName - name_.size()) {
            taken = kMaxName - name_.size();
            while (taken > 0 && (text[taken] & 0xC0) == 0x80) {
                --taken;
            }
            name_cut_ = true;
        }
        name_.append(text.data(), taken);
        return;
    }
    if (field_ == nullptr) {
        return;
    }
    const std::size_t room = kTextCapacity - text_size_;
    const std::size_t taken = text.size() < room ? text.size() : room;
    std::memcpy(text_ + text_size_, text.data(), taken);
    text_size_ += taken;
    text_overflow_ = text_overflow_ || taken < text.size();
}

void GpxReader::Parse::EndName() {
    name_depth_ = 0;
    const std::string_view trimmed = TrimXmlSpace(name_);
    name_ = std::string(trimmed);
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
            has_latitude = numbers_.Read(attribute.value, latitude);
        } else if (attribute.name.local == "lon") {
            has_longitude = numbers_.Read(attribute.value, longitude);
        }
    }
    // NaN fails both comparisons.
    position_ok_ = has_latitude && has_longitude && std::fabs(latitude) <= 90.0 &&
                   std::fabs(longitude) <= 180.0;
    point_.SetPosition(latitude, longitude);
}

void GpxReader::Parse::EndField() {
    const FieldKind& field = *field_;
    field_ = nullptr;
    text_[text_size_] = '\0';
    const std::string_view text = TrimXmlSpace(std::string_view(text_, text_size_));
    if (text.empty() && !text_overflow_) {
        return;
    }
    const std::string_view name = field.element;
    if (field.field == track::kTime) {
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        if (text_overflow_ || !ParseIsoTime(text.data(), text.size(), seconds, nanoseconds)) {
            stream_.Stop("time is not a date and time: \"" + std::string(text) +
                             (text_overflow_ ? "...\"" : "\""),
                         field_where_);
            return;
        }
        if (track::KeepsTime(seconds)) {
            point_.SetTime(track::Instant::FromNanoseconds(
                seconds * track::Instant::kNanosecondsPerSecond + nanoseconds));
        } else {
            ++time_out_of_range_;
        }
        return;
    }
    double value = 0.0;
    const char* problem = nullptr;
    if (text_overflow_ || !numbers_.Read(text, value) || !std::isfinite(value)) {
        problem = " is not a number: \"";
    } else if (field.field == track::kElevation && !std::isfinite(track::FeetFromMeters(value))) {
        // Near the largest double, metres make more feet than a double holds.
        problem = " is out of range: \"";
    }
    if (problem == nullptr) {
        point_.Set(field.field, value);
    } else if (!field_foreign_) {
        stream_.Stop(
            std::string(name) + problem + std::string(text) + (text_overflow_ ? "...\"" : "\""),
            field_where_);
    }
}

void GpxReader::Parse::EndPoint() {
    point_depth_ = 0;
    extensions_depth_ = 0;
    if (!position_ok_) {
        ++without_position_;
        return;
    }
    point_.tag = ++count_;
    point_.track = tracks_ > 0 ? tracks_ - 1 : 0;
    if (begin_track_ || count_ == 1) {
        point_.begins_track = point_.begins_segment = true;
        // A name still open (the file is not GPX) as far as it goes.
        point_.track_name = TrimXmlSpace(name_);
    } else {
        point_.begins_segment = begin_segment_;
    }
    begin_track_ = begin_segment_ = false;
    ready_ = true;
    // Hand the point out before the stream goes on.
    stream_.Pause();
}

std::vector<Tally> GpxReader::Parse::Tallies() const {
    return {
        {without_position_, "point without a valid latitude and longitude was skipped",
         "points without a valid latitude and longitude were skipped", true},
        TimeNotKept(time_out_of_range_),
        {pass_ == Pass::kRoute ? count_ : 0, "route point was read as the track",
         "route points were read as the track", false},
    };
}

GpxReader::GpxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine)
    : Reader(Format(&kGpxFormat), *file),
      file_(std::move(file)),
      parse_(std::make_unique<Parse>(*file_, engine)) {}

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
