#include "plot.h"

#include <algorithm>
#include <cmath>

#include "reportunits.h"
#include "tracktools/geodesy/CPolarCoordinate.h"

namespace trackinfo {
namespace {

void Widen(Range& range, double value, bool first) {
    range.low = first ? value : std::min(range.low, value);
    range.high = first ? value : std::max(range.high, value);
}

}  // namespace

double Unwrapper::Next(double longitude) {
    if (!started_) {
        started_ = true;
        unwrapped_ = longitude;
    } else {
        unwrapped_ += std::remainder(longitude - raw_, 360.0);
    }
    raw_ = longitude;
    return unwrapped_;
}

std::vector<std::vector<PlotPoint>> Lines(const std::vector<PlotPoint>& points) {
    std::vector<std::vector<PlotPoint>> lines;
    for (const PlotPoint& point : points) {
        if (point.begins || lines.empty()) {
            lines.emplace_back();
        }
        lines.back().push_back(point);
    }
    return lines;
}

void TrackExtents::Add(const track::Point& point) {
    if (Fix::Of(point).HasPlace()) {
        const bool first = places_ == 0;
        Widen(north_south_, point.latitude, first);
        Widen(east_west_, unwrapper_.Next(point.longitude), first);
        latitude_sum_ += point.latitude;
        ++places_;
        if (point.kind == track::Kind::kWaypoint && waypoint_names_.size() < kMostWaypointMarkers) {
            waypoint_names_.emplace_back(point.texts.Get(track::Text::kName));
        }
    }
    if (point.Has(track::kTime) && point.kind == track::Kind::kTrack) {
        const double seconds = static_cast<double>(point.time.Nanoseconds()) / 1e9;
        if (!times_) {
            times_ = Range{seconds, seconds};
        }
        Widen(*times_, seconds, false);
    }
}

double TrackExtents::MeanLatitude() const {
    return places_ == 0 ? 0.0 : latitude_sum_ / static_cast<double>(places_);
}

void PathReducer::Reset(double x0, double y0, double cell) {
    x0_ = x0;
    y0_ = y0;
    cell_ = cell > 0.0 && std::isfinite(cell) ? cell : 1.0;
    kept_.clear();
    kept_.reserve(2 * kBudget);
    last_.reset();
}

void PathReducer::Add(PlotPoint point) {
    point.begins = point.begins || !last_;
    // Lines that end and begin within one cell are joined there: at the
    // scale of the cells that is no line across the map, and a track of
    // many breaks stays within the budget.
    if (point.begins && last_ && !kept_.empty() && !SameCell(*last_, kept_.back())) {
        kept_.push_back(*last_);  // the end of the line before
        kept_.back().begins = false;
    }
    last_ = point;
    if (!kept_.empty() && SameCell(point, kept_.back())) {
        return;
    }
    kept_.push_back(point);
    while (kept_.size() >= 2 * kBudget) {
        cell_ *= 2.0;
        Thin();
    }
}

std::int64_t PathReducer::CellX(double x) const {
    return static_cast<std::int64_t>(std::floor((x - x0_) / cell_));
}

std::int64_t PathReducer::CellY(double y) const {
    return static_cast<std::int64_t>(std::floor((y - y0_) / cell_));
}

bool PathReducer::SameCell(const PlotPoint& a, const PlotPoint& b) const {
    return CellX(a.x) == CellX(b.x) && CellY(a.y) == CellY(b.y);
}

void PathReducer::Thin() {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < kept_.size(); ++k) {
        if (kept == 0 || !SameCell(kept_[k], kept_[kept - 1])) {
            kept_[kept++] = kept_[k];
        }
    }
    kept_.resize(kept);
}

std::vector<PlotPoint> PathReducer::Points() const {
    std::vector<PlotPoint> points = kept_;
    if (last_ && (points.empty() || points.back().x != last_->x || points.back().y != last_->y ||
                  points.back().begins != last_->begins)) {
        points.push_back(*last_);
    }
    return points;
}

void ColumnEnvelope::Reset(double x_low, double x_high) {
    x_low_ = x_low;
    x_high_ = x_high;
    count_ = 0;
    broken_ = true;
    columns_.fill(Column{});
}

void ColumnEnvelope::Add(double x, double value) {
    const double span = x_high_ - x_low_;
    const double at = span > 0.0 ? (x - x_low_) / span * kColumns : 0.0;
    const int index =
        std::clamp(static_cast<int>(std::clamp(at, 0.0, double{kColumns})), 0, kColumns - 1);
    Column& column = columns_[index];
    if (!column.used) {
        column = Column{true, value, value, true, broken_};
    } else if (value < column.low) {
        column.low = value;
        column.low_first = false;
    } else if (value > column.high) {
        column.high = value;
        column.low_first = true;
    }
    column.begins = column.begins || broken_;
    broken_ = false;
    Widen(values_, value, count_ == 0);
    ++count_;
}

double ColumnEnvelope::Middle(int column) const {
    return x_low_ + (x_high_ - x_low_) * (column + 0.5) / kColumns;
}

