#include "route.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "simplify.h"

namespace trackedit {
namespace {

// At this tolerance every place lies within it of every line, for no two
// places on the ellipsoid are that far apart in a straight line.
constexpr double kFarthest = 16777216.0;

// Metres rounded up, so that "within" stays true: whole metres from 100 on,
// else to the centimetre without trailing zeros.
std::string RoundedUp(double metres) {
    char text[32];
    if (metres >= 100.0) {
        std::snprintf(text, sizeof text, "%.0f", std::ceil(metres));
        return text;
    }
    std::snprintf(text, sizeof text, "%.2f", std::ceil(metres * 100.0) / 100.0);
    std::string rounded = text;
    rounded.erase(rounded.find_last_not_of('0') + 1);
    if (rounded.back() == '.') {
        rounded.pop_back();
    }
    return rounded;
}

}  // namespace

bool Route::Take(track::Point*& taken) {
    track::Point& point = *taken;
    if (!held_.empty() && (point.begins_track || point.kind != kind_) && !Flush()) {
        return false;
    }
    if (!point.Has(track::kPosition) || !OnGlobe(point.latitude, point.longitude)) {
        ++without_position_;
        if (point.begins_track) {
            name_ = std::move(point.track_name);
        }
        return true;
    }
    if (held_.empty()) {
        kind_ = point.kind;
        tracks_ += point.kind == track::Kind::kTrack ? 1 : 0;
        if (!point.begins_track) {
            point.track_name = std::move(name_);
        }
        point.begins_track = point.begins_segment = true;
        name_.clear();
    } else {
        point.begins_segment = false;
    }
    point.kind = track::Kind::kRoute;
    places_.push_back(Place::At(point.latitude, point.longitude));
    held_.push_back(std::move(point));
    return true;
}

bool Route::End() {
    return (held_.empty() || Flush()) && tools::Stage::End();
}

bool Route::Search(const std::vector<Place>& places, double longest, double& metres) {
    const auto fits = [this, &places, longest](double tolerance) {
        return Thinning(places, tolerance, longest).Mark(keep_) <= most_;
    };
    metres = 0.0;
    if (fits(0.0)) {
        return true;
    }
    // Too many points at `low`, few enough at `high`.
    double low = 0.0;
    double high = 1.0;
    while (!fits(high)) {
        if (high >= kFarthest) {
            return false;
        }
        low = high;
        high *= 2.0;
    }
    while (high - low > std::max(0.005, 1e-3 * high)) {
        const double middle = (low + high) / 2.0;
        (fits(middle) ? high : low) = middle;
    }
    fits(high);
    metres = high;
    return true;
}

bool Route::Flush() {
    double metres = 0.0;
    if (held_.size() <= most_) {
        keep_.assign(held_.size(), 1);
    } else if (!Search(places_, Simplify::kLongestLine, metres)) {
        ++long_lines_;
        Search(places_, HUGE_VAL, metres);
    }
    widest_ = std::max(widest_, metres);
    // The points dropped hand on no marks: the first is always kept.
    for (std::size_t i = 0; i < held_.size(); ++i) {
        if (keep_[i] == 0) {
            ++dropped_;
        } else if (!PassOut(held_[i])) {
            return false;
        }
    }
    held_.clear();
    places_.clear();
    return true;
}

std::string Route::Line() const {
    if (dropped_ == 0) {
        return "";
    }
    return std::to_string(dropped_) + (dropped_ == 1 ? " point was" : " points were") +
           " dropped in making routes of at most " + std::to_string(most_) +
           " points, each within " + RoundedUp(widest_) + " m of the line kept.";
}

}  // namespace trackedit
