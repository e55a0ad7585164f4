#include "gpxreader.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/track/sport.h"
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
            // An app's own activity tag in the track's extensions
            // (<trk><extensions><x:activity>) names the sport where no
            // `type` does.
            if (track_depth_ != 0 && !in_route_ && depth == track_depth_ + 2 &&
                local == "activity" && sport_ == track::kUnknownSport) {
                BeginCollecting(Collect::kTrackType, depth);
            }
            return;
        }
        if (depth == 2 && (local == "trk" || local == "rte")) {
            track_depth_ = depth;
            in_route_ = local == "rte";
            ++tracks_;
            name_.clear();
            sport_ = track::kUnknownSport;
            begin_track_ = true;
            sport_pending_ = true;
        } else if (depth == 2 && local == "wpt") {
            BeginPoint(attributes, depth, track::Kind::kWaypoint);
        } else if (track_depth_ != 0 && depth == track_depth_ + 1 && local == "name") {
            BeginCollecting(Collect::kTrackName, depth);
        } else if (track_depth_ != 0 && depth == track_depth_ + 1 && local == "type") {
            BeginCollecting(Collect::kTrackType, depth);
        } else if (!in_route_ && track_depth_ != 0 && depth == track_depth_ + 1 &&
                   local == "trkseg") {
            begin_segment_ = true;
        } else if (local == "trkpt") {
            BeginPoint(attributes, depth, track::Kind::kTrack);
        } else if (local == "rtept") {
            BeginPoint(attributes, depth, track::Kind::kRoute);
        }
        return;
    }
    if (collect_ == Collect::kPointText) {
        return;  // markup inside a text is no part of it
    }
    if (field_ != nullptr) {
        return;  // markup inside a field is no part of it
    }
    const int below = depth - point_depth_;
    if (space == Space::kGpx && below == 1 && local == "extensions") {
        extensions_depth_ = depth;
        return;
    }
    if (space == Space::kGpx && below == 1) {
        static const struct {
            std::string_view element;
            track::Text text;
        } kTexts[] = {{"name", track::Text::kName},   {"desc", track::Text::kDescription},
                      {"cmt", track::Text::kComment}, {"sym", track::Text::kSymbol},
                      {"type", track::Text::kType},   {"url", track::Text::kLink}};
        for (const auto& text : kTexts) {
            if (local == text.element) {
                point_text_ = text.text;
                BeginCollecting(Collect::kPointText, depth);
                return;
            }
        }
        if (local == "link") {
            for (const XmlAttribute& attribute : attributes) {
                if (attribute.name.space.empty() && attribute.name.local == "href") {
                    Made().texts.Set(track::Text::kLink,
                                     TrimXmlSpace(attribute.value.substr(
                                         0, std::min(attribute.value.size(), kMaxName))));
                }
            }
            return;
        }
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
    } else if (depth == collect_depth_) {
        EndCollected();
    } else if (depth == track_depth_) {
        track_depth_ = 0;
    }
    TakeTextWhereWanted();
}

void GpxReader::Text(std::string_view text) {
    if (collect_depth_ != 0 && depth_ == collect_depth_) {
        // A text longer than any label needs is cut, between characters,
        // once: the same text however it comes in pieces.
        if (collected_cut_) {
            return;
        }
        std::size_t taken = text.size();
        if (taken > kMaxName - collected_.size()) {
            taken = kMaxName - collected_.size();
            while (taken > 0 && (text[taken] & 0xC0) == 0x80) {
                --taken;
            }
            collected_cut_ = true;
        }
        collected_.append(text.data(), taken);
        return;
    }
    if (field_ != nullptr) {
        text_.Add(text);
    }
}

void GpxReader::BeginCollecting(Collect what, int depth) {
    collect_ = what;
    collect_depth_ = depth;
    collected_.clear();
    collected_cut_ = false;
}

void GpxReader::EndCollected() {
    collect_depth_ = 0;
    const std::string_view trimmed = TrimXmlSpace(collected_);
    switch (collect_) {
        case Collect::kTrackName:
            name_ = std::string(trimmed);
            break;
        case Collect::kTrackType:
            sport_ = in_route_ ? track::kUnknownSport : track::SportNamed(trimmed);
            break;
        case Collect::kPointText:
            Made().texts.Set(point_text_, trimmed);
            break;
        case Collect::kNone:
            break;
    }
    collect_ = Collect::kNone;
}

void GpxReader::BeginPoint(const XmlAttributes& attributes, int depth, track::Kind kind) {
    point_depth_ = depth;
    track::Point& point = Made();
    point.Reset();
    point.kind = kind;
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
    if (point.kind == track::Kind::kWaypoint) {
        HandOut();
        return;
    }
    // A point outside any track or route of its kind begins one of its own.
    if (point.kind != (in_route_ ? track::Kind::kRoute : track::Kind::kTrack) ||
        track_depth_ == 0) {
        begin_track_ = begin_track_ || point.kind != last_kind_ || !any_track_point_;
    }
    last_kind_ = point.kind;
    any_track_point_ = true;
    point.track = tracks_ > 0 ? tracks_ - 1 : 0;
    if (begin_track_) {
        point.begins_track = point.begins_segment = true;
        // A name still open (the file is not GPX) as far as it goes.
        point.track_name = collect_ == Collect::kTrackName ? TrimXmlSpace(collected_) : name_;
        if (sport_pending_ && sport_ != track::kUnknownSport) {
            point.begins_session = true;
            point.sport = sport_;
        }
        sport_pending_ = false;
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
    };
}

}  // namespace formats