TrackDrawing::TrackDrawing(const TrackExtents& extents, const Figures& figures,
                           const Settings& settings)
    : settings_(settings), waypoint_names_(extents.WaypointNames()) {
    constexpr double kRadiansPerDegree = 3.141592653589793 / 180.0;
    longitude_scale_ = std::cos(extents.MeanLatitude() * kRadiansPerDegree);
    const double width = (extents.EastWest().high - extents.EastWest().low) * longitude_scale_;
    const double height = extents.NorthSouth().high - extents.NorthSouth().low;
    // About a pixel of a picture a thousand pixels wide.
    const double x0 = extents.EastWest().low * longitude_scale_;
    path_.Reset(x0, extents.NorthSouth().low, std::max(width, height) / 1000.0);
    routes_.Reset(x0, extents.NorthSouth().low, std::max(width, height) / 1000.0);
    stops_.reserve(kMostStopMarkers);
    waypoints_.reserve(waypoint_names_.size());
    for (ColumnEnvelope* profile : {&elevation_, &heart_rate_, &cadence_, &power_}) {
        profile->Reset(0.0, figures.metres);
    }
    const std::optional<Range>& times = extents.Times();
    speeds_.Reset(times ? times->low : 0.0, times ? times->high : 0.0);
}

PlotPoint TrackDrawing::Project(const track::Point& point) {
    return PlotPoint{unwrapper_.Next(point.longitude) * longitude_scale_, point.latitude};
}

void TrackDrawing::BreakProfiles() {
    for (ColumnEnvelope* profile : {&elevation_, &heart_rate_, &cadence_, &power_, &speeds_}) {
        profile->Break();
    }
}

void TrackDrawing::Add(const track::Point& point) {
    if (point.kind == track::Kind::kTrack) {
        AddTrackPoint(point);
        return;
    }
    if (point.kind == track::Kind::kRoute && point.begins_track) {
        ++route_count_;
        route_begins_ = true;
    }
    if (!Fix::Of(point).HasPlace()) {
        return;
    }
    PlotPoint place = Project(point);
    if (point.kind == track::Kind::kRoute) {
        place.begins = route_begins_;
        route_begins_ = false;
        routes_.Add(place);
    } else if (++waypoint_count_ <= waypoint_names_.size()) {
        waypoints_.push_back(Marker{place, waypoint_names_[waypoints_.size()]});
    }
}

void TrackDrawing::AddTrackPoint(const track::Point& point) {
    const Fix fix = Fix::Of(point);
    bool begins = !started_ || point.begins_segment || point.begins_track;
    if (begins) {
        gap_from_.reset();
    }
    if (started_ && !begins) {
        TrackLeg leg = MeasureTrackLeg(distances_, previous_, fix);
        track::Instant from_time = previous_.time;
        // Along the track as the summary measures it: across points without
        // a position from the last place, else by the device's count.
        if (gap_from_ && fix.HasPlace() && !previous_.Has(track::kPosition)) {
            leg = MeasureTrackLeg(distances_, *gap_from_, fix);
            from_time = gap_from_->time;
        } else if (!previous_.Has(track::kPosition) && !fix.Has(track::kPosition) &&
                   previous_.Has(track::kDistance) && fix.Has(track::kDistance) && !gap_from_ &&
                   fix.distance >= previous_.distance) {
            leg.metres = fix.distance - previous_.distance;
        }
        const bool measured = std::isfinite(leg.metres);
        const bool forward = leg.timed && leg.seconds > 0.0 && measured;
        const double speed = forward ? leg.metres / leg.seconds : 0.0;
        const bool jump = speed > kJumpMetresPerSecond;
        if (measured && !jump) {
            along_ += leg.metres;
        }
        if (forward && !jump) {
            const double halfway =
                static_cast<double>(from_time.Nanoseconds()) / 1e9 + leg.seconds / 2.0;
            speeds_.Add(halfway, speed);
        } else {
            ++legs_not_drawn_;
            speeds_.Break();
        }
        // A stop: legs of a known length that take no time or are not moving.
        if (leg.timed && leg.seconds >= 0.0 && measured && !jump &&
            !(forward && speed > settings_.stop_metres_per_second)) {
            if (!stop_at_) {
                stop_at_ = previous_place_;
                stop_seconds_ = 0.0;
            }
            stop_seconds_ += leg.seconds;
        } else {
            EndStop();
        }
        begins = jump;
    } else if (started_) {
        EndStop();
    }
    if (begins) {
        BreakProfiles();
    }
    std::optional<PlotPoint> place;
    if (fix.HasPlace()) {
        place = Project(point);
        place->begins = begins;
        path_.Add(*place);
        if (!start_) {
            start_ = place;
        }
        end_ = place;
    } else {
        ++without_place_;
    }
    if (point.Has(track::kElevation) && std::isfinite(point.elevation)) {
        elevation_.Add(along_, point.elevation);
    } else {
        ++without_altitude_;
    }
    const std::pair<track::Field, ColumnEnvelope*> sensors[] = {
        {track::kHeartRate, &heart_rate_}, {track::kCadence, &cadence_}, {track::kPower, &power_}};
    for (const auto& [field, profile] : sensors) {
        if (point.Has(field) && std::isfinite(point.Get(field))) {
            profile->Add(along_, point.Get(field));
        }
    }
    started_ = true;
    previous_ = fix;
    previous_place_ = place;
    if (fix.HasPlace()) {
        gap_from_ = fix;
    } else if (fix.Has(track::kPosition)) {
        gap_from_.reset();
    }
}

void TrackDrawing::EndStop() {
    if (stop_at_ && stop_seconds_ >= kStopMarkerSeconds) {
        ++stop_count_;
        if (stops_.size() < kMostStopMarkers) {
            stops_.push_back(*stop_at_);
        }
    }
    stop_at_.reset();
}

void TrackDrawing::Finish() {
    EndStop();
}

}  // namespace trackinfo
