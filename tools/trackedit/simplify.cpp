#include "simplify.h"

#include <utility>

namespace trackedit {

Thinning::Thinning(const std::vector<Place>& places, double metres, double longest)
    : places_(places), tolerance2_(metres * metres), longest2_(longest * longest) {}

Simplify::Simplify(double metres, std::size_t window)
    : metres_(metres), window_size_(window < 2 ? 2 : window) {
    window_.reserve(window_size_);
    places_.reserve(window_size_);
    keep_.reserve(window_size_);
}

formats::Tally Simplify::Tally() const {
    return {Dropped(), "point was dropped in simplifying", "points were dropped in simplifying",
            true};
}

bool Simplify::Take(track::Point*& taken) {
    track::Point& point = *taken;
    // A place off the globe lies on no line: kept, as a point without one.
    const bool position = point.Has(track::kPosition) && OnGlobe(point.latitude, point.longitude);
    if (!window_.empty() && (!position || point.begins_segment || point.begins_track)) {
        if (!Flush(true)) {
            return false;
        }
    }
    if (!position) {
        return Pass(taken);
    }
    places_.push_back(Place::At(point.latitude, point.longitude));
    window_.push_back(std::move(point));
    return window_.size() < window_size_ || Flush(false);
}

bool Simplify::End() {
    return (window_.empty() || Flush(true)) && tools::Stage::End();
}

std::size_t Thinning::Mark(std::vector<char>& keep) const {
    const std::size_t count = places_.size();
    keep.assign(count, 0);
    if (count == 0) {
        return 0;
    }
    keep.front() = 1;
    for (std::size_t at = 0; at + 1 < count;) {
        at = Reach(at);
        keep[at] = 1;
    }
    Thin(keep);
    std::size_t kept = 0;
    for (const char mark : keep) {
        kept += mark != 0 ? 1 : 0;
    }
    return kept;
}

bool Thinning::Double(std::size_t from, std::size_t span, std::size_t& good,
                      std::size_t& bad) const {
    const std::size_t last = places_.size() - 1;
    for (;; span *= 2) {
        const std::size_t to = span < last - from ? from + span : last;
        if (!Covers(from, to)) {
            bad = to;
            return false;
        }
        good = to;
        if (to == last) {
            return true;
        }
    }
}

std::size_t Thinning::Reach(std::size_t from) const {
    // Tries this many points past the first line that does not cover, at
    // growing distances.
    constexpr int kLookAhead = 6;
    const std::size_t last = places_.size() - 1;
    std::size_t good = from + 1;
    std::size_t bad = 0;
    if (Double(from, 2, good, bad)) {
        return good;
    }
    while (true) {
        while (bad - good > 1) {
            const std::size_t middle = good + (bad - good) / 2;
            (Covers(from, middle) ? good : bad) = middle;
        }
        const std::size_t step = (good - from) / 8 + 1;
        bool further = false;
        for (int k = 0; k < kLookAhead && !further; ++k) {
            const std::size_t ahead = step << k;
            const std::size_t to = ahead < last - bad ? bad + ahead : last;
            further = Covers(from, to);
            if (further) {
                good = to;
            }
            if (to == last) {
                break;
            }
        }
        if (!further || good == last || Double(from, 2 * (good - from), good, bad)) {
            return good;
        }
    }
}

bool Thinning::Covers(std::size_t first, std::size_t last) const {
    const Line line(places_[first], places_[last]);
    if (last - first > 1 && line.SquaredLength() > longest2_) {
        return false;
    }
    for (std::size_t i = first + 1; i < last; ++i) {
        if (!line.Covers(places_[i], tolerance2_)) {
            return false;
        }
    }
    return true;
}

void Thinning::Thin(std::vector<char>& keep) const {
    // Each reach was the best from where it started, not for the whole: a
    // kept point goes again when the line between its kept neighbours
    // covers the points it stood for.
    const std::size_t count = places_.size();
    std::size_t before = 0;
    std::size_t at = 1;
    while (at + 1 < count) {
        if (keep[at] == 0) {
            ++at;
            continue;
        }
        std::size_t after = at + 1;
        while (keep[after] == 0) {
            ++after;
        }
        if (Covers(before, after)) {
            keep[at] = 0;
        } else {
            before = at;
        }
        at = after;
    }
}

bool Simplify::Flush(bool whole) {
    Thinning(places_, metres_, kLongestLine).Mark(keep_);
    const std::size_t passed = whole ? window_.size() : window_.size() - 1;
    for (std::size_t i = 0; i < passed; ++i) {
        if (keep_[i] == 0) {
            Drop(window_[i]);
        } else if (!PassOut(window_[i])) {
            return false;
        }
    }
    if (whole) {
        window_.clear();
        places_.clear();
    } else {
        window_.front() = std::move(window_.back());
        places_.front() = places_.back();
        window_.resize(1);
        places_.resize(1);
    }
    return true;
}

}  // namespace trackedit
