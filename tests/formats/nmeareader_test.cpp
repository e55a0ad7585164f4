// The NMEA reader on sentences composed by hand (their checksums worked out
// apart from the reader) and on a long log of a receiver that loses its fix,
// finds it again and crosses midnight UTC.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "formats_support.h"

namespace {

using formats::Format;
using formats_support::Expected;
using formats_support::ReadAll;
using formats_support::ReadResult;

// Minutes of arc in the log come in ten-thousandths.
void ExpectPoints(const ReadResult& result, const std::vector<Expected>& expected) {
    formats_support::ExpectPoints(result, expected, "log", 1e-12);
}

constexpr double kMph = 1852.0 / 1609.344;  // miles per hour in a knot
constexpr double kFeet = 1 / 0.3048;        // feet in a metre

TEST(NmeaReader, SentencesComposedByHand) {
    const std::string log =
        // GGA before its RMC.
        std::string(
            "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n"
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n"
            // A logger's prefix, CR LF, a GGA after its RMC, an empty course.
            "12:00:01 > $GNRMC,235959.50,A,3351.4210,S,15112.6340,E,0.0,,311299,,,D*77\r\n"
            "$GNGGA,235959.50,3351.4210,S,15112.6340,E,2,12,0.7,-12.5,M,22.1,M,,*72\r\n"
            // No GGA of its own: the next GGA is another fix's. Two RMCs without
            // a fix (status V, mode N) between, and a GGA without a fix after.
            "$GLRMC,000001,A,0000.0000,N,00000.0000,W,,,010100,,,A*7F\n"
            "$GPRMC,000002,V,,,,,,,010100,,,N*51\n"
            "$GPRMC,000003,A,4807.038,N,01131.000,E,1.0,2.0,010100,,,N*7D\n"
            "$GPGGA,000004,4807.038,N,01131.000,E,0,00,,545.4,M,,M,,*75\n"
            "$GPRMC,000004,A,4807.038,N,01131.000,E,1.0,2.0,010100,,,A*75\n"
            "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\n"
            // Malformed: latitude, date, minutes, hemisphere, speed, position,
            // too few fields, time; and one cut off by the next sentence.
            "$GPRMC,000005,A,9107.038,N,01131.000,E,1.0,2.0,010100,,,A*70\n"
            "$GPRMC,000006,A,4807.038,N,01131.000,E,1.0,2.0,320100,,,A*77\n"
            "$GPRMC,000007,A,4860.000,N,01131.000,E,1.0,2.0,010100,,,A*7C\n"
            "$GPRMC,000008,A,4807.038,X,01131.000,E,1.0,2.0,010100,,,A*6F\n"
            "$GPRMC,000009,A,4807.038,N,01131.000,E,fast,2.0,010100,,,A*57\n"
            "$GPRMC,000010,A,,,,,1.0,2.0,010100,,,A*49\n"
            "$GPRMC,000011,A,4807.038,N,01131.000,E,1.0,2.0*30\n"
            "$GPRMC,246060,A,4807.038,N,01131.000,E,1.0,2.0,010100,,,A*77\n"
            "$GPRMC,123519,A,4807.038,N,011$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\n"
            // Bad checksums.
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B\n"
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*ZZ\n") +
        // Noise: no sentence in any of it.
        "hello\n$\n$GP\n$gprmc,1\n" + std::string("\x01\xFF\x00$\x7F\xFE,,\n\n", 10) +
        // 1980 and 2079; the last without a checksum and without a line end.
        "$BDRMC,120000,A,1000.0000,N,10000.0000,E,,,010180,,,A*6A\n"
        "$GAGGA,120000,1000.0000,N,17959.9999,W,1,05,1.0,100.0,M,,,,*16\n"
        "$GARMC,120000,A,1000.0000,N,17959.9999,W,,,311279,,,A";
    const ReadResult result = ReadAll(log, Format::Named("nmea"));
    ExpectPoints(result,
                 {
                     {48 + 7.038 / 60, 11 + 31.0 / 60, 545.4 * kFeet, 764426119, 22.4 * kMph, 84.4},
                     {-(33 + 51.421 / 60), 151 + 12.634 / 60, -12.5 * kFeet, 946684799, 0, 0},
                     {0, -0.0, 0, 946684801, 0, 0},
                     {48 + 7.038 / 60, 11 + 31.0 / 60, 0, 946684804, 1 * kMph, 2},
                     {10, 100, 100 * kFeet, 315576000, 0, 0},
                     {10, -(179 + 59.9999 / 60), 100 * kFeet, 3471249600u, 0, 0},
                 });
    // A fix keeps its fraction of a second; one without a GGA of its time,
    // or with a GGA without a fix, has no elevation.
    ASSERT_EQ(result.model.size(), 6u);
    EXPECT_EQ(result.model[1].time.Fraction(), 500000000);
    const bool elevations[] = {true, true, false, false, true, true};
    for (std::size_t i = 0; i < result.model.size(); ++i) {
        EXPECT_EQ(result.model[i].Has(track::kElevation), elevations[i]) << "point " << i;
    }
    EXPECT_EQ(result.Count("sentences with a bad checksum"), 2u);
    EXPECT_EQ(result.Count("malformed RMC sentences"), 9u);
    EXPECT_EQ(result.Count("RMC sentences without a valid fix"), 2u);
}

// Second 60 is a leap second: the first second of the next minute, as in
// POSIX time, also at the end of the last year the dates reach.
TEST(NmeaReader, ALeapSecondIsTheFirstSecondOfTheNextMinute) {
    const ReadResult result = ReadAll(
        testing_support::NmeaSentence("GPRMC,235960,A,1000.0000,N,01000.0000,E,,,311216,,") +
            testing_support::NmeaSentence("GPRMC,235960.25,A,1000.0000,N,01000.0000,E,,,311279,,"),
        Format::Named("nmea"));
    ASSERT_EQ(result.model.size(), 2u);
    EXPECT_EQ(result.model[0].time, track::Instant::FromSeconds(1483228800));  // 2017-01-01
    EXPECT_EQ(result.model[1].time, track::Instant::FromNanoseconds(3471292800250000000));
}

TEST(NmeaReader, NothingUsableIsNoFailure) {
    for (const std::string& log :
         {std::string(), std::string("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,,,\n"),
          std::string(100000, '\0'), std::string(5000, '$')}) {
        const ReadResult result = ReadAll(log, Format::Named("nmea"));
        EXPECT_FALSE(result.failed);
        EXPECT_TRUE(result.points.empty());
    }
}

// ddmm.mmmm from ten-thousandths of a minute.
std::string Angle(long long ten_thousandths, int degree_digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld%02lld.%04lld", degree_digits, ten_thousandths / 600000,
                  ten_thousandths / 10000 % 60, ten_thousandths % 10000);
    return text;
}

// A receiver at one fix a second from 23:58:20 UTC on 31 December 2019 for
// 200 seconds, driving north-east and climbing. It loses its fix for 20
// seconds (RMC status V, GGA quality 0 with empty fields), and its log
// holds satellite sentences too. The GGA comes first on even seconds and
// after the RMC on odd ones.
TEST(NmeaReader, AReceiverThatLosesItsFixAndCrossesMidnight) {
    const std::uint32_t start = 1577836700;  // 2019-12-31T23:58:20Z
    std::string log;
    std::vector<Expected> expected;
    for (int s = 0; s < 200; ++s) {
        const std::uint32_t time = start + static_cast<std::uint32_t>(s);
        const int second_of_day = static_cast<int>(time % 86400);
        char clock[16];
        char date[8];
        std::snprintf(clock, sizeof clock, "%02d%02d%02d.00", second_of_day / 3600,
                      second_of_day / 60 % 60, second_of_day % 60);
        std::snprintf(date, sizeof date, "%s", time < 1577836800 ? "311219" : "010120");
        const long long latitude = 47LL * 600000 + 223000 + s * 37;  // ten-thousandths of a minute
        const long long longitude = 8LL * 600000 + 318000 + s * 52;
        const double meters = 400.0 + s * 0.5;
        const bool fixed = s < 80 || s >= 100;
        const std::string rmc = testing_support::NmeaSentence(
            std::string("GNRMC,") + clock + (fixed ? ",A," : ",V,") +
            (fixed ? Angle(latitude, 2) + ",N," + Angle(longitude, 3) + ",E,12.5,45.0,"
                   : ",,,,,,") +
            date + ",,," + (fixed ? "A" : "N"));
        char altitude[16];
        std::snprintf(altitude, sizeof altitude, "%.1f", meters);
        const std::string gga = testing_support::NmeaSentence(
            std::string("GNGGA,") + clock + "," +
            (fixed ? Angle(latitude, 2) + ",N," + Angle(longitude, 3) + ",E,1,09,0.8," + altitude +
                         ",M,47.3,M,,"
                   : ",,,,0,00,99.9,,,,,,"));
        log += s % 2 == 0 ? gga + rmc : rmc + gga;
        log += testing_support::NmeaSentence(
            "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00");
        if (fixed) {
            expected.push_back({latitude / 600000.0, longitude / 600000.0, meters * kFeet, time,
                                12.5 * kMph, 45.0});
        }
    }
    const ReadResult result = ReadAll(log, Format::Named("nmea"));
    ExpectPoints(result, expected);
    EXPECT_EQ(result.Count("RMC sentences without a valid fix"), 20u);
    EXPECT_EQ(result.Count("malformed RMC sentences"), 0u);
}

// A sentence ends at the line end or at the next "$"; one too long to be a
// sentence is passed over without harm, and so is a line of any length.
TEST(NmeaReader, LongLinesAndSentencesCutShort) {
    const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
    const std::string log = std::string(3 << 20, 'x') + "$" + std::string(3 << 20, '7') + rmc +
                            "\n$GPRMC,123519,A," + std::string(1 << 20, ',') + "\n" + rmc;
    const ReadResult result = ReadAll(log, Format::Named("nmea"));
    ASSERT_FALSE(result.failed);
    EXPECT_EQ(result.points.size(), 2u);
    EXPECT_EQ(result.Count("malformed RMC sentences"), 0u);
}

}  // namespace
