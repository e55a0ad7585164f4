#include "summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "reportunits.h"
#include "tracktools/geodesy/CPolarCoordinate.h"

namespace trackinfo {
namespace {

bool Finite(const GPL_Data_Point& point) {
    return std::isfinite(point.Latitude) && std::isfinite(point.Longitude) &&
           std::isfinite(point.Altitude) && std::isfinite(point.Heading) &&
           std::isfinite(point.Speed);
}

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

}  // namespace

bool HasPosition(const GPL_Data_Point& point) {
    // Written so that a NaN fails every comparison.
    return point.Latitude >= -90.0 && point.Latitude <= 90.0 && point.Longitude >= -180.0 &&
           point.Longitude <= 180.0;
}

TrackLeg MeasureTrackLeg(const CEarth& earth, const GPL_Data_Point& from,
                         const GPL_Data_Point& to) {
    TrackLeg leg;
    if (!HasPosition(from) || !HasPosition(to)) {
        leg.metres = std::numeric_limits<double>::quiet_NaN();
    } else if (!from.SamePlace(to)) {
        // Only the places count: the altitudes play no part in the length.
        leg.metres =
            earth.GetSurfaceDistance(CPolarCoordinate(from.Latitude, from.Longitude),
                                     CPolarCoordinate(to.Latitude, to.Longitude), nullptr, nullptr);
    }
    leg.timed = HasTime(from) && HasTime(to);
    if (leg.timed) {
        leg.seconds = static_cast<std::int64_t>(to.Time) - static_cast<std::int64_t>(from.Time);
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

std::optional<std::int64_t> Figures::MovingSeconds() const {
    return duration ? std::optional<std::int64_t>(moving_seconds) : std::nullopt;
}

std::optional<std::int64_t> Figures::StoppedSeconds() const {
    return duration ? std::optional<std::int64_t>(*duration - moving_seconds) : std::nullopt;
}

std::optional<double> Figures::AverageSpeed() const {
    if (!duration || *duration <= 0) {
        return std::nullopt;
    }
    return metres / static_cast<double>(*duration);
}

std::optional<double> Figures::MovingAverage() const {
    if (moving_seconds <= 0) {
        return std::nullopt;
    }
    return moving_metres / static_cast<double>(moving_seconds);
}

void Figures::Add(const Figures& other) {
    points += other.points;
    metres += other.metres;
    if (other.start) {
        start = start ? std::min(*start, *other.start) : *other.start;
    }
    if (other.end) {
        end = end ? std::max(*end, *other.end) : *other.end;
    }
    if (other.duration) {
        duration = duration.value_or(0) + *other.duration;
    }
    moving_seconds += other.moving_seconds;
    moving_metres += other.moving_metres;
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
    findings.Add(other.findings);
}

void Summary::Add(const GPL_Data_Point& point) {
    Findings& findings = figures_.findings;
    ++figures_.points;
    if (!Finite(point)) {
        ++findings.non_finite_records;
    }
    if (HasPosition(point)) {
        Widen(figures_.latitude, point.Latitude, point.Latitude);
        Widen(figures_.longitude, point.Longitude, point.Longitude);
    } else if (std::isfinite(point.Latitude) && std::isfinite(point.Longitude)) {
        ++findings.off_globe_records;
    }
    if (std::isfinite(point.Altitude)) {
        AddAltitude(point.Altitude * kMetresPerFoot);
    }
    if (HasTime(point)) {
        if (!figures_.start) {
            figures_.start = point.Time;
        }
        figures_.end = point.Time;
    } else {
        ++findings.untimed_records;
    }

    if (!started_) {
        started_ = true;
        previous_ = point;
        if (HasTime(point)) {
            fastest_.Restart(point.Time);
        }
        return;
    }
    if (point.SamePlace(previous_)) {
        ++findings.same_place_records;
    }
    const TrackLeg leg = MeasureTrackLeg(earth_, previous_, point);
    const bool measured = std::isfinite(leg.metres);
    if (measured) {
        figures_.metres += leg.metres;
    } else {
        ++findings.unmeasured_legs;
    }
    if (leg.timed && leg.seconds == 0) {
        ++findings.zero_time_legs;
    } else if (leg.timed && leg.seconds < 0) {
        ++findings.backward_legs;
    } else if (leg.timed) {
        const double speed = leg.metres / static_cast<double>(leg.seconds);
        // A leg without a length has no speed: it is not moving.
        if (speed > settings_.stop_metres_per_second) {
            figures_.moving_seconds += leg.seconds;
            figures_.moving_metres += leg.metres;
        }
        if (speed > kJumpMetresPerSecond) {
            ++findings.jumps;
        }
    }
    if (leg.timed && leg.seconds >= 0 && measured) {
        fastest_.Extend(leg.metres, point.Time);
    } else if (HasTime(point)) {
        fastest_.Restart(point.Time);
    } else {
        fastest_.Break();
    }
    previous_ = point;
}

void Summary::AddAltitude(double metres) {
    if (!figures_.elevation) {
        reference_metres_ = metres;
    }
    Widen(figures_.elevation, metres, metres);
    // A change smaller than the dead band is noise: the reference stays.
    if (metres - reference_metres_ >= settings_.climb_metres) {
        figures_.climb += metres - reference_metres_;
        reference_metres_ = metres;
    } else if (reference_metres_ - metres >= settings_.climb_metres) {
        figures_.descent += reference_metres_ - metres;
        reference_metres_ = metres;
    }
}

void Summary::AddReaderFindings(std::uint64_t skipped_points, std::uint64_t partial_record_bytes) {
    figures_.findings.skipped_points += skipped_points;
    figures_.findings.partial_record_bytes += partial_record_bytes;
}

const Figures& Summary::Result() {
    if (figures_.start && figures_.end) {
        figures_.duration =
            static_cast<std::int64_t>(*figures_.end) - static_cast<std::int64_t>(*figures_.start);
    }
    if (fastest_.Found()) {
        figures_.fastest =
            Stretch{fastest_.MetresPerSecond(), fastest_.StartTime(), fastest_.EndTime()};
    }
    return figures_;
}

}  // namespace trackinfo
