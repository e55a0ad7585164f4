// The highest average speed over any stretch of consecutive legs that lasts
// at least ten seconds, found while the track streams past, in a window of
// fixed size.
//
// Why a fixed window is enough. Points of one time form a moment; a stretch
// is best started at the first point of a moment and ended at the last
// (distance along the track never decreases), so a moment is kept as one
// entry however many points share it. For an end moment j, let i* be the
// latest moment at least 10 s before it. A start i at least 10 s before i*
// splits the stretch into [i, i*] and [i*, j], both of 10 s or more; its
// average is a weighted mean of theirs, so one of them is as fast, and
// [i, i*] was already tried when i* ended. Only the moments of the 10 s up
// to i* remain worth keeping, and every moment after i* lies within 10 s of
// j: about 20 s of the track. A log of one point a second keeps about 20
// moments; the ring holds kCapacity, enough for 50 points a second. A
// faster log loses its oldest starts first, so that memory stays bounded.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_FASTEST_H
#define TRACKTOOLS_TOOLS_TRACKINFO_FASTEST_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "tracktools/track/point.h"

namespace trackinfo {

class FastestStretch {
  public:
    static constexpr std::int64_t kShortestSeconds = 10;
    static constexpr std::size_t kCapacity = 1024;  // a power of two

    // A stretch may start at a point with this time; none reaches back past it.
    void Restart(track::Instant time);
    // A leg of `metres` (finite, not negative) to a point at `time`, which is
    // not before the time of the point before. Without a Restart since the
    // last Break, the leg starts a new run instead.
    void Extend(double metres, track::Instant time);
    // No stretch spans the next leg.
    void Break();

    // The best stretch so far (the one being built included).
    bool Found() const;
    double MetresPerSecond() const;
    track::Instant StartTime() const;
    track::Instant EndTime() const;

  private:
    struct Moment {
        std::int64_t time = 0;  // nanoseconds
        double first = 0.0;     // distance along the run at its first point
        double last = 0.0;      // ... and at its last
    };
    struct Best {
        bool found = false;
        double metres = 0.0;
        std::int64_t nanoseconds = 1;
        std::int64_t start = 0;
        std::int64_t end = 0;
        // Faster than `other`, compared without dividing.
        bool Beats(const Best& other) const;
    };

    // The best stretch ending at `end`, tried against the window.
    Best BestEndingAt(const Moment& end) const;
    // The best so far, the open moment tried as an end too.
    Best Overall() const;
    // Closes the open moment: tried as an end, added, and the window trimmed.
    void Close();
    const Moment& At(std::size_t index) const {
        return window_[(first_ + index) & (kCapacity - 1)];
    }

    std::array<Moment, kCapacity> window_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    bool open_ = false;  // `current_` is a moment of the run
    Moment current_;
    double along_ = 0.0;  // distance along the run
    Best best_;
};

}  // namespace trackinfo

#endif
