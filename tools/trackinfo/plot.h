// The data of the page's pictures, gathered in two passes over a track in
// constant memory: the first finds the extents, the second reduces each
// line to about two thousand vertices that keep its shape. Lines break
// where a segment ends and at a jump.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_PLOT_H
#define TRACKTOOLS_TOOLS_TRACKINFO_PLOT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "summary.h"
#include "tracktools/geodesy/SurfaceDistances.h"
#include "tracktools/track/point.h"

namespace trackinfo {

// Longitudes made continuous: each step from one place to the next is
// taken the short way round, so a track that crosses the antimeridian runs
// on past 180 (or below -180) instead of jumping across the map.
class Unwrapper {
  public:
    double Next(double longitude);

  private:
    bool started_ = false;
    double raw_ = 0.0;
    double unwrapped_ = 0.0;
};

// The waypoints the plan marks, at most.
constexpr std::size_t kMostWaypointMarkers = 500;

// The first pass: where the track, its waypoints and its routes lie, and
// when the track was recorded.
class TrackExtents {
  public:
    void Add(const track::Point& point);

    std::uint64_t Places() const { return places_; }
    double MeanLatitude() const;
    // Latitudes and unwrapped longitudes, degrees; with Places() above 0.
    const Range& NorthSouth() const { return north_south_; }
    const Range& EastWest() const { return east_west_; }
    // The earliest and latest times, seconds since 1970.
    const std::optional<Range>& Times() const { return times_; }
    // The names of the first waypoints with a place, in order (the second
    // pass reads its points back without their texts).
    const std::vector<std::string>& WaypointNames() const { return waypoint_names_; }

  private:
    std::uint64_t places_ = 0;
    double latitude_sum_ = 0.0;
    Range north_south_;
    Range east_west_;
    std::optional<Range> times_;
    Unwrapper unwrapper_;
    std::vector<std::string> waypoint_names_;
};

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
    bool begins = false;  // the first point of a line
};

// A waypoint on the plan: its place and its name.
struct Marker {
    PlotPoint at;
    std::string name;
};

// The lines of points whose first points begin them.
std::vector<std::vector<PlotPoint>> Lines(const std::vector<PlotPoint>& points);

// A line in the plane reduced while it streams: a point is kept when it
// lies in another cell of a square grid than the point kept before it. When
// more than twice the budget is kept the cells double in size and the kept
// points are thinned the same way, so memory stays bounded and the line
// keeps its shape at the scale of the cells. The last point is always
// kept. Lines break where a point begins one, unless the break lies within
// one cell, where they are joined.
class PathReducer {
  public:
    static constexpr std::size_t kBudget = 2000;

    // Cells of `cell` units counted from (`x0`, `y0`), the low corner of the extents.
    void Reset(double x0, double y0, double cell);
    // A point, which begins a new line when `point.begins` (or is the first).
    void Add(PlotPoint point);
    // The kept points, the last point added included.
    std::vector<PlotPoint> Points() const;

  private:
    std::int64_t CellX(double x) const;
    std::int64_t CellY(double y) const;
    bool SameCell(const PlotPoint& a, const PlotPoint& b) const;
    void Thin();

    double x0_ = 0.0;
    double y0_ = 0.0;
    double cell_ = 1.0;
    std::vector<PlotPoint> kept_;
    std::optional<PlotPoint> last_;
};

// Values against a position on an axis of known extent, as the lowest and
// highest value of each of a fixed number of columns, in the order they
// came; the line through them breaks before a column where a run of values
// began.
class ColumnEnvelope {
  public:
    static constexpr int kColumns = 560;
    struct Column {
        bool used = false;
        double low = 0.0;
        double high = 0.0;
        bool low_first = true;  // the lowest value came before the highest
        bool begins = false;    // a run of values began in it
    };

    void Reset(double x_low, double x_high);
    void Add(double x, double value);
    // The next value begins a new run.
    void Break() { broken_ = true; }

