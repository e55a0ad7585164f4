// The GeoJSON reader on arbitrary documents: it ends, every point it gives
// has a position within ±90 and ±180 and finite values, waypoints begin
// nothing, names are UTF-8 (escapes decoded, long strings cut between
// characters), and a salvaging read gives the same points first.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/utf8.h"

namespace {

bool IsUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = formats::Utf8Sequence(p, end);
        if (length <= 0) {
            return false;
        }
        p += length;
    }
    return true;
}

std::vector<track::Point> Read(const std::string& name, bool salvage, bool& failed) {
    formats::ReadError error;
    const auto reader = formats::OpenReader(name, formats::Format::Named("geojson"), error);
    FUZZ_CHECK(reader != nullptr);
    reader->Salvage(salvage);
    std::vector<track::Point> points;
    track::Point point;
    while (reader->Next(point)) {
        FUZZ_CHECK(point.Has(track::kPosition) && std::fabs(point.latitude) <= 90 &&
                   std::fabs(point.longitude) <= 180);
        for (const track::Field field : {track::kElevation, track::kHeartRate, track::kCadence,
                                         track::kPower, track::kTemperature}) {
            FUZZ_CHECK(!point.Has(field) || std::isfinite(point.Get(field)));
        }
        FUZZ_CHECK(point.kind != track::Kind::kWaypoint ||
                   (!point.begins_track && !point.begins_segment));
        FUZZ_CHECK(!point.begins_track || point.begins_segment);
        FUZZ_CHECK(IsUtf8(point.track_name) && IsUtf8(point.texts.Get(track::Text::kName)));
        if (points.size() < 64) {
            points.push_back(point);
        }
    }
    FUZZ_CHECK(!reader->Next(point));
    failed = reader->Failed();
    FUZZ_CHECK(!failed || !reader->Error().reason.empty());
    FUZZ_CHECK(!salvage || !failed || points.empty() || reader->Error().system_error != 0);
    return points;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string& name = input.Hold(data, size);
    bool failed = false;
    bool salvaged_failed = false;
    const std::vector<track::Point> plain = Read(name, false, failed);
    const std::vector<track::Point> salvaged = Read(name, true, salvaged_failed);
    FUZZ_CHECK(salvaged.size() >= plain.size());
    FUZZ_CHECK(!salvaged_failed || failed);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        FUZZ_CHECK(plain[i].latitude == salvaged[i].latitude &&
                   plain[i].longitude == salvaged[i].longitude);
    }
    return 0;
}
