#include "kmlreader.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "row.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/formats/timetext.h"

namespace formats {
namespace {

constexpr std::size_t kMaxName = 1024;
constexpr std::size_t kMaxTuple = 256;  // bytes of one tuple; a longer one is none

}  // namespace

KmlReader::KmlReader(std::unique_ptr<io::InputFile> file, XmlEngine engine)
    : XmlReader(Format(&kKmlFormat), std::move(file), engine) {
    Stream().TakeText(false);
}

bool KmlReader::Next(track::Point& point) {
    if (queued_next_ < queue_.size()) {
        point = queue_[queued_next_++];
        CountOut();
        return true;
    }
    queue_.clear();
    queued_next_ = 0;
    return XmlReader::Next(point);
}

void KmlReader::Start(const XmlName& name, const XmlAttributes& /*attributes*/, int depth) {
    depth_ = depth;
    const std::string_view local = name.local;
    if (depth == 1) {
        if (local != "kml") {
            Stream().Stop("not a KML file: the root element is " + std::string(local) +
                          ", not kml");
        }
        return;
    }
    if (field_ != Field::kNone) {
        return;
    }
    if (local == "Placemark") {
        placemark_depth_ = depth;
        name_.clear();
        track_begun_ = false;
        has_stamp_ = false;
    } else if (placemark_depth_ == 0) {
        return;
    } else if (local == "name" && depth == placemark_depth_ + 1) {
        field_ = Field::kName;
    } else if (local == "LineString") {
        line_depth_ = depth;
        begin_segment_ = true;
    } else if (local == "Point") {
        point_depth_ = depth;
    } else if (local == "Track") {
        gx_track_depth_ = depth;
        begin_segment_ = true;
        whens_.reset();
        whens_waiting_ = 0;
        whens_reading_ = false;
    } else if (local == "coordinates" && (line_depth_ != 0 || point_depth_ != 0)) {
        field_ = Field::kCoordinates;
        carry_.clear();
    } else if (local == "when") {
        field_ = Field::kWhen;  // of the gx:Track, or of a TimeStamp
    } else if (local == "coord" && gx_track_depth_ != 0) {
        field_ = Field::kCoord;
    }
    if (field_ != Field::kNone) {
        field_depth_ = depth;
        text_.Begin(Stream().Here());
        Stream().TakeText(true);
    }
}

void KmlReader::Text(std::string_view text) {
    switch (field_) {
        case Field::kName:
            if (name_.size() < kMaxName) {
                std::size_t taken = std::min(text.size(), kMaxName - name_.size());
                while (taken < text.size() && taken > 0 && (text[taken] & 0xC0) == 0x80) {
                    --taken;
                }
                name_.append(text.data(), taken);
            }
            break;
        case Field::kCoordinates:
            TakeTuples(text, false);
            break;
        case Field::kWhen:
        case Field::kCoord:
            text_.Add(text);
            break;
        case Field::kNone:
            break;
    }
}

void KmlReader::End(int depth) {
    depth_ = depth - 1;
    if (field_ != Field::kNone && depth == field_depth_) {
        const Field field = field_;
        field_ = Field::kNone;
        Stream().TakeText(false);
        if (field == Field::kName) {
            name_ = std::string(TrimXmlSpace(name_));
        } else if (field == Field::kCoordinates) {
            TakeTuples({}, true);
        } else if (field == Field::kWhen) {
            EndWhen();
        } else {
            EndCoord();
        }
        return;
    }
    if (depth == gx_track_depth_) {
        gx_track_depth_ = 0;
        whens_.reset();
    } else if (depth == line_depth_) {
        line_depth_ = 0;
    } else if (depth == point_depth_) {
        point_depth_ = 0;
    } else if (depth == placemark_depth_) {
        placemark_depth_ = line_depth_ = point_depth_ = gx_track_depth_ = 0;
    }
}

bool KmlReader::Tuple(std::string_view tuple, char separator, track::Point& point) {
    point.Reset();
    double values[3] = {};
    std::size_t count = 0;
    while (count < 3) {
        const std::size_t end = tuple.find(separator);
        const std::string_view part = TrimXmlSpace(tuple.substr(0, end));
        if (!Numbers().Read(part, values[count]) || !std::isfinite(values[count])) {
            return false;
        }
        ++count;
        if (end == std::string_view::npos) {
            break;
        }
        tuple.remove_prefix(end + 1);
        if (count == 3) {
            return false;  // more than three values
        }
    }
    if (count < 2 || std::fabs(values[1]) > 90.0 || std::fabs(values[0]) > 180.0) {
        return false;
    }
    point.SetPosition(values[1], values[0]);
    if (count == 3) {
        point.Set(track::kElevation, values[2]);
    }
    return true;
}

void KmlReader::Queue(track::Point& point) {
    if (point_depth_ != 0 && line_depth_ == 0) {
        point.kind = track::Kind::kWaypoint;
        point.texts.Set(track::Text::kName, name_);
        if (has_stamp_) {
            point.SetTime(stamp_);
        }
    } else {
        if (!track_begun_) {
            track_begun_ = true;
            ++tracks_;
            point.begins_track = true;
            point.track_name = name_;
        }
        point.track = tracks_ - 1;
        point.begins_segment = begin_segment_ || point.begins_track;
        begin_segment_ = false;
    }
    if (queue_.empty() && queued_next_ == 0) {
        // The first point of a piece goes out through the stream's pause.
        queue_.push_back(point);
        queued_next_ = 1;
        Made() = point;
        HandOut();
        return;
    }
    queue_.push_back(point);
}

void KmlReader::TakeTuples(std::string_view text, bool last) {
    track::Point point;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool at_end = i == text.size();
        if (!at_end && !IsXmlSpace(text[i])) {
            continue;
        }
        if (at_end && !last) {
            const std::string_view rest = text.substr(start);
            if (carry_.size() + rest.size() <= kMaxTuple) {
                carry_.append(rest);
            } else {
                carry_.assign(kMaxTuple + 1, 'x');  // too long: no tuple
            }
            return;
        }
        std::string_view tuple = text.substr(start, i - start);
        if (!carry_.empty()) {
            carry_.append(tuple);
            tuple = carry_;
        }
        if (!tuple.empty()) {
            if (tuple.size() <= kMaxTuple && Tuple(tuple, ',', point)) {
                Queue(point);
            } else {
                ++without_position_;
            }
        }
        carry_.clear();
        start = i + 1;
    }
}

