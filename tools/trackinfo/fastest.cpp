#include "fastest.h"

namespace trackinfo {
namespace {

constexpr std::int64_t kShortest = FastestStretch::kShortestSeconds * 1000000000LL;

}  // namespace

void FastestStretch::Restart(track::Instant time) {
    Break();
    current_ = Moment{time.Nanoseconds(), 0.0, 0.0};
    along_ = 0.0;
    open_ = true;
}

void FastestStretch::Extend(double metres, track::Instant time) {
    if (!open_) {
        Restart(time);
        return;
    }
    along_ += metres;
    if (time.Nanoseconds() == current_.time) {
        current_.last = along_;
        return;
    }
    Close();
    current_ = Moment{time.Nanoseconds(), along_, along_};
}

void FastestStretch::Break() {
    if (open_) {
        Close();
    }
    open_ = false;
    count_ = 0;
}

bool FastestStretch::Best::Beats(const Best& other) const {
    // metres / time > other.metres / other.time, both times above 0.
    return found && (!other.found || metres * static_cast<double>(other.nanoseconds) >
                                         other.metres * static_cast<double>(nanoseconds));
}

FastestStretch::Best FastestStretch::BestEndingAt(const Moment& end) const {
    Best best;
    // The window is in time order: the starts far enough back come first.
    for (std::size_t k = 0; k < count_; ++k) {
        const Moment& start = At(k);
        const std::int64_t nanoseconds = end.time - start.time;
        if (nanoseconds < kShortest) {
            break;
        }
        const Best stretch{true, end.last - start.first, nanoseconds, start.time, end.time};
        if (stretch.Beats(best)) {
            best = stretch;
        }
    }
    return best;
}

void FastestStretch::Close() {
    // The latest start at least 10 s back; what lies 10 s or more before it
    // is never needed again, not even for this end.
    std::size_t latest = count_;
    for (std::size_t k = 0; k < count_ && current_.time - At(k).time >= kShortest; ++k) {
        latest = k;
    }
    if (latest < count_) {
        const std::int64_t latest_start = At(latest).time;
        while (count_ > 0 && At(0).time <= latest_start - kShortest) {
            first_ = (first_ + 1) & (kCapacity - 1);
            --count_;
        }
    }
    const Best ending = BestEndingAt(current_);
    if (ending.Beats(best_)) {
        best_ = ending;
    }
    if (count_ == kCapacity) {  // a log too dense for the ring: the oldest start goes
        first_ = (first_ + 1) & (kCapacity - 1);
        --count_;
    }
    window_[(first_ + count_) & (kCapacity - 1)] = current_;
    ++count_;
}

FastestStretch::Best FastestStretch::Overall() const {
    const Best open = open_ ? BestEndingAt(current_) : Best{};
    return open.Beats(best_) ? open : best_;
}

bool FastestStretch::Found() const {
    return Overall().found;
}

double FastestStretch::MetresPerSecond() const {
    const Best best = Overall();
    return best.metres / (static_cast<double>(best.nanoseconds) / 1e9);
}

track::Instant FastestStretch::StartTime() const {
    return track::Instant::FromNanoseconds(Overall().start);
}

track::Instant FastestStretch::EndTime() const {
    return track::Instant::FromNanoseconds(Overall().end);
}

}  // namespace trackinfo
