// The summary of one track, taken point by point in constant memory: how
// far, how long, how fast, how high, where, what its sensors said, and what
// is wrong with the data.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_SUMMARY_H
#define TRACKTOOLS_TOOLS_TRACKINFO_SUMMARY_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fastest.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/geodesy/SurfaceDistances.h"
#include "tracktools/track/point.h"

namespace trackinfo {

// What a leg needs of a point: its position and time, and which it has.
struct Fix {
    double latitude = 0.0;
    double longitude = 0.0;
    track::Instant time;
    std::uint16_t fields = 0;
    double distance = 0.0;  // as the device counted it, with kDistance

    static Fix Of(const track::Point& point) {
        return Fix{point.latitude, point.longitude, point.time, point.fields, point.distance};
    }
    bool Has(track::Field field) const { return (fields & field) != 0; }
    // The place as trackinfo uses it: present, finite, latitude within
    // -90..90, longitude within -180..180.
    bool HasPlace() const;
    bool SamePlace(const Fix& other) const {
        return latitude == other.latitude && longitude == other.longitude;
    }
};

// A leg between consecutive points of a segment.
struct TrackLeg {
    // Along the WGS 84 surface; not a number when an end has no place or
    // the earth model gives no answer.
    double metres = 0.0;
    bool timed = false;    // both ends have a time
    double seconds = 0.0;  // end time - start time, when timed
};
TrackLeg MeasureTrackLeg(const geodesy::SurfaceDistances& distances, const Fix& from,
                         const Fix& to);

// What is wrong with the data, each a count.
struct Findings {
    std::uint64_t zero_time_legs = 0;      // both times, the same
    std::uint64_t backward_legs = 0;       // the time goes back
    std::uint64_t untimed_records = 0;     // points without a time
    std::uint64_t non_finite_records = 0;  // a value that is not finite
    std::uint64_t off_globe_records = 0;   // finite position outside -90..90 / -180..180
    std::uint64_t same_place_records = 0;  // at the place of the point before, in a segment
    std::uint64_t jumps = 0;               // legs with a time faster than 700 mph
    std::uint64_t unmeasured_legs = 0;     // legs between positions without a finite length
    std::uint64_t partial_record_bytes = 0;
    std::uint64_t skipped_points = 0;  // left out by the reader

    std::uint64_t Total() const;
    void Add(const Findings& other);
};

struct Range {
    double low = 0.0;
    double high = 0.0;
};

// A weighted mean in the making.
struct Average {
    double sum = 0.0;
    double weight = 0.0;

    void Add(double value, double value_weight) {
        sum += value * value_weight;
        weight += value_weight;
    }
    void Add(const Average& other) {
        sum += other.sum;
        weight += other.weight;
    }
    std::optional<double> Value() const {
        return weight > 0.0 ? std::optional<double>(sum / weight) : std::nullopt;
    }
};

// The values of one sensor: present when any point carries one.
struct SensorFigures {
    std::optional<Range> range;
    Average average;
    void Add(const SensorFigures& other);
};

// The fastest stretch of 10 s or more.
struct Stretch {
    double metres_per_second = 0.0;
    track::Instant start;
    track::Instant end;
};

// One split: a kilometre or a mile of Distance, or the last part.
struct Split {
    double metres = 0.0;
    double seconds = 0.0;  // its legs' time and its breaks
    double moving_seconds = 0.0;
    double climb = 0.0;
    double descent = 0.0;
    Average heart_rate;
    Average power;
};

// A route of the file (a plan, not a recording): its name and its length
// along its points in order.
struct Route {
    std::string name;
    std::uint64_t points = 0;
    double metres = 0.0;
};

// Normalised power: the fourth root of the mean of the fourth powers of the
// 30-second rolling average of power. Power is held over time with power
// (each leg's time at the power of its second point), taken in whole
// seconds of that time; a second's power is its mean. The rolling average
// is that of the last 30 seconds, from the 30th second on.
class NormalisedPower {
  public:
    static constexpr int kWindowSeconds = 30;

    // `watts` held for `seconds` (above 0) of time with power.
    void Add(double watts, double seconds);
    double FourthPowerSum() const { return fourth_sum_; }
    std::uint64_t Count() const { return count_; }

  private:
    void EndSecond(double watt_seconds);

    std::array<double, kWindowSeconds> ring_{};
    std::uint64_t seconds_ = 0;  // whole seconds ended
    double window_sum_ = 0.0;    // of the ring
    double open_sum_ = 0.0;      // watt-seconds of the second under way
    double open_time_ = 0.0;     // and its time
    double fourth_sum_ = 0.0;
    std::uint64_t count_ = 0;
};

struct Figures;

// One lap, as the device marked them (a track without marks is one lap):
// from its first point to the first point of the next, whose leg it holds.
struct Lap {
    std::optional<track::Instant> start;  // of its first point with a time
    std::optional<double> duration;       // to the next lap's start, breaks included
    double moving_seconds = 0.0;
    double metres = 0.0;
    std::optional<double> average_speed;
    std::optional<double> max_speed;  // its fastest stretch of 10 s or more
    SensorFigures heart_rate;
    SensorFigures cadence;
    SensorFigures power;
    std::optional<double> climb;  // with elevation
    std::optional<double> descent;
    track::LapTrigger ended_by = track::LapTrigger::kUnknown;

