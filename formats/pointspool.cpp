#include "pointspool.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace formats {
namespace {

// The bytes of one point in the file, in this process's own byte order.
// After them come `texts_length` bytes: the track name, then each text
// that `texts` marks, in the order of track::Text, as its length in four
// bytes and its bytes.
struct Stored {
    double values[10];
    std::int64_t time;
    std::uint32_t track;
    std::uint32_t tag;
    std::uint32_t name_length;
    std::uint32_t texts_length;  // the name's included
    std::uint16_t fields;
    std::uint8_t marks;
    std::uint8_t lap_trigger;
    std::uint8_t sport;
    std::uint8_t sub_sport;
    std::uint8_t kind;
    std::uint8_t texts;  // bit i: the point has text i
};

double track::Point::*const kValues[] = {
    &track::Point::latitude, &track::Point::longitude, &track::Point::elevation,
    &track::Point::speed,    &track::Point::course,    &track::Point::heart_rate,
    &track::Point::cadence,  &track::Point::power,     &track::Point::temperature,
    &track::Point::distance,
};
constexpr std::size_t kValueCount = sizeof kValues / sizeof kValues[0];
constexpr std::size_t kStoredSize = sizeof(Stored);
constexpr std::size_t kLengthSize = sizeof(std::uint32_t);

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
    stored.marks =
        static_cast<std::uint8_t>((point.begins_segment ? 1 : 0) | (point.begins_track ? 2 : 0) |
                                  (point.begins_lap ? 4 : 0) | (point.begins_session ? 8 : 0));
    stored.lap_trigger = static_cast<std::uint8_t>(point.lap_trigger);
    stored.sport = point.sport;
    stored.sub_sport = point.sub_sport;
    stored.kind = static_cast<std::uint8_t>(point.kind);
    stored.name_length = static_cast<std::uint32_t>(point.track_name.size());
    std::size_t length = point.track_name.size();
    for (std::size_t i = 0; i < track::kTextCount && !point.texts.Empty(); ++i) {
        const std::string_view text = point.texts.Get(static_cast<track::Text>(i));
        if (!text.empty()) {
            stored.texts = static_cast<std::uint8_t>(stored.texts | (1u << i));
            length += kLengthSize + text.size();
        }
    }
    stored.texts_length = static_cast<std::uint32_t>(length);
    ++added_;
    bool written = out_.WriteBytes(&stored, kStoredSize) &&
                   out_.WriteBytes(point.track_name.data(), point.track_name.size());
    for (std::size_t i = 0; i < track::kTextCount && written; ++i) {
        if ((stored.texts & (1u << i)) != 0) {
            const std::string_view text = point.texts.Get(static_cast<track::Text>(i));
            const auto size = static_cast<std::uint32_t>(text.size());
            written = out_.WriteBytes(&size, kLengthSize) && out_.WriteBytes(text.data(), size);
        }
    }
    return written || Failed(out_.Error());
}

bool PointSpool::StartReading() {
    if (!out_.Flush()) {
        return Failed(out_.Error());
    }
    return in_.Rewind() || Failed(errno);
}

bool PointSpool::ReadTexts(std::size_t size) {
    texts_.resize(size);
    for (std::size_t got = 0; got < size;) {
        if (!in_.Want(1)) {
            return Failed(in_.Error());
        }
        const std::size_t piece = std::min(in_.Size(), size - got);
        std::memcpy(&texts_[got], in_.Data(), piece);
        in_.Skip(piece);
        got += piece;
    }
    return true;
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
    if (!ReadTexts(stored.texts_length) || stored.name_length > stored.texts_length) {
        return Failed(error_);
    }
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
    point.lap_trigger = static_cast<track::LapTrigger>(stored.lap_trigger);
    point.sport = stored.sport;
    point.sub_sport = stored.sub_sport;
    point.kind = static_cast<track::Kind>(stored.kind);
    const std::string_view texts(texts_);
    point.track_name.assign(texts.substr(0, stored.name_length));
    std::size_t at = stored.name_length;
    for (std::size_t i = 0; i < track::kTextCount; ++i) {
        if ((stored.texts & (1u << i)) == 0) {
            continue;
        }
        std::uint32_t size = 0;
        if (texts.size() - at < kLengthSize) {
            return Failed(EIO);
        }
        std::memcpy(&size, texts.data() + at, kLengthSize);
        at += kLengthSize;
        if (texts.size() - at < size) {
            return Failed(EIO);
        }
        point.texts.Set(static_cast<track::Text>(i), texts.substr(at, size));
        at += size;
    }
    return true;
}

bool PointSpool::Restart() {
    if (!out_.Flush()) {
        return Failed(out_.Error());
    }
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) < 0 || !in_.Rewind()) {
        return Failed(errno);
    }
    added_ = 0;
    return true;
}

std::string PointSpool::ErrorText() const {
    return "temporary file in " + directory_ + ": " + std::strerror(error_);
}

}  // namespace formats
