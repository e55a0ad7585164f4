// trailview's number writer against printf's "%g", for every double the
// input holds (8 bytes each).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "fuzz_support.h"
#include "vrmlscene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    do {
        const double value = in.Double();
        char written[vrml::kNumberSize + 1];
        const std::size_t length = vrml::FormatNumber(value, written);
        FUZZ_CHECK(length > 0 && length <= vrml::kNumberSize);
        written[length] = '\0';
        char expected[64];
        std::snprintf(expected, sizeof expected, "%g", value);
        if (std::strcmp(written, expected) != 0) {
            std::fprintf(stderr, "%a: got [%s], printf [%s]\n", value, written, expected);
            FUZZ_CHECK(std::strcmp(written, expected) == 0);
        }
    } while (in.left() > 0);
    return 0;
}
