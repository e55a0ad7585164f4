// Writes an NMEA 0183 log of N fixes to standard output, each a GGA and an
// RMC sentence with checksums, one second apart from 2019-12-31 23:00:00
// UTC (so the log crosses midnight and the new year), on a drive north-east.
// Usage: makenmea N > log.nmea
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void Sentence(const char* body) {
    unsigned sum = 0;
    for (const char* c = body; *c != '\0'; ++c) {
        sum ^= static_cast<unsigned char>(*c);
    }
    std::printf("$%s*%02X\r\n", body, sum);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makenmea N > log.nmea\n");
        return 2;
    }
    const long long count = std::strtoll(argv[1], nullptr, 10);
    const std::time_t start = 1577833200;  // 2019-12-31T23:00:00Z
    char body[160];
    for (long long i = 0; i < count; ++i) {
        const std::time_t t = start + static_cast<std::time_t>(i);
        std::tm utc{};
        gmtime_r(&t, &utc);
        // Ten-thousandths of a minute of arc.
        const long long lat = 47LL * 600000 + 223000 + (i * 7) % 3000000;
        const long long lon = 8LL * 600000 + 318000 + (i * 11) % 3000000;
        char head[96];
        std::snprintf(head, sizeof head,
                      "%02d%02d%02d.00,%%s%02lld%02lld.%04lld,N,%03lld%02lld.%04lld,E", utc.tm_hour,
                      utc.tm_min, utc.tm_sec, lat / 600000, lat / 10000 % 60, lat % 10000,
                      lon / 600000, lon / 10000 % 60, lon % 10000);
        char gga[96];
        char rmc[96];
        std::snprintf(gga, sizeof gga, head, "");
        std::snprintf(rmc, sizeof rmc, head, "A,");
        std::snprintf(body, sizeof body, "GNGGA,%s,1,09,0.8,%.1f,M,47.3,M,,", gga,
                      400.0 + static_cast<double>(i % 5000) * 0.1);
        Sentence(body);
        std::snprintf(body, sizeof body, "GNRMC,%s,%.1f,%.1f,%02d%02d%02d,,,A", rmc,
                      10.0 + static_cast<double>(i % 100) * 0.1,
                      static_cast<double>(i % 3600) / 10.0, utc.tm_mday, utc.tm_mon + 1,
                      utc.tm_year % 100);
        Sentence(body);
    }
    return 0;
}
