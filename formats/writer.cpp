#include "writer.h"

#include <cmath>
#include <cstring>
#include <utility>

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

Writer::Writer(Format format, int fd) : format_(format) {
    output_.Attach(fd);
}

bool Writer::Check(bool written_out) {
    if (!written_out && !failed_) {
        const int error = output_.Error();
        Fail(error, std::strerror(error));
    }
    return !failed_;
}

bool Writer::Close() {
    return Check(output_.Close());
}

void Writer::Fail(int system_error, std::string reason) {
    failed_ = true;
    error_.system_error = system_error;
    error_.reason = std::move(reason);
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

bool HasValidPosition(const track::Point& point) {
    // Comparisons with NaN are false: a NaN is out of range.
    return point.Has(track::kPosition) && std::fabs(point.latitude) <= 90.0 &&
           std::fabs(point.longitude) <= 180.0;
}

std::unique_ptr<Writer> OpenWriter(Format format, int fd, const WriterOptions& options) {
    if (!format.Writable()) {
        return nullptr;
    }
    return format.Row()->write(fd, options);
}

}  // namespace formats