    static Lap Of(const Figures& figures, track::LapTrigger ended_by);
};

// A session's sport (track::SportName) and sub-sport, by FIT's numbers.
struct Session {
    std::uint8_t sport = track::kUnknownSport;
    std::uint8_t sub_sport = 0;
};

// The figures of a track, or the total of several, in SI units. Every
// measure is of the track points; waypoints and routes are counted apart.
struct Figures {
    std::uint64_t points = 0;  // track points
    std::uint64_t segments = 0;
    double metres = 0.0;  // Distance
    // The distance the device counted (kDistance) over the legs of the
    // segments; known when a point carries one.
    std::optional<double> device_metres;
    std::optional<track::Instant> start;
    std::optional<track::Instant> end;
    // End - Start, seconds; the total's is the sum of the tracks'.
    std::optional<double> duration;
    double break_seconds = 0.0;  // from the end of a segment to the start of the next
    double moving_seconds = 0.0;
    double moving_metres = 0.0;
    // The legs that take time and are no jumps: Average speed.
    double timed_seconds = 0.0;
    double timed_metres = 0.0;
    std::optional<Stretch> fastest;
    std::optional<Range> elevation;  // metres
    double climb = 0.0;              // metres, with elevation
    double descent = 0.0;
    std::optional<Range> latitude;
    std::optional<Range> longitude;
    SensorFigures heart_rate;       // time-weighted
    SensorFigures cadence;          // time-weighted over moving legs with a cadence above 0
    SensorFigures power;            // time-weighted
    SensorFigures temperature;      // the mean of the points
    double power_fourth_sum = 0.0;  // of normalised power
    std::uint64_t power_fourth_count = 0;
    std::vector<Split> splits;  // of a file, with splits asked for
    Findings findings;
    std::uint64_t waypoints = 0;
    std::uint64_t route_count = 0;
    std::vector<Route> routes;      // of a file, in its order
    std::vector<Lap> laps;          // of a file
    std::vector<Session> sessions;  // of a file: those that name their sport

    // Known wherever Duration is.
    std::optional<double> MovingSeconds() const;
    std::optional<double> StoppedSeconds() const;
    std::optional<double> BreakSeconds() const;
    // Length / time of the legs that take time.
    std::optional<double> AverageSpeed() const;
    // Moving distance / Moving time, for a Moving time above 0.
    std::optional<double> MovingAverage() const;
    std::optional<double> NormalisedWatts() const;

    // Adds another track's figures into a total; splits, laps, sessions and
    // the list of routes are not added.
    void Add(const Figures& other);
};

struct Settings {
    double stop_metres_per_second = 0.0;  // a leg above it is moving
    double climb_metres = 5.0;            // the dead band of Climb and Descent
    double split_metres = 0.0;            // the length of a split; 0 for none
};

// The figures of the track points of one file, or of one lap of it.
class TrackSummary {
  public:
    explicit TrackSummary(const Settings& settings) : settings_(settings) {}

    // A track point.
    void Add(const track::Point& point);
    // What the reader said at the end of the file.
    void AddReaderFindings(std::uint64_t skipped_points, std::uint64_t partial_record_bytes);
    // After the last point: the figures, once.
    Figures& Result();
    bool Started() const { return started_; }

  private:
    void AddValues(const track::Point& point);
    void AddLeg(const Fix& to, const track::Point& point);
    // The device's count from one point to the next, when neither has a
    // position and both a distance.
    static std::optional<double> DeviceMetres(const Fix& from, const Fix& to);
    // A leg's length and time in the figures; true when it is moving. A
    // stretch (of the max speed) runs on through it when `stretches`.
    bool CountSpan(const TrackLeg& span, const track::Point& point, bool stretches = true);
    // A leg's `seconds` held at the point's sensor values.
    void AddSensors(const track::Point& point, double seconds, bool moving);
    // The end of a segment: a stretch without positions that places did
    // not resume counts as one leg of the device's distance, or of none.
    void EndGap();
    void AddElevation(double metres);
    // A leg's share of the splits: `metres` along, `seconds` of time.
    void SplitLeg(double metres, double seconds, bool moving, const track::Point& point);
    void AddToSplit(double seconds, bool moving, const track::Point& point);
    void EndSplit();

    Settings settings_;
    geodesy::SurfaceDistances distances_;
    Figures figures_;
    bool started_ = false;
    Fix previous_;
    std::optional<track::Instant> last_time_;  // of the latest point with a time
    bool in_break_ = false;                    // a segment began since last_time_
    double reference_metres_ = 0.0;            // of Climb and Descent
    FastestStretch fastest_;
    NormalisedPower normalised_;
    double along_ = 0.0;  // Distance so far, for the splits
    double split_end_ = 0.0;
    Split split_;
    // The last point with a place, while points without a position follow
    // it in its segment; their time (and the device's count) so far.
    std::optional<Fix> gap_from_;
    double pending_seconds_ = 0.0;
    std::optional<double> pending_metres_;
};

// The summary of a file: its track points, each lap of them, its sessions,
// waypoints and routes.
class Summary {
  public:
    explicit Summary(const Settings& settings);

    void Add(const track::Point& point);
    // What the reader said at the end of the file.
    void AddReaderFindings(std::uint64_t skipped_points, std::uint64_t partial_record_bytes) {
        track_.AddReaderFindings(skipped_points, partial_record_bytes);
    }
    // After the last point: the figures, once.
    const Figures& Result();

  private:
    // The point to the lap under way; one that begins a lap ends it first.
    void AddToLap(const track::Point& point);
    void AddRoutePoint(const track::Point& point);

    Settings lap_settings_;  // no splits
    TrackSummary track_;
    TrackSummary lap_;  // the lap under way
    std::vector<Lap> laps_;
    std::vector<Session> sessions_;
    std::uint64_t waypoints_ = 0;
    std::vector<Route> routes_;
    geodesy::SurfaceDistances distances_;
    Fix route_previous_;  // the route's point before, when it has a place
};

}  // namespace trackinfo

#endif