    bool Empty() const { return count_ == 0; }
    double XLow() const { return x_low_; }
    double XHigh() const { return x_high_; }
    // The position of a column's middle on the axis.
    double Middle(int column) const;
    const Range& Values() const { return values_; }
    const std::array<Column, kColumns>& Columns() const { return columns_; }

  private:
    double x_low_ = 0.0;
    double x_high_ = 0.0;
    std::uint64_t count_ = 0;
    bool broken_ = true;
    Range values_;
    std::array<Column, kColumns> columns_{};
};

// The second pass: the pictures' lines and markers.
class TrackDrawing {
  public:
    static constexpr std::int64_t kStopMarkerSeconds = 60;
    static constexpr std::size_t kMostStopMarkers = 200;

    // `extents` from the first pass, `figures` the track's summary.
    TrackDrawing(const TrackExtents& extents, const Figures& figures, const Settings& settings);

    void Add(const track::Point& point);
    // After the last point.
    void Finish();

    // Plan view, in degrees: x = unwrapped longitude * cos(mean latitude), y = latitude.
    double LongitudeScale() const { return longitude_scale_; }
    std::vector<PlotPoint> Path() const { return path_.Points(); }
    const std::optional<PlotPoint>& Start() const { return start_; }
    const std::optional<PlotPoint>& End() const { return end_; }
    const std::vector<PlotPoint>& Stops() const { return stops_; }
    std::uint64_t StopCount() const { return stop_count_; }
    std::uint64_t WithoutPlace() const { return without_place_; }
    // The routes, a line each, and the waypoints (the first
    // kMostWaypointMarkers of WaypointCount()).
    std::vector<PlotPoint> Routes() const { return routes_.Points(); }
    const std::vector<Marker>& Waypoints() const { return waypoints_; }
    std::uint64_t WaypointCount() const { return waypoint_count_; }
    std::uint64_t RouteCount() const { return route_count_; }

    // Elevation (metres) against distance along the track (metres).
    const ColumnEnvelope& Elevation() const { return elevation_; }
    std::uint64_t WithoutAltitude() const { return without_altitude_; }
    // Heart rate, cadence and power against distance along the track.
    const ColumnEnvelope& HeartRate() const { return heart_rate_; }
    const ColumnEnvelope& Cadence() const { return cadence_; }
    const ColumnEnvelope& Power() const { return power_; }
    // Speed of each leg (metres per second) against the time halfway along it.
    const ColumnEnvelope& Speeds() const { return speeds_; }
    std::uint64_t LegsNotDrawn() const { return legs_not_drawn_; }

  private:
    void AddTrackPoint(const track::Point& point);
    PlotPoint Project(const track::Point& point);
    void EndStop();
    // No line of a profile joins the next value to the ones before.
    void BreakProfiles();

    Settings settings_;
    geodesy::SurfaceDistances distances_;
    double longitude_scale_ = 1.0;
    Unwrapper unwrapper_;
    PathReducer path_;
    std::optional<PlotPoint> start_;
    std::optional<PlotPoint> end_;
    std::vector<PlotPoint> stops_;
    std::uint64_t stop_count_ = 0;
    std::uint64_t without_place_ = 0;
    PathReducer routes_;
    std::vector<std::string> waypoint_names_;  // from the first pass
    std::vector<Marker> waypoints_;
    std::uint64_t waypoint_count_ = 0;
    std::uint64_t route_count_ = 0;
    bool route_begins_ = false;  // a route began at a point without a place
    ColumnEnvelope elevation_;
    std::uint64_t without_altitude_ = 0;
    ColumnEnvelope heart_rate_;
    ColumnEnvelope cadence_;
    ColumnEnvelope power_;
    ColumnEnvelope speeds_;
    std::uint64_t legs_not_drawn_ = 0;

    bool started_ = false;
    Fix previous_;
    std::optional<Fix> gap_from_;  // as in Summary
    std::optional<PlotPoint> previous_place_;
    double along_ = 0.0;
    // The stop being passed: where it began and how long it has lasted.
    std::optional<PlotPoint> stop_at_;
    double stop_seconds_ = 0.0;
};

}  // namespace trackinfo

#endif
