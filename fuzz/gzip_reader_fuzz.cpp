// gzip input on arbitrary bytes: the first byte chooses whether the rest is
// the file itself (damaged members, bytes after the last one) or a track
// file that is packed here, so that mutations reach the reader within.
// Either way the read ends with its points or a reason, and a packed file
// reads as the same points as the file unpacked.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "formats_fuzz.h"

namespace {

// `bytes` as one gzip member.
std::vector<std::uint8_t> Pack(const std::uint8_t* bytes, std::size_t size) {
    z_stream stream{};
    FUZZ_CHECK(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8,
                            Z_DEFAULT_STRATEGY) == Z_OK);
    std::vector<std::uint8_t> packed(deflateBound(&stream, static_cast<uLong>(size)) + 32);
    stream.next_in = const_cast<Bytef*>(bytes);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    FUZZ_CHECK(deflate(&stream, Z_FINISH) == Z_STREAM_END);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile plain;
    if (size == 0) {
        return 0;
    }
    const bool pack = (data[0] & 1) != 0;
    ++data;
    --size;
    if (!pack) {
        if (size < 2 || data[0] != 0x1F || data[1] != 0x8B) {
            return 0;  // not read as gzip at all
        }
        fuzz::ReadAll(input.Hold(data, size), formats::Format(), false);
        return 0;
    }
    const std::vector<std::uint8_t> packed = Pack(data, size);
    const std::string packed_name = input.Hold(packed.data(), packed.size());
    const std::string plain_name = plain.Hold(data, size);
    formats::ReadError error;
    const bool packed_inside = (size >= 2 && data[0] == 0x1F && data[1] == 0x8B) ||
                               (size >= 4 && std::memcmp(data, "PK\3\4", 4) == 0);
    if (packed_inside || formats::OpenReader(plain_name, formats::Format(), error) == nullptr) {
        // Contents of a format the suite cannot read, and a packed file
        // inside, are refused, when opened or at the first read.
        const auto reader = formats::OpenReader(packed_name, formats::Format(), error);
        track::Point point;
        FUZZ_CHECK(reader == nullptr || (!reader->Next(point) && reader->Failed()));
        return 0;
    }
    const fuzz::Points unpacked = fuzz::ReadAll(packed_name, formats::Format(), false);
    const fuzz::Points direct = fuzz::ReadAll(plain_name, formats::Format(), false);
    // The contents are read by the reader their bytes call for, as a
    // file of them would be: the same points, and the same end.
    FUZZ_CHECK(unpacked.count == direct.count);
    FUZZ_CHECK(unpacked.failed == direct.failed);
    for (std::size_t i = 0; i < unpacked.points.size(); ++i) {
        const track::Point& a = unpacked.points[i];
        const track::Point& b = direct.points[i];
        FUZZ_CHECK(a.fields == b.fields && a.kind == b.kind);
        FUZZ_CHECK(fuzz::Same(a.latitude, b.latitude) && fuzz::Same(a.longitude, b.longitude));
        FUZZ_CHECK(a.time == b.time && a.begins_segment == b.begins_segment);
    }
    return 0;
}
