#include "writing.h"

#include <cmath>

#include "tallies.h"

namespace formats {
namespace {

// The words of a value that was not kept, in the order of kSensorFields.
const char* const kNotKept[][2] = {
    {"heart rate was not kept", "heart rates were not kept"},
    {"cadence was not kept", "cadences were not kept"},
    {"power reading was not kept", "power readings were not kept"},
    {"temperature was not kept", "temperatures were not kept"},
};
static_assert(sizeof kNotKept / sizeof kNotKept[0] == track::kSensorCount,
              "words for every sensor value");

}  // namespace

bool HasValidPosition(const track::Point& point) {
    // Comparisons with NaN are false: a NaN is out of range.
    return point.Has(track::kPosition) && std::fabs(point.latitude) <= 90.0 &&
           std::fabs(point.longitude) <= 180.0;
}

void PositionFilter::AppendTallies(std::vector<Tally>& tallies, bool altitude) const {
    tallies.push_back(SkippedWithoutPosition(without_position_));
    tallies.push_back(SkippedForPosition(not_held_, altitude));
}

void KindLosses::AppendTallies(std::vector<Tally>& tallies) const {
    tallies.push_back({waypoints_, "waypoint was not kept", "waypoints were not kept", true});
    tallies.push_back(
        {routes_, "route was written as a track", "routes were written as tracks", false});
}

bool SpoolingWriter::SetAside(const track::Point& point) {
    if (!open_ && !spool_.Open()) {
        return SpoolFailed();
    }
    open_ = true;
    return spool_.Add(point) || SpoolFailed();
}

bool SpoolingWriter::ReadAside() {
    return spool_.StartReading() || SpoolFailed();
}

bool SpoolingWriter::SpoolFailed() {
    Fail(spool_.Error(), spool_.ErrorText());
    return false;
}

void Losses::Count(const track::Point& point, Breaks::Kind kind) {
    for (std::size_t i = 0; i < track::kSensorCount; ++i) {
        const track::Field field = track::kSensorFields[i];
        values_[i] += (dropped_ & field) != 0 && point.Has(field) ? 1 : 0;
    }
    // The first point written begins a track, which breaks nothing.
    breaks_lost_ += segments_ && kind != Breaks::kNone && started_ ? 1 : 0;
    started_ = true;
}

void Losses::AppendTallies(std::vector<Tally>& tallies) const {
    for (std::size_t i = 0; i < track::kSensorCount; ++i) {
        tallies.push_back({values_[i], kNotKept[i][0], kNotKept[i][1], false});
    }
    tallies.push_back(
        {breaks_lost_, "segment break was not kept", "segment breaks were not kept", false});
}

}  // namespace formats
