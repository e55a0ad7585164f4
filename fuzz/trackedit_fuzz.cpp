// trackedit's edits with any set of options on any track the bytes make:
// they end, the points that come out are input points in their order, every
// point dropped is counted once, and each edit's bound holds on what is
// left.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "edits.h"
#include "fuzz_support.h"
#include "measure.h"

namespace {

// A byte as a fraction, 0 to 1.
double Unit(fuzz::Bytes& bytes) {
    return bytes.Byte() / 255.0;
}

// Points that wander from a place the bytes choose: short steps, with jumps,
// repeats, time steps back, points without a time or position, segments and
// tracks. Each point's tag is its number.
std::vector<track::Point> Track(fuzz::Bytes& bytes) {
    double latitude = 180 * Unit(bytes) - 90, longitude = 360 * Unit(bytes) - 180;
    std::int64_t time = 1556685000000000000LL;
    std::vector<track::Point> points;
    while (bytes.left() > 0 && points.size() < 5000) {
        std::int8_t step[3];
        bytes.Take(step, sizeof step);
        const std::uint8_t flags = bytes.Byte();
        const double scale = flags & 1 ? 1e-2 : 1e-5;
        latitude = std::fmax(-90, std::fmin(90, latitude + step[0] * scale));
        longitude = std::remainder(longitude + step[1] * scale, 360);
        time += (flags & 2 ? -step[2] : step[2]) * 250000000LL;
        track::Point point;
        if (!(flags & 4) || points.empty()) {
            point.SetPosition(latitude, longitude);
        }
        if (!(flags & 8)) {
            point.SetTime(track::Instant::FromNanoseconds(time));
        }
        if (flags & 16 && !points.empty()) {
            point = points.back();
            point.track_name.clear();
        }
        point.begins_segment = points.empty() || (flags & 96) == 32;
        point.begins_track = points.empty() || (flags & 96) == 96;
        point.begins_segment = point.begins_segment || point.begins_track;
        point.track_name = point.begins_track ? "t" : "";
        point.tag = static_cast<std::uint32_t>(points.size());
        points.push_back(point);
    }
    return points;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes bytes(data, size);
    const std::uint16_t chosen = static_cast<std::uint16_t>(bytes.Byte() | bytes.Byte() << 8);
    std::uint8_t values[12];
    bytes.Take(values, sizeof values);
    const std::vector<track::Point> in = Track(bytes);
    if (in.empty()) {
        return 0;
    }
    const track::Point& some = in[values[0] % in.size()];
    const track::Point& other = in[values[1] % in.size()];

    trackedit::EditOptions o;
    o.from_given = chosen & 1;
    o.to_given = chosen & 2;
    o.from = some.time < other.time ? some.time : other.time;
    o.to = some.time < other.time ? other.time : some.time;
    if (chosen & 4) {
        o.box_given = true;
        o.south = std::fmin(some.latitude, other.latitude);
        o.north = std::fmax(some.latitude, other.latitude);
        o.west = some.longitude, o.east = other.longitude;
    }
    if (chosen & 8) {
        o.hidden.push_back({some.latitude, some.longitude, values[2] * 10.0});
        o.hidden.push_back({other.latitude, other.longitude, values[3] * 1.0});
    }
    o.trim = chosen & 16 ? values[4] * 5.0 : -1;
    o.spike_speed = chosen & 32 ? values[5] * 1.0 : -1;
    o.dedupe = chosen & 64;
    o.simplify = chosen & 128 ? values[6] / 4.0 : -1;
    o.simplify_window = 2 + values[7];
    o.shift_nanoseconds = chosen & 256 ? (values[8] - 128) * 1000000007LL : 0;
    o.start_given = (chosen & 512) && o.shift_nanoseconds == 0;
    o.start = other.time;
    o.join = chosen & 1024;
    o.name_given = chosen & 2048;
    o.name = "n";

    tools::PointList out;
    std::uint64_t dropped = 0;
    {
        trackedit::Edits edits(o, out);
        for (track::Point point : in) {
            track::Point* taken = &point;
            FUZZ_CHECK(edits.Take(taken));
        }
        FUZZ_CHECK(edits.End());
        for (const formats::Tally& tally : edits.Tallies()) {
            dropped += tally.skipped ? tally.count : 0;
        }
    }
    FUZZ_CHECK(out.points.size() + dropped == in.size());

    const trackedit::Distances distances;
    const bool only_simplified = !(chosen & 127) && o.simplify >= 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < out.points.size(); ++i) {
        const track::Point& point = out.points[i];
        // An input point, after the one before it.
        FUZZ_CHECK(point.tag >= next && point.tag < in.size());
        const track::Point& original = in[point.tag];
        FUZZ_CHECK(point.latitude == original.latitude && point.longitude == original.longitude);
        FUZZ_CHECK(point.track_name.empty() || point.begins_track);
        FUZZ_CHECK(i > 0 || point.begins_track);
        FUZZ_CHECK(!o.join || i == 0 || !(point.begins_segment || point.begins_track));
        if (o.from_given || o.to_given) {
            FUZZ_CHECK(original.Has(track::kTime));
            FUZZ_CHECK(!o.from_given || original.time >= o.from);
            FUZZ_CHECK(!o.to_given || original.time < o.to);
        }
        if (o.box_given) {
            FUZZ_CHECK(original.latitude >= o.south && original.latitude <= o.north);
        }
        for (const trackedit::Zone& zone : o.hidden) {
            FUZZ_CHECK(!original.Has(track::kPosition) ||
                       distances.Metres(zone.latitude, zone.longitude, original.latitude,
                                        original.longitude) > zone.metres);
        }
        if (o.shift_nanoseconds != 0 && point.Has(track::kTime)) {
            FUZZ_CHECK(point.time.Nanoseconds() ==
                       original.time.Nanoseconds() + o.shift_nanoseconds);
        }
        // Between two points kept by -simplify alone, every point lies within
        // the tolerance of the line.
        if (only_simplified && i > 0 && point.Has(track::kPosition) && !point.begins_segment) {
            const track::Point& before = out.points[i - 1];
            for (std::uint32_t tag = before.tag + 1; tag < point.tag; ++tag) {
                FUZZ_CHECK(trackedit::OffLine(before.latitude, before.longitude, point.latitude,
                                              point.longitude, in[tag].latitude,
                                              in[tag].longitude) <= o.simplify * (1 + 1e-9) + 1e-9);
            }
        }
        next = point.tag + 1;
    }
    return 0;
}
