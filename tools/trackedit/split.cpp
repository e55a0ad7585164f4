#include "split.h"

#include "timearg.h"

namespace trackedit {

bool Splitter::Begins(const track::Point& point) {
    if (split_ == Split::kSegments) {
        return point.begins_segment || point.begins_track;
    }
    if (!point.Has(track::kTime)) {
        return false;
    }
    bool begins = false;
    if (split_ == Split::kGap) {
        // Times 300 years apart overflow 64 bits of nanoseconds.
        __extension__ typedef __int128 Wide;
        begins = timed_ && static_cast<Wide>(point.time.Nanoseconds()) - last_.Nanoseconds() > gap_;
    } else if (split_ == Split::kDay) {
        const std::int64_t day =
            timed_ && point.time.Seconds() == last_.Seconds() ? last_day_ : LocalDay(point.time);
        begins = timed_ && day != last_day_;
        last_day_ = day;
    }
    timed_ = true;
    last_ = point.time;
    return begins;
}

}  // namespace trackedit
