#include "stage.h"

namespace tools {

void Stage::TakePendingMarks(track::Point& point) {
    point.begins_segment = true;
    if (pending_track_ && !point.begins_track) {
        point.begins_track = true;
        point.track_name = std::move(pending_name_);
    }
    pending_segment_ = pending_track_ = false;
    pending_name_.clear();
}

void Stage::Drop(track::Point& point) {
    ++dropped_;
    if (point.kind == track::Kind::kWaypoint) {
        return;  // a waypoint begins nothing
    }
    // A later track's start wins: the earlier track lost all its points.
    if (point.begins_track) {
        pending_track_ = true;
        pending_name_ = std::move(point.track_name);
    }
    pending_segment_ = pending_segment_ || point.begins_segment || point.begins_track;
}

}  // namespace tools
