// The summary of one track, taken point by point in constant memory: how
// far, how long, how fast, how high, where, and what is wrong with the data.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_SUMMARY_H
#define TRACKTOOLS_TOOLS_TRACKINFO_SUMMARY_H

#include <cstdint>
#include <optional>

#include "fastest.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/track/gpldata.h"

namespace trackinfo {

// A record's place as trackinfo uses it: finite, latitude within -90..90,
// longitude within -180..180.
bool HasPosition(const GPL_Data_Point& point);
// Time 0 is a record without a usable time.
inline bool HasTime(const GPL_Data_Point& point) {
    return point.Time != 0;
}

// A leg between consecutive records.
struct TrackLeg {
    // Along the WGS 84 surface; not a number when an end has no position or
    // the earth model gives no answer.
    double metres = 0.0;
    bool timed = false;        // both ends have a time
    std::int64_t seconds = 0;  // end time - start time, when timed
};
TrackLeg MeasureTrackLeg(const CEarth& earth, const GPL_Data_Point& from, const GPL_Data_Point& to);

// What is wrong with the data, each a count.
struct Findings {
    std::uint64_t zero_time_legs = 0;      // both times, the same
    std::uint64_t backward_legs = 0;       // the time goes back
    std::uint64_t untimed_records = 0;     // Time 0
    std::uint64_t non_finite_records = 0;  // a double field not finite
    std::uint64_t off_globe_records = 0;   // finite position outside -90..90 / -180..180
    std::uint64_t same_place_records = 0;  // SamePlace as the record before
    std::uint64_t jumps = 0;               // legs with a time faster than 700 mph
    std::uint64_t unmeasured_legs = 0;     // legs without a finite length
    std::uint64_t partial_record_bytes = 0;
    std::uint64_t skipped_points = 0;  // left out by the reader

    std::uint64_t Total() const;
    void Add(const Findings& other);
};

struct Range {
    double low = 0.0;
    double high = 0.0;
};

// The fastest stretch of 10 s or more.
struct Stretch {
    double metres_per_second = 0.0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// The figures of a track, or the total of several, in SI units.
struct Figures {
    std::uint64_t points = 0;
    double metres = 0.0;  // Distance
    std::optional<std::uint32_t> start;
    std::optional<std::uint32_t> end;
    // End - Start, seconds; the total's is the sum of the tracks'.
    std::optional<std::int64_t> duration;
    std::int64_t moving_seconds = 0;
    double moving_metres = 0.0;
    std::optional<Stretch> fastest;
    std::optional<Range> elevation;  // metres
    double climb = 0.0;              // metres, with elevation
    double descent = 0.0;
    std::optional<Range> latitude;
    std::optional<Range> longitude;
    Findings findings;

    // Known wherever Duration is.
    std::optional<std::int64_t> MovingSeconds() const;
    std::optional<std::int64_t> StoppedSeconds() const;
    // Distance / Duration, for a Duration above 0.
    std::optional<double> AverageSpeed() const;
    // Moving distance / Moving time, for a Moving time above 0.
    std::optional<double> MovingAverage() const;

    // Adds another track's figures into a total.
    void Add(const Figures& other);
};

struct Settings {
    double stop_metres_per_second = 0.0;  // a leg above it is moving
    double climb_metres = 5.0;            // the dead band of Climb and Descent
};

class Summary {
  public:
    explicit Summary(const Settings& settings) : settings_(settings) {}

    void Add(const GPL_Data_Point& point);
    // What the reader said at the end of the file.
    void AddReaderFindings(std::uint64_t skipped_points, std::uint64_t partial_record_bytes);

    const Figures& Result();

  private:
    void AddAltitude(double metres);

    Settings settings_;
    CEarth earth_{25};
    Figures figures_;
    bool started_ = false;  // previous_ holds a record
    GPL_Data_Point previous_;
    double reference_metres_ = 0.0;  // of Climb and Descent
    FastestStretch fastest_;
};

}  // namespace trackinfo

#endif
