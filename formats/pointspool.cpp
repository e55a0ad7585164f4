#include "pointspool.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace formats {
namespace {

// The bytes of one point in the file, in this process's own byte order.
struct Stored {
    double values[10];
    std::int64_t time;
    std::uint32_t track;
    std::uint32_t tag;
    std::uint16_t fields;
    std::uint8_t marks;
    std::uint8_t lap_trigger;
    std::uint8_t sport;
    std::uint8_t sub_sport;
};

double track::Point::*const kValues[] = {
    &track::Point::latitude, &track::Point::longitude, &track::Point::elevation,
    &track::Point::speed,    &track::Point::course,    &track::Point::heart_rate,
    &track::Point::cadence,  &track::Point::power,     &track::Point::temperature,
    &track::Point::distance,
};
constexpr std::size_t kValueCount = sizeof kValues / sizeof kValues[0];
constexpr std::size_t kStoredSize = sizeof(Stored);

}  // namespace

PointSpool::~PointSpool() {
    out_.Close();
    in_.Close();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool PointSpool::Failed(int error) {
    error_ = error != 0 ? error : EIO;
    return false;
}

bool PointSpool::Open() {
    const char* directory = std::getenv("TMPDIR");
    directory_ = directory != nullptr && *directory != '\0' ? directory : "/tmp";
    std::string name = directory_ + "/tracktools-points-XXXXXX";
    std::vector<char> path(name.begin(), name.end());
    path.push_back('\0');
    fd_ = ::mkstemp(path.data());
    if (fd_ < 0) {
        return Failed(errno);
    }
    name = path.data();
    // A second open of the name reads from its own offset; then the name goes.
    const bool readable = in_.Open(name);
    const int error = errno;
    ::unlink(name.c_str());
    if (!readable) {
        return Failed(error);
    }
    out_.Attach(fd_);
    return true;
}

bool PointSpool::Add(const track::Point& point) {
    Stored stored = {};
    for (std::size_t i = 0; i < kValueCount; ++i) {
        stored.values[i] = point.*kValues[i];
    }
    stored.time = point.time.Nanoseconds();
    stored.track = point.track;
    stored.tag = point.tag;
    stored.fields = point.fields;
    stored.marks = static_cast<std::uint8_t>(
        (point.begins_segment ? 1 : 0) | (point.begins_track ? 2 : 0) | (point.begins_lap ? 4 : 0) |
        (point.begins_session ? 8 : 0) | (static_cast<unsigned>(point.kind) << 4));
    stored.lap_trigger = static_cast<std::uint8_t>(point.lap_trigger);
    stored.sport = point.sport;
    stored.sub_sport = point.sub_sport;
    ++added_;
    return out_.WriteBytes(&stored, kStoredSize) || Failed(out_.Error());
}

bool PointSpool::StartReading() {
    if (!out_.Flush()) {
        return Failed(out_.Error());
    }
    return in_.Rewind() || Failed(errno);
}

bool PointSpool::Next(track::Point& point) {
    if (!in_.Want(kStoredSize)) {
        // The file holds whole points only: anything else is an error.
        if (in_.Failed() || in_.Size() > 0) {
            Failed(in_.Error());
        }
        return false;
    }
    Stored stored;
    std::memcpy(&stored, in_.Data(), kStoredSize);
    in_.Skip(kStoredSize);
    point.Reset();
    for (std::size_t i = 0; i < kValueCount; ++i) {
        point.*kValues[i] = stored.values[i];
    }
    point.time = track::Instant::FromNanoseconds(stored.time);
    point.track = stored.track;
    point.tag = stored.tag;
    point.fields = stored.fields;
    point.begins_segment = (stored.marks & 1) != 0;
    point.begins_track = (stored.marks & 2) != 0;
    point.begins_lap = (stored.marks & 4) != 0;
    point.begins_session = (stored.marks & 8) != 0;
    point.kind = static_cast<track::Kind>((stored.marks >> 4) & 3);
    point.lap_trigger = static_cast<track::LapTrigger>(stored.lap_trigger);
    point.sport = stored.sport;
    point.sub_sport = stored.sub_sport;
    return true;
}

std::string PointSpool::ErrorText() const {
    return "temporary file in " + directory_ + ": " + std::strerror(error_);
}

}  // namespace formats
