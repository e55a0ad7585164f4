// Writes a synthetic GPL track of N records to standard output: a drive of
// short legs with a stop every few hundred points, for benchmarks.
// Usage: maketrack N > track.gpl
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Put32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

void PutDouble(unsigned char* at, double d) {
    std::uint64_t v;
    std::memcpy(&v, &d, sizeof v);
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: maketrack N > track.gpl\n");
        return 2;
    }
    const unsigned long long count = std::strtoull(argv[1], nullptr, 10);
    static unsigned char block[56 * 4096];
    double lat = 47.0, lon = 8.0, alt = 1300.0;
    std::uint32_t time = 1700000000u;
    std::uint32_t seed = 12345u;
    unsigned long long done = 0;
    while (done < count) {
        std::size_t n = 0;
        for (; n < 4096 && done < count; ++n, ++done) {
            seed = seed * 1664525u + 1013904223u;
            const bool stopped = (done % 400) < 20;
            const double speed = stopped ? 0.0 : 20.0 + (seed >> 24) / 8.0;
            if (!stopped) {
                lat += 1e-5 * ((seed >> 8) & 0xff) / 255.0;
                lon += 1e-5 * ((seed >> 16) & 0xff) / 255.0;
                alt += ((seed & 3) == 0) ? 1.0 : -0.25;
            }
            time += 1;
            unsigned char* r = block + 56 * n;
            Put32(r, static_cast<std::uint32_t>(done));
            Put32(r + 4, 0);
            PutDouble(r + 8, lat);
            PutDouble(r + 16, lon);
            PutDouble(r + 24, alt);
            PutDouble(r + 32, 45.0);
            PutDouble(r + 40, speed);
            Put32(r + 48, time);
            Put32(r + 52, 0);
        }
        if (std::fwrite(block, 56, n, stdout) != n)
            return 1;
    }
    return 0;
}
