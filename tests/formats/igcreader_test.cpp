// The IGC reader on hand-made logs: the date header in both forms, a flight
// across midnight, fixes without a valid altitude, records before any date,
// and records that are passed over or cannot be read.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "files.h"
#include "formats_support.h"
#include "tracktools/formats/timetext.h"

namespace {

using formats_support::ReadAll;

TEST(IgcReader, DatesMidnightValidityAndOtherRecords) {
    const struct {
        const char* name;
        std::string log;
        std::vector<std::string> points;     // latitude, longitude, elevation, time
        std::vector<std::uint64_t> tallies;  // unreadable, no fix, undated, pressure
    } cases[] = {
        {"the old date header, a fix south and west, the task passed over",
         "AXXX001\r\nHFDTE150725\r\nC150725120000000000000102\r\n"
         "B1200004730500N00815250EA0050000550\r\n"
         "B1200053345000S07030500WA-001200010\r\n",
         {"47.508333333333333 8.2541666666666664 550 2025-07-15T12:00:00Z",
          "-33.75 -70.50833333333334 10 2025-07-15T12:00:05Z"},
         {0, 0, 0, 2}},
        {"the new date header, a flight past midnight, a fix without altitude",
         "AFLY\nHFDTEDATE:311299,01\nB2359594700000N00800000EA0000000100\n"
         "B0000014700100N00800100EV0000000000\nLXXX comment\n",
         {"47 8 100 1999-12-31T23:59:59Z",
          "47.001666666666665 8.0016666666666669 - "
          "2000-01-01T00:00:01Z"},
         {0, 1, 0, 0}},
        {"no date: no times; a cut B record is skipped",
         "AXYZ\nB1200004700000N00800000EA0000000100\nB12000047000\n",
         {"47 8 100 -"},
         {1, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const formats_support::ReadResult read = ReadAll(c.log, formats::Format());
        ASSERT_FALSE(read.failed) << read.error.reason;
        std::vector<std::string> points;
        for (const track::Point& point : read.model) {
            char text[200];
            std::snprintf(text, sizeof text, "%.17g %.17g", point.latitude, point.longitude);
            std::string line = text;
            line +=
                point.Has(track::kElevation) ? " " + std::to_string(int(point.elevation)) : " -";
            char time[64] = "-";
            if (point.Has(track::kTime)) {
                time[formats::FormatUtcTime(point.time, time)] = '\0';
            }
            line += std::string(" ") + time;
            points.push_back(line);
        }
        EXPECT_EQ(points, c.points);
        ASSERT_EQ(read.tallies.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(read.tallies[i].count, c.tallies[i]) << read.tallies[i].many;
        }
    }
}

// The hand-made logs of tests/formats/igc against igc-parser's readings of
// them (make_readings.sh): the same fixes in order, at the same positions
// and times; a valid fix has the GNSS altitude as its elevation, an invalid
// one none. igc-parser reads a GNSS altitude of 0 as none; we keep it.
TEST(IgcReader, AgreesWithAnIndependentReader) {
    for (const char* name : {"task-and-extensions", "midnight", "ranges"}) {
        SCOPED_TRACE(name);
        const std::string dir = std::string(TRACKTOOLS_SOURCE_DIR) + "/tests/formats/igc/";
        const formats_support::ReadResult read =
            ReadAll(testing_support::ReadFile(dir + name + ".igc"), formats::Format::Named("igc"));
        ASSERT_FALSE(read.failed) << read.error.reason;
        std::istringstream lines(testing_support::ReadFile(dir + "readings/" + name + ".json"));
        std::size_t i = 0;
        for (std::string line; std::getline(lines, line);) {
            double time = 0, lat = 0, lon = 0;
            char valid[8] = "", gnss[16] = "";
            if (std::sscanf(line.c_str(),
                            "  {\"time\":%lf,\"lat\":%lf,\"lon\":%lf,\"valid\":%7[a-z],"
                            "\"gnss\":%15[-0-9.nul]",
                            &time, &lat, &lon, valid, gnss) != 5) {
                continue;
            }
            SCOPED_TRACE("fix " + std::to_string(i));
            ASSERT_LT(i, read.model.size());
            const track::Point& point = read.model[i++];
            EXPECT_DOUBLE_EQ(point.latitude, lat);
            EXPECT_DOUBLE_EQ(point.longitude, lon);
            ASSERT_TRUE(point.Has(track::kTime));
            EXPECT_EQ(point.time.Seconds(), static_cast<std::int64_t>(time));
            if (std::string(valid) == "false") {
                EXPECT_FALSE(point.Has(track::kElevation));
            } else if (std::string(gnss) != "null") {
                ASSERT_TRUE(point.Has(track::kElevation));
                EXPECT_EQ(point.elevation, std::strtod(gnss, nullptr));
            }
        }
        EXPECT_GT(i, 0u) << "no readings";
        EXPECT_EQ(i, read.model.size());
    }
}

}  // namespace
