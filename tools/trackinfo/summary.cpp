#include "summary.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

#include "reportunits.h"

namespace trackinfo {
namespace {

void Widen(std::optional<Range>& range, double low, double high) {
    if (!range) {
        range = Range{low, high};
    } else {
        range->low = std::min(range->low, low);
        range->high = std::max(range->high, high);
    }
}

void Widen(std::optional<Range>& range, const std::optional<Range>& other) {
    if (other) {
        Widen(range, other->low, other->high);
    }
}

// The values held in a double, with their members (Point::Get picks the
// member at run time; these are read for every point).
struct Member {
    track::Field field;
    double track::Point::*value;
};
constexpr Member kValues[] = {
    {track::kElevation, &track::Point::elevation},
    {track::kSpeed, &track::Point::speed},
    {track::kCourse, &track::Point::course},
    {track::kHeartRate, &track::Point::heart_rate},
    {track::kCadence, &track::Point::cadence},
    {track::kPower, &track::Point::power},
    {track::kTemperature, &track::Point::temperature},
    {track::kDistance, &track::Point::distance},
};

// Every value the point carries is a finite number.
bool Finite(const track::Point& point) {
    if (point.Has(track::kPosition) &&
        !(std::isfinite(point.latitude) && std::isfinite(point.longitude))) {
        return false;
    }
    return std::all_of(std::begin(kValues), std::end(kValues), [&point](const Member& member) {
        return !point.Has(member.field) || std::isfinite(point.*member.value);
    });
}

// The point's value when it has a finite one.
inline std::optional<double> Value(const track::Point& point, track::Field field,
                                   double track::Point::*value) {
    if (!point.Has(field) || !std::isfinite(point.*value)) {
        return std::nullopt;
    }
    return point.*value;
}

// A lap's settings: a lap has no splits.
Settings WithoutSplits(Settings settings) {
    settings.split_metres = 0.0;
    return settings;
}

}  // namespace

bool Fix::HasPlace() const {
    // Written so that a NaN fails every comparison.
    return Has(track::kPosition) && latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 &&
           longitude <= 180.0;
}

TrackLeg MeasureTrackLeg(const geodesy::SurfaceDistances& distances, const Fix& from,
                         const Fix& to) {
    TrackLeg leg;
    if (!from.HasPlace() || !to.HasPlace()) {
        leg.metres = std::numeric_limits<double>::quiet_NaN();
    } else if (!from.SamePlace(to)) {
        // Only the places count: the elevations play no part in the length.
        leg.metres = distances.Metres(from.latitude, from.longitude, to.latitude, to.longitude);
    }
    leg.timed = from.Has(track::kTime) && to.Has(track::kTime);
    if (leg.timed) {
        leg.seconds = to.time.SecondsSince(from.time);
    }
    return leg;
}

std::uint64_t Findings::Total() const {
    return zero_time_legs + backward_legs + untimed_records + non_finite_records +
           off_globe_records + same_place_records + jumps + unmeasured_legs + partial_record_bytes +
           skipped_points;
}

void Findings::Add(const Findings& other) {
    zero_time_legs += other.zero_time_legs;
    backward_legs += other.backward_legs;
    untimed_records += other.untimed_records;
    non_finite_records += other.non_finite_records;
    off_globe_records += other.off_globe_records;
    same_place_records += other.same_place_records;
    jumps += other.jumps;
    unmeasured_legs += other.unmeasured_legs;
    partial_record_bytes += other.partial_record_bytes;
    skipped_points += other.skipped_points;
}

void SensorFigures::Add(const SensorFigures& other) {
    Widen(range, other.range);
    average.Add(other.average);
}

void NormalisedPower::EndSecond(double watt_seconds) {
    const std::size_t slot = seconds_ % kWindowSeconds;
    window_sum_ += watt_seconds - ring_[slot];
    ring_[slot] = watt_seconds;
    ++seconds_;
    if (slot == kWindowSeconds - 1) {
        // Summed afresh once a round, so that rounding does not pile up.
        window_sum_ = 0.0;
        for (const double value : ring_) {
            window_sum_ += value;
        }
    }
    if (seconds_ >= kWindowSeconds) {
        const double rolling = window_sum_ / kWindowSeconds;
        fourth_sum_ += rolling * rolling * rolling * rolling;
        ++count_;
    }
}

void NormalisedPower::Add(double watts, double seconds) {
    if (seconds >= 1.0 - open_time_) {
        seconds -= 1.0 - open_time_;
        EndSecond(open_sum_ + watts * (1.0 - open_time_));
        open_sum_ = 0.0;
        open_time_ = 0.0;
        // Whole seconds at one power. After 30 of them the ring holds
        // nothing else, and each further round of 30 adds the same rolling
        // average 30 times over.
        double whole = std::floor(seconds);
        seconds -= whole;
        for (int k = 0; whole >= 1.0 && k < kWindowSeconds; ++k, whole -= 1.0) {
            EndSecond(watts);
        }
        if (whole >= kWindowSeconds) {
            const double skipped = std::floor(whole / kWindowSeconds) * kWindowSeconds;
            fourth_sum_ += skipped * watts * watts * watts * watts;
            count_ += static_cast<std::uint64_t>(skipped);
            seconds_ += static_cast<std::uint64_t>(skipped);
            whole -= skipped;
        }
        // Fewer than the window's seconds are left: count them whole.
        for (int k = static_cast<int>(whole); k > 0; --k) {
            EndSecond(watts);
        }
    }
    open_sum_ += watts * seconds;
    open_time_ += seconds;
}

std::optional<double> Figures::MovingSeconds() const {
    return duration ? std::optional<double>(moving_seconds) : std::nullopt;
}

std::optional<double> Figures::StoppedSeconds() const {
    return duration ? std::optional<double>(*duration - moving_seconds) : std::nullopt;
}

std::optional<double> Figures::BreakSeconds() const {
    return duration ? std::optional<double>(break_seconds) : std::nullopt;
}

std::optional<double> Figures::AverageSpeed() const {
    if (!(timed_seconds > 0.0)) {
        return std::nullopt;
    }
    return timed_metres / timed_seconds;
}

std::optional<double> Figures::MovingAverage() const {
    if (!(moving_seconds > 0.0)) {
        return std::nullopt;
    }
    return moving_metres / moving_seconds;
}

std::optional<double> Figures::NormalisedWatts() const {
    if (power_fourth_count == 0) {
        return std::nullopt;
    }
    return std::pow(power_fourth_sum / static_cast<double>(power_fourth_count), 0.25);
}

void Figures::Add(const Figures& other) {
    points += other.points;
    segments += other.segments;
    metres += other.metres;
    if (other.device_metres) {
        device_metres = device_metres.value_or(0.0) + *other.device_metres;
    }
    if (other.start) {
        start = start ? std::min(*start, *other.start) : *other.start;
    }
    if (other.end) {
        end = end ? std::max(*end, *other.end) : *other.end;
    }
    if (other.duration) {
        duration = duration.value_or(0.0) + *other.duration;
    }
    break_seconds += other.break_seconds;
    moving_seconds += other.moving_seconds;
    moving_metres += other.moving_metres;
    timed_seconds += other.timed_seconds;
    timed_metres += other.timed_metres;
    if (other.fastest &&
        (!fastest || other.fastest->metres_per_second > fastest->metres_per_second)) {
        fastest = other.fastest;
    }
    if (other.elevation) {
        climb += other.climb;
        descent += other.descent;
    }
    Widen(elevation, other.elevation);
    Widen(latitude, other.latitude);
    Widen(longitude, other.longitude);
    heart_rate.Add(other.heart_rate);
    cadence.Add(other.cadence);
    power.Add(other.power);
    temperature.Add(other.temperature);
    power_fourth_sum += other.power_fourth_sum;
    power_fourth_count += other.power_fourth_count;
    findings.Add(other.findings);
    waypoints += other.waypoints;
    route_count += other.route_count;
}

Lap Lap::Of(const Figures& f, track::LapTrigger ended_by) {
    Lap lap;
    lap.start = f.start;
    lap.duration = f.duration;
    lap.moving_seconds = f.moving_seconds;
    lap.metres = f.metres;
    lap.average_speed = f.AverageSpeed();
    if (f.fastest) {
        lap.max_speed = f.fastest->metres_per_second;
    }
    lap.heart_rate = f.heart_rate;
    lap.cadence = f.cadence;
    lap.power = f.power;
    if (f.elevation) {
        lap.climb = f.climb;
        lap.descent = f.descent;
    }
    lap.ended_by = ended_by;
    return lap;
}

Summary::Summary(const Settings& settings)
    : lap_settings_(WithoutSplits(settings)), track_(settings), lap_(lap_settings_) {}

void Summary::AddToLap(const track::Point& point) {
    const bool ends_lap = lap_.Started() && point.begins_lap;
    lap_.Add(point);
    if (ends_lap) {
        // The point's leg ended the lap before; the next begins at it.
        laps_.push_back(Lap::Of(lap_.Result(), point.lap_trigger));
        lap_ = TrackSummary(lap_settings_);
        track::Point first = point;
        first.begins_segment = true;
        lap_.Add(first);
    }
}

void Summary::Add(const track::Point& point) {
    switch (point.kind) {
        case track::Kind::kWaypoint:
            ++waypoints_;
            return;
        case track::Kind::kRoute:
            AddRoutePoint(point);
            return;
        case track::Kind::kTrack:
            break;
    }
    if (point.begins_session && point.sport != track::kUnknownSport) {
        sessions_.push_back(Session{point.sport, point.sub_sport});
    }
    AddToLap(point);
    track_.Add(point);
}

void Summary::AddRoutePoint(const track::Point& point) {
    const Fix fix = Fix::Of(point);
    if (point.begins_track || routes_.empty()) {
        routes_.push_back(Route{point.track_name, 0, 0.0});
    } else {
        const double metres = MeasureTrackLeg(distances_, route_previous_, fix).metres;
        routes_.back().metres += std::isfinite(metres) ? metres : 0.0;
    }
    ++routes_.back().points;
    // A point without a place is passed over: the route runs on from the
    // one before it.
    if (fix.HasPlace() || point.begins_track) {
        route_previous_ = fix;
    }
}

const Figures& Summary::Result() {
    Figures& figures = track_.Result();
    if (lap_.Started()) {
        laps_.push_back(Lap::Of(lap_.Result(), track::LapTrigger::kUnknown));
    }
    figures.laps = std::move(laps_);
    figures.sessions = std::move(sessions_);
    figures.waypoints = waypoints_;
    figures.route_count = routes_.size();
    figures.routes = std::move(routes_);
    return figures;
}

void TrackSummary::Add(const track::Point& point) {
    Findings& findings = figures_.findings;
    ++figures_.points;
    const Fix fix = Fix::Of(point);
    AddValues(point);
    if (point.Has(track::kDistance) && !figures_.device_metres) {
        figures_.device_metres = 0.0;
    }
    const bool begins = !started_ || point.begins_segment || point.begins_track;
    if (begins) {
        EndGap();
        ++figures_.segments;
        in_break_ = started_;
        if (point.Has(track::kTime)) {
            fastest_.Restart(point.time);
        } else {
            fastest_.Break();
        }
    } else {
        AddLeg(fix, point);
    }
    if (point.Has(track::kTime)) {
        if (!figures_.start) {
            figures_.start = point.time;
        }
        figures_.end = point.time;
        if (in_break_ && last_time_) {
            const double seconds = point.time.SecondsSince(*last_time_);
            figures_.break_seconds += seconds;
            AddToSplit(seconds, false, track::Point());
        }
        in_break_ = false;
        last_time_ = point.time;
    } else {
        ++findings.untimed_records;
    }
    // After the leg, so that a climb counts in the split the point lies in.
    if (const std::optional<double> metres =
            Value(point, track::kElevation, &track::Point::elevation)) {
        AddElevation(*metres);
    }
    started_ = true;
    previous_ = fix;
    if (fix.HasPlace()) {
        gap_from_ = fix;
    } else if (fix.Has(track::kPosition)) {
        gap_from_.reset();  // no leg bridges a place off the globe
    }
}

void TrackSummary::AddValues(const track::Point& point) {
    Findings& findings = figures_.findings;
    if (!Finite(point)) {
        ++findings.non_finite_records;
    }
    if (Fix::Of(point).HasPlace()) {
        Widen(figures_.latitude, point.latitude, point.latitude);
        Widen(figures_.longitude, point.longitude, point.longitude);
    } else if (point.Has(track::kPosition) && std::isfinite(point.latitude) &&
               std::isfinite(point.longitude)) {
        ++findings.off_globe_records;
    }
    if ((point.fields &
         (track::kHeartRate | track::kCadence | track::kPower | track::kTemperature)) != 0) {
        const std::tuple<track::Field, double track::Point::*, SensorFigures*> sensors[] = {
            {track::kHeartRate, &track::Point::heart_rate, &figures_.heart_rate},
            {track::kCadence, &track::Point::cadence, &figures_.cadence},
            {track::kPower, &track::Point::power, &figures_.power},
            {track::kTemperature, &track::Point::temperature, &figures_.temperature},
        };
        for (const auto& [field, member, sensor] : sensors) {
            if (const std::optional<double> value = Value(point, field, member)) {
                Widen(sensor->range, *value, *value);
            }
        }
    }
    if (const std::optional<double> celsius =
            Value(point, track::kTemperature, &track::Point::temperature)) {
        figures_.temperature.average.Add(*celsius, 1.0);
    }
}

void TrackSummary::AddLeg(const Fix& to, const track::Point& point) {
    Findings& findings = figures_.findings;
    const bool both_placed = previous_.Has(track::kPosition) && to.Has(track::kPosition);
    if (both_placed && previous_.SamePlace(to)) {
        ++findings.same_place_records;
    }
    // The leg in time, from the point before: its sensors' weights.
    const TrackLeg leg = MeasureTrackLeg(distances_, previous_, to);
    if (leg.timed && leg.seconds == 0.0) {
        ++findings.zero_time_legs;
    } else if (leg.timed && leg.seconds < 0.0) {
        ++findings.backward_legs;
    }
    if (previous_.Has(track::kDistance) && to.Has(track::kDistance) &&
        to.distance > previous_.distance && std::isfinite(to.distance - previous_.distance)) {
        *figures_.device_metres += to.distance - previous_.distance;
    }
    const bool forward = leg.timed && leg.seconds > 0.0;
    // The leg in space: across points without a position, from the last
    // point with a place, once places resume.
    TrackLeg span = leg;
    if (gap_from_ && !to.Has(track::kPosition)) {
        // A stretch without positions after a place: measured where it ends.
        pending_seconds_ += forward ? leg.seconds : 0.0;
        if (const std::optional<double> metres = DeviceMetres(previous_, to)) {
            pending_metres_ = pending_metres_.value_or(0.0) + *metres;
        }
        AddSensors(point, forward ? leg.seconds : 0.0, false);
        return;
    }
    if (gap_from_ && !previous_.Has(track::kPosition)) {
        span = MeasureTrackLeg(distances_, *gap_from_, to);
        pending_seconds_ = 0.0;
        pending_metres_.reset();
    } else if (const std::optional<double> metres = DeviceMetres(previous_, to)) {
        // Without positions (a treadmill, a pool), the device's own count.
        span.metres = *metres;
    }
    const bool measured = std::isfinite(span.metres);
    if (!measured && both_placed) {
        ++findings.unmeasured_legs;
    }
    const bool moving = CountSpan(span, point);
    AddSensors(point, forward ? leg.seconds : 0.0, moving);
}

std::optional<double> TrackSummary::DeviceMetres(const Fix& from, const Fix& to) {
    if (from.Has(track::kPosition) || to.Has(track::kPosition) || !from.Has(track::kDistance) ||
        !to.Has(track::kDistance) || !(to.distance >= from.distance) ||
        !std::isfinite(to.distance - from.distance)) {
        return std::nullopt;
    }
    return to.distance - from.distance;
}

bool TrackSummary::CountSpan(const TrackLeg& span, const track::Point& point, bool stretches) {
    const bool measured = std::isfinite(span.metres);
    const bool forward = span.timed && span.seconds > 0.0;
    const double speed = forward && measured ? span.metres / span.seconds : 0.0;
    const bool jump = speed > kJumpMetresPerSecond;
    if (jump) {
        ++figures_.findings.jumps;
    }
    const bool counted = measured && !jump;  // a jump is no journey
    const bool moving = forward && counted && speed > settings_.stop_metres_per_second;
    if (counted) {
        figures_.metres += span.metres;
    }
    if (forward && counted) {
        figures_.timed_seconds += span.seconds;
        figures_.timed_metres += span.metres;
    }
    if (moving) {
        figures_.moving_seconds += span.seconds;
        figures_.moving_metres += span.metres;
    }
    if (stretches && span.timed && span.seconds >= 0.0 && counted) {
        fastest_.Extend(span.metres, point.time);
    } else if (stretches && point.Has(track::kTime)) {
        fastest_.Restart(point.time);
    } else {
        fastest_.Break();
    }
    if (settings_.split_metres > 0.0) {
        SplitLeg(counted ? span.metres : 0.0, forward ? span.seconds : 0.0, moving, point);
    }
    return moving;
}

void TrackSummary::AddSensors(const track::Point& point, double seconds, bool moving) {
    if (!(seconds > 0.0)) {
        return;
    }
    // Each leg with a time holds its second point's values.
    if (const std::optional<double> bpm =
            Value(point, track::kHeartRate, &track::Point::heart_rate)) {
        figures_.heart_rate.average.Add(*bpm, seconds);
    }
    if (const std::optional<double> watts = Value(point, track::kPower, &track::Point::power)) {
        figures_.power.average.Add(*watts, seconds);
        normalised_.Add(*watts, seconds);
    }
    const std::optional<double> rpm = Value(point, track::kCadence, &track::Point::cadence);
    if (moving && rpm && *rpm > 0.0) {
        figures_.cadence.average.Add(*rpm, seconds);
    }
}

void TrackSummary::EndGap() {
    if (pending_seconds_ > 0.0 || pending_metres_) {
        // A segment that ends without positions: its device's distance,
        // if it counted any, as one leg.
        TrackLeg span;
        span.metres = pending_metres_.value_or(std::numeric_limits<double>::quiet_NaN());
        span.timed = true;
        span.seconds = pending_seconds_;
        CountSpan(span, track::Point(), false);
    }
    pending_seconds_ = 0.0;
    pending_metres_.reset();
    gap_from_.reset();
}

void TrackSummary::SplitLeg(double metres, double seconds, bool moving, const track::Point& point) {
    if (split_end_ == 0.0) {
        split_end_ = settings_.split_metres;
    }
    // A leg that crosses the end of a split is shared in proportion to its
    // length: its time is interpolated linearly along it.
    while (metres > 0.0 && along_ + metres >= split_end_) {
        const double part = split_end_ - along_;
        const double share = seconds * (part / metres);
        AddToSplit(share, moving, point);
        split_.metres = settings_.split_metres;  // exactly, whatever the rounding of its parts
        EndSplit();
        metres -= part;
        seconds -= share;
        along_ = split_end_;
        split_end_ += settings_.split_metres;
    }
    along_ += metres;
    split_.metres += metres;
    AddToSplit(seconds, moving, point);
}

void TrackSummary::AddToSplit(double seconds, bool moving, const track::Point& point) {
    if (settings_.split_metres <= 0.0 || !(seconds > 0.0)) {
        return;
    }
    split_.seconds += seconds;
    if (moving) {
        split_.moving_seconds += seconds;
    }
    if (const std::optional<double> bpm =
            Value(point, track::kHeartRate, &track::Point::heart_rate)) {
        split_.heart_rate.Add(*bpm, seconds);
    }
    if (const std::optional<double> watts = Value(point, track::kPower, &track::Point::power)) {
        split_.power.Add(*watts, seconds);
    }
}

void TrackSummary::EndSplit() {
    figures_.splits.push_back(split_);
    split_ = Split();
}

void TrackSummary::AddElevation(double metres) {
    if (!figures_.elevation) {
        reference_metres_ = metres;
    }
    Widen(figures_.elevation, metres, metres);
    // A change smaller than the dead band is noise: the reference stays.
    if (metres - reference_metres_ >= settings_.climb_metres) {
        figures_.climb += metres - reference_metres_;
        split_.climb += metres - reference_metres_;
        reference_metres_ = metres;
    } else if (reference_metres_ - metres >= settings_.climb_metres) {
        figures_.descent += reference_metres_ - metres;
        split_.descent += reference_metres_ - metres;
        reference_metres_ = metres;
    }
}

void TrackSummary::AddReaderFindings(std::uint64_t skipped_points,
                                     std::uint64_t partial_record_bytes) {
    figures_.findings.skipped_points += skipped_points;
    figures_.findings.partial_record_bytes += partial_record_bytes;
}

Figures& TrackSummary::Result() {
    EndGap();
    if (figures_.start && figures_.end) {
        figures_.duration = figures_.end->SecondsSince(*figures_.start);
    }
    if (fastest_.Found()) {
        figures_.fastest =
            Stretch{fastest_.MetresPerSecond(), fastest_.StartTime(), fastest_.EndTime()};
    }
    figures_.power_fourth_sum = normalised_.FourthPowerSum();
    figures_.power_fourth_count = normalised_.Count();
    // The last part; the rounding left over from a track that ends on a
    // split's end (less than a millimetre) belongs to that split.
    if (!figures_.splits.empty() && split_.metres < 1e-3) {
        Split& last = figures_.splits.back();
        last.seconds += split_.seconds;
        last.moving_seconds += split_.moving_seconds;
        last.climb += split_.climb;
        last.descent += split_.descent;
        last.heart_rate.Add(split_.heart_rate);
        last.power.Add(split_.power);
        split_ = Split();
    }
    if (settings_.split_metres > 0.0 && (split_.metres > 0.0 || split_.seconds > 0.0)) {
        EndSplit();
    }
    return figures_;
}

}  // namespace trackinfo
