#include "fastest.h"

namespace trackinfo {

void FastestStretch::Restart(std::uint32_t time) {
    Break();
    current_ = Moment{time, 0.0, 0.0};
    along_ = 0.0;
    open_ = true;
}

void FastestStretch::Extend(double metres, std::uint32_t time) {
    if (!open_) {
        Restart(time);
        return;
    }
    along_ += metres;
    if (time == current_.time) {
        current_.last = along_;
        return;
    }
    Close();
    current_ = Moment{time, along_, along_};
}

void FastestStretch::Break() {
    if (open_) {
        Close();
    }
    open_ = false;
    count_ = 0;
}

bool FastestStretch::Best::Beats(const Best& other) const {
    // metres / seconds > other.metres / other.seconds, both times above 0.
    return found && (!other.found || metres * static_cast<double>(other.seconds) >
                                         other.metres * static_cast<double>(seconds));
}

FastestStretch::Best FastestStretch::BestEndingAt(const Moment& end) const {
    Best best;
    // The window is in time order: the starts far enough back come first.
    for (std::size_t k = 0; k < count_; ++k) {
        const Moment& start = At(k);
        const std::int64_t seconds = end.time - start.time;
        if (seconds < kShortestSeconds) {
            break;
        }
        const Best stretch{true, end.last - start.first, seconds,
                           static_cast<std::uint32_t>(start.time),
                           static_cast<std::uint32_t>(end.time)};
        if (stretch.Beats(best)) {
            best = stretch;
        }
    }
    return best;
}

void FastestStretch::Close() {
    // The latest start at least 10 s back; what lies 10 s or more before it
    // is never needed again, not even for this end.
    std::int64_t latest_start = -1;
    for (std::size_t k = 0; k < count_ && current_.time - At(k).time >= kShortestSeconds; ++k) {
        latest_start = At(k).time;
    }
    while (count_ > 0 && latest_start >= 0 && At(0).time <= latest_start - kShortestSeconds) {
        first_ = (first_ + 1) & (kCapacity - 1);
        --count_;
    }
    const Best ending = BestEndingAt(current_);
    if (ending.Beats(best_)) {
        best_ = ending;
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
    return best.metres / static_cast<double>(best.seconds);
}

std::uint32_t FastestStretch::StartTime() const {
    return Overall().start;
}

std::uint32_t FastestStretch::EndTime() const {
    return Overall().end;
}

}  // namespace trackinfo
