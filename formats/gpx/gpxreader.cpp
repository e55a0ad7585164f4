#include "gpxreader.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/track/units.h"

namespace formats {
namespace {

constexpr std::size_t kMaxName = 1024;  // bytes of a track's name that are kept

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

}  // namespace

// A field of a point: the element that holds it and the model's value.
struct GpxField {
    std::string_view element;
    track::Field field;
};

namespace {

const GpxField kElevation{"ele", track::kElevation};
const GpxField kTime{"time", track::kTime};
const GpxField kSpeed{"speed", track::kSpeed};
const GpxField kCourse{"course", track::kCourse};
const GpxField kHeartRate{"hr", track::kHeartRate};
const GpxField kCadence{"cad", track::kCadence};
const GpxField kTemperature{"atemp", track::kTemperature};
const GpxField kPower{"power", track::kPower};
const GpxField kPowerInWatts{"PowerInWatts", track::kPower};

// The kind among `kinds` named `local`; null for none.
template <std::size_t N>
const GpxField* Named(std::string_view local, const GpxField* const (&kinds)[N]) {
    for (const GpxField* kind : kinds) {
        // The first letter sorts out all but one without a comparison.
        if (!local.empty() && local[0] == kind->element[0] && local == kind->element) {
            return kind;
        }
    }
    return nullptr;
}

// The field of an element of a point at `depth` below it (1 for a child);
// null for none.
const GpxField* FieldOf(Space space, std::string_view local, int depth, bool in_extensions) {
    // GPX 1.0 has speed and course of its own.
    static const GpxField* const kGpxFields[] = {&kElevation, &kTime, &kSpeed, &kCourse};
    static const GpxField* const kExtensionFields[] = {&kSpeed, &kCourse, &kHeartRate, &kCadence,
                                                       &kTemperature};
    if (space == Space::kGpx && depth == 1) {
        return Named(local, kGpxFields);
    }
    if (space == Space::kTrackPointExtension) {
        if (const GpxField* kind = Named(local, kExtensionFields)) {
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

GpxReader::GpxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine)
    : XmlReader(Format(&kGpxFormat), std::move(file), engine) {
    Stream().TakeText(false);
}

bool GpxReader::ReadAgain() {
    // No track points, but routes: the file is read again for those.
    if (pass_ == Pass::kRoute || saw_track_point_ || !saw_route_point_ ||
        !Stream().Restart("the file has routes only, and reading it again for them failed")) {
        return false;
    }
    pass_ = Pass::kRoute;
    point_depth_ = field_depth_ = extensions_depth_ = track_depth_ = 0;
    field_ = nullptr;
    tracks_ = 0;
    name_depth_ = 0;
    Stream().TakeText(false);
    return true;
}

void GpxReader::Start(const XmlName& name, const XmlAttributes& attributes, int depth) {
    Open(name, attributes, depth);
    TakeTextWhereWanted();
}

void GpxReader::Open(const XmlName& name, const XmlAttributes& attributes, int depth) {
    const Space space = SpaceOf(name.space);
    const std::string_view local = name.local;
    depth_ = depth;
    if (depth == 1) {
        if (space != Space::kGpx || local != "gpx") {
            Stream().Stop("not a GPX file: the root element is " + std::string(local) +
                          ", not gpx");
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
        text_.Begin(Stream().Here());
    }
}

void GpxReader::End(int depth) {
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

void GpxReader::Text(std::string_view text) {
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
    if (field_ != nullptr) {
        text_.Add(text);
    }
}

void GpxReader::EndName() {
    name_depth_ = 0;
    const std::string_view trimmed = TrimXmlSpace(name_);
    name_ = std::string(trimmed);
}

void GpxReader::BeginPoint(const XmlAttributes& attributes, int depth) {
    point_depth_ = depth;
    track::Point& point = Made();
    point.Reset();
    bool has_latitude = false;
    bool has_longitude = false;
    double latitude = 0.0;
    double longitude = 0.0;
    for (const XmlAttribute& attribute : attributes) {
        if (!attribute.name.space.empty()) {
            continue;
        }
        if (attribute.name.local == "lat") {
            has_latitude = Numbers().Read(attribute.value, latitude);
        } else if (attribute.name.local == "lon") {
            has_longitude = Numbers().Read(attribute.value, longitude);
        }
    }
    // NaN fails both comparisons.
    position_ok_ = has_latitude && has_longitude && std::fabs(latitude) <= 90.0 &&
                   std::fabs(longitude) <= 180.0;
    point.SetPosition(latitude, longitude);
}

void GpxReader::EndField() {
    const GpxField& field = *field_;
    field_ = nullptr;
    if (text_.Empty()) {
        return;
    }
    if (field.field == track::kTime) {
        TakeTime(text_, field.element, time_out_of_range_);
        return;
    }
    double value = 0.0;
    const char* problem = nullptr;
    if (!ReadNumber(text_, value)) {
        problem = " is not a number: ";
    } else if (field.field == track::kElevation && !std::isfinite(track::FeetFromMeters(value))) {
        // Near the largest double, metres make more feet than a double holds.
        problem = " is out of range: ";
    }
    if (problem == nullptr) {
        Made().Set(field.field, value);
    } else if (!field_foreign_) {
        StopAt(text_, field.element, problem);
    }
}

void GpxReader::EndPoint() {
    point_depth_ = 0;
    extensions_depth_ = 0;
    if (!position_ok_) {
        ++without_position_;
        return;
    }
    track::Point& point = Made();
    point.tag = ++count_;
    point.track = tracks_ > 0 ? tracks_ - 1 : 0;
    if (begin_track_ || count_ == 1) {
        point.begins_track = point.begins_segment = true;
        // A name still open (the file is not GPX) as far as it goes.
        point.track_name = TrimXmlSpace(name_);
    } else {
        point.begins_segment = begin_segment_;
    }
    begin_track_ = begin_segment_ = false;
    HandOut();
}

std::vector<Tally> GpxReader::Tallies() const {
    return {
        {without_position_, "point without a valid latitude and longitude was skipped",
         "points without a valid latitude and longitude were skipped", true},
        TimeNotKept(time_out_of_range_),
        {pass_ == Pass::kRoute ? count_ : 0, "route point was read as the track",
         "route points were read as the track", false},
    };
}

}  // namespace formats
