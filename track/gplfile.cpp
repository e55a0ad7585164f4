#include "gplfile.h"

#include <cstdint>
#include <cstring>

namespace gpl {
namespace {

// Little-endian load and store. On a little-endian host they are plain
// copies; elsewhere the bytes are assembled one by one.
template <typename Word>
Word LoadLE(const unsigned char* bytes) {
    Word value = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&value, bytes, sizeof value);
#else
    for (std::size_t i = sizeof(Word); i-- > 0;) {
        value = static_cast<Word>((value << 8) | bytes[i]);
    }
#endif
    return value;
}

template <typename Word>
void StoreLE(Word value, unsigned char* bytes) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(bytes, &value, sizeof value);
#else
    for (std::size_t i = 0; i < sizeof(Word); ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
#endif
}

double LoadDouble(const unsigned char* bytes) {
    static_assert(sizeof(double) == 8, "records hold IEEE 754 binary64 values");
    const std::uint64_t bits = LoadLE<std::uint64_t>(bytes);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void StoreDouble(double value, unsigned char* bytes) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    StoreLE(bits, bytes);
}

}  // namespace

void detail::DecodeFields(const unsigned char* bytes, GPL_Data_Point& point) {
    point.Tag = LoadLE<std::uint32_t>(bytes + 0);
    point.Reserved1 = LoadLE<std::uint32_t>(bytes + 4);
    point.Latitude = LoadDouble(bytes + 8);
    point.Longitude = LoadDouble(bytes + 16);
    point.Altitude = LoadDouble(bytes + 24);
    point.Heading = LoadDouble(bytes + 32);
    point.Speed = LoadDouble(bytes + 40);
    point.Time = LoadLE<std::uint32_t>(bytes + 48);
    point.Reserved2 = LoadLE<std::uint32_t>(bytes + 52);
}

void detail::EncodeFields(const GPL_Data_Point& point, unsigned char* bytes) {
    StoreLE(point.Tag, bytes + 0);
    StoreLE(point.Reserved1, bytes + 4);
    StoreDouble(point.Latitude, bytes + 8);
    StoreDouble(point.Longitude, bytes + 16);
    StoreDouble(point.Altitude, bytes + 24);
    StoreDouble(point.Heading, bytes + 32);
    StoreDouble(point.Speed, bytes + 40);
    StoreLE(point.Time, bytes + 48);
    StoreLE(point.Reserved2, bytes + 52);
}

bool detail::ReadPartial(io::InputFile& file, std::size_t* partial) {
    if (partial != nullptr) {
        *partial = file.Size();
    }
    file.Skip(file.Size());  // the bytes of a partial record are not used
    return false;
}

}  // namespace gpl