void KmlReader::EndWhen() {
    track::Point time;
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    const std::string_view text = text_.Text();
    if (text_.Cut() || !ParseIsoTime(text.data(), text.size(), seconds, nanoseconds)) {
        StopAt(text_, "when", " is not a date and time: ");
        return;
    }
    const bool kept = track::KeepsTime(seconds);
    time_out_of_range_ += kept ? 0 : 1;
    // A time outside the years kept would not fit in nanoseconds.
    const track::Instant instant =
        kept ? track::Instant::FromNanoseconds(seconds * track::Instant::kNanosecondsPerSecond +
                                               nanoseconds)
             : track::Instant();
    if (gx_track_depth_ == 0) {
        has_stamp_ = kept;
        stamp_ = instant;
        return;
    }
    if (whens_reading_) {
        return;  // a time after the positions began pairs with none
    }
    if (!whens_) {
        whens_ = std::make_unique<PointSpool>();
        if (!whens_->Open()) {
            Stream().Stop(whens_->ErrorText());
            return;
        }
    }
    if (kept) {
        time.SetTime(instant);
    }
    if (!whens_->Add(time)) {
        Stream().Stop(whens_->ErrorText());
    }
    ++whens_waiting_;
}

void KmlReader::EndCoord() {
    track::Point point;
    const bool position = !text_.Cut() && Tuple(text_.Text(), ' ', point);
    track::Point time;
    if (whens_waiting_ > 0) {
        if (!whens_reading_) {
            whens_reading_ = true;
            if (!whens_->StartReading()) {
                Stream().Stop(whens_->ErrorText());
                return;
            }
        }
        if (whens_->Next(time)) {
            --whens_waiting_;
        }
    }
    if (!position) {
        ++without_position_;
        return;
    }
    if (time.Has(track::kTime)) {
        point.SetTime(time.time);
    }
    Queue(point);
}

std::vector<Tally> KmlReader::Tallies() const {
    return {
        {without_position_, "tuple without a valid longitude and latitude was skipped",
         "tuples without a valid longitude and latitude were skipped", true},
        TimeNotKept(time_out_of_range_),
    };
}

}  // namespace formats
