// Both engines of the XML stream on the same input: the scanner (with expat
// behind it where it gives up) and expat alone give the handler the same
// starts, ends, places, text and error; and the GPX reader makes the same
// points, tallies and error of it with either, as does the TCX reader.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "../tests/support/xmlevents.h"
#include "fuzz_support.h"
#include "tracktools/formats/gpx/gpxreader.h"
#include "tracktools/formats/tcx/tcxreader.h"

namespace {

struct Read {
    std::vector<track::Point> points;
    std::uint64_t count = 0;
    formats::ReadError error;
    std::vector<std::uint64_t> tallies;
};

template <typename XmlReader>
Read ReadWith(const std::string& name, formats::XmlEngine engine) {
    auto file = std::make_unique<io::InputFile>();
    FUZZ_CHECK(file->Open(name));
    XmlReader reader(std::move(file), engine);
    Read read;
    track::Point point;
    while (reader.Next(point)) {
        if (read.points.size() < 64) {
            read.points.push_back(point);
        }
        ++read.count;
    }
    read.error = reader.Error();
    for (const formats::Tally& tally : reader.Tallies()) {
        read.tallies.push_back(tally.count);
    }
    return read;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SamePoint(const track::Point& a, const track::Point& b) {
    const GPL_Data_Point x = track::ToRecord(a);
    const GPL_Data_Point y = track::ToRecord(b);
    return std::memcmp(&x, &y, sizeof x) == 0 && SameBits(a.latitude, b.latitude) &&
           SameBits(a.longitude, b.longitude) && SameBits(a.elevation, b.elevation) &&
           a.time == b.time && SameBits(a.speed, b.speed) && SameBits(a.course, b.course) &&
           SameBits(a.heart_rate, b.heart_rate) && SameBits(a.cadence, b.cadence) &&
           SameBits(a.power, b.power) && SameBits(a.temperature, b.temperature) &&
           SameBits(a.distance, b.distance) && a.fields == b.fields &&
           a.begins_segment == b.begins_segment && a.begins_track == b.begins_track &&
           a.track == b.track && a.track_name == b.track_name && a.tag == b.tag;
}

template <typename XmlReader>
void CompareReaders(const std::string& name) {
    const Read scanned = ReadWith<XmlReader>(name, formats::XmlEngine::kScanner);
    const Read expat = ReadWith<XmlReader>(name, formats::XmlEngine::kExpat);
    FUZZ_CHECK(scanned.count == expat.count && scanned.tallies == expat.tallies);
    FUZZ_CHECK(scanned.error.reason == expat.error.reason &&
               scanned.error.where.line == expat.error.where.line &&
               scanned.error.where.column == expat.error.where.column);
    for (std::size_t i = 0; i < scanned.points.size(); ++i) {
        FUZZ_CHECK(SamePoint(scanned.points[i], expat.points[i]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string name = input.Hold(data, size);
    // Half the inputs with a handler that takes only some of the text.
    const bool some_text = size > 0 && data[size - 1] % 2 == 1;
    testing_support::XmlEvents events[2];
    const formats::XmlEngine engines[2] = {formats::XmlEngine::kScanner,
                                           formats::XmlEngine::kExpat};
    for (int i = 0; i < 2; ++i) {
        io::InputFile file;
        FUZZ_CHECK(file.Open(name));
        events[i] = testing_support::XmlRecorder::Read(file, engines[i], some_text);
    }
    FUZZ_CHECK(!events[1].scanned);
    FUZZ_CHECK(events[0].events == events[1].events);
    // Text that an error cuts off may differ; without one there is none.
    FUZZ_CHECK(events[0].events.find("error ") != std::string::npos ||
               events[0].text == events[1].text);

    CompareReaders<formats::GpxReader>(name);
    CompareReaders<formats::TcxReader>(name);
    return 0;
}
