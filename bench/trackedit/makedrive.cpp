// Writes a synthetic drive of N GPL records to standard output for the
// benchmarks of trackedit: a point a second at 10 to 30 m/s along a road
// that bends, a stop every few hundred points, a metre of noise on every
// fix, always on the globe (it turns back before the poles).
// Usage: makedrive N > drive.gpl
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makedrive N > drive.gpl\n");
        return 2;
    }
    const unsigned long long count = std::strtoull(argv[1], nullptr, 10);
    const double radius = 6371008.8, degree = 3.14159265358979323846 / 180;
    std::mt19937_64 random(20250614);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double lat = 46.9481, lon = 7.4474, heading = 60, turn = 0, speed = 20;
    std::uint32_t time = 1749893400u;
    static unsigned char block[56 * 4096];
    for (unsigned long long done = 0; done < count;) {
        std::size_t n = 0;
        for (; n < 4096 && done < count; ++n, ++done) {
            if (done % 400 >= 20) {
                turn = 0.9 * turn + 0.6 * (unit(random) - 0.5);  // a road's bends
                heading += turn + (std::fabs(lat) > 70 && std::cos(heading * degree) * lat > 0 ? 5 : 0);
                speed = std::fmin(30, std::fmax(10, speed + unit(random) - 0.5));
                lat += speed * std::cos(heading * degree) / radius / degree;
                lon = std::remainder(lon + speed * std::sin(heading * degree) /
                                               (radius * std::cos(lat * degree)) / degree,
                                     360);
            }
            const double fix[2] = {lat + noise(random) / radius / degree,
                                   lon + noise(random) / (radius * std::cos(lat * degree)) / degree};
            const double rest[3] = {1771.0, std::fmod(heading + 360000, 360), speed / 0.44704};
            const std::uint32_t words[4] = {static_cast<std::uint32_t>(done + 1), 0, time++, 0};
            unsigned char* r = block + 56 * n;
            std::memcpy(r, &words[0], 8);
            std::memcpy(r + 8, fix, 16);
            std::memcpy(r + 24, rest, 24);
            std::memcpy(r + 48, &words[2], 8);
        }
        if (std::fwrite(block, 56, n, stdout) != n) {
            return 1;
        }
    }
    return 0;
}
