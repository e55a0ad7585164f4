// The FIT reader against fit-file-parser's readings of the same files (the
// encoder's cases and the real recordings), on files with a fault, on every
// cut and every flipped bit of a file, and on a definition of the largest
// messages there are.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "fitsupport.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/track/sport.h"

// Every allocation of this program, counted: reading must not add to it.
namespace {
std::atomic<std::size_t> allocated{0};
}  // namespace

// Neither is inlined: where the compiler sees malloc() and free() meet new
// and delete, it warns of a mismatch.
__attribute__((noinline)) void* operator new(std::size_t size) {
    allocated += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* memory) noexcept {
    std::free(memory);
}
__attribute__((noinline)) void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using namespace fit_support;
using testing_support::ReadFile;
using testing_support::WriteFile;

// The `"key":number` and `"key":"text"` pairs of a line.
struct Pairs {
    std::map<std::string, double> numbers;
    std::map<std::string, std::string> texts;

    explicit Pairs(const std::string& text) {
        for (std::size_t at = text.find('"'); at != std::string::npos; at = text.find('"', at)) {
            const std::size_t end = text.find('"', at + 1);
            const std::string key = text.substr(at + 1, end - at - 1);
            if (text[end + 2] == '"') {
                const std::size_t close = text.find('"', end + 3);
                texts[key] = text.substr(end + 3, close - end - 3);
                at = close + 1;
                continue;
            }
            char* after = nullptr;
            numbers[key] = std::strtod(text.c_str() + end + 2, &after);
            at = static_cast<std::size_t>(after - text.c_str());
        }
    }
};

// fit-file-parser's reading of one file (readings.js writes a record, a
// session or a lap a line: {"time":1714807800,"lat":46.9,...}, absent
// values left out).
struct Reading {
    std::string sport;  // "null" when no session names one
    std::vector<double> stops;
    std::vector<Pairs> sessions;
    std::vector<Pairs> laps;
    std::vector<std::map<std::string, double>> records;
};

Reading LoadReading(const std::string& name) {
    std::istringstream lines(ReadFile(SourcePath("tests/fit/readings/" + name + ".json")));
    Reading reading;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(" \"sport\": ", 0) == 0) {
            reading.sport = line.substr(10, line.size() - 11);
        } else if (line.rfind(" \"stops\": [", 0) == 0) {
            std::istringstream numbers(line.substr(11));
            for (double stop = 0; numbers >> stop; numbers.ignore()) {
                reading.stops.push_back(stop);
            }
        } else if (line.rfind("  {\"session\"", 0) == 0) {
            reading.sessions.emplace_back(line);
        } else if (line.rfind("  {\"lap\"", 0) == 0) {
            reading.laps.emplace_back(line);
        } else if (line.rfind("  {", 0) == 0) {
            reading.records.push_back(Pairs(line).numbers);
        }
    }
    EXPECT_FALSE(reading.sport.empty()) << name << ": no reading";
    return reading;
}

formats::Sport SportOf(const std::string& name) {
    return name == "null"          ? formats::Sport::kUnknown
           : name == "\"running\"" ? formats::Sport::kRunning
           : name == "\"cycling\"" ? formats::Sport::kBiking
                                   : formats::Sport::kOther;
}

track::LapTrigger TriggerOf(const std::string& name) {
    return name == "manual"                 ? track::LapTrigger::kManual
           : name == "time"                 ? track::LapTrigger::kTime
           : name == "distance"             ? track::LapTrigger::kDistance
           : name.rfind("position", 0) == 0 ? track::LapTrigger::kPosition
           : name == "session_end"          ? track::LapTrigger::kSessionEnd
                                            : track::LapTrigger::kUnknown;
}

// The points of `path` are the records of `reading`, value for value, but
// that altitudes are the decimals the device stored (fifths of a metre),
// a heart rate of 0 is none and a run's cadence is in steps. A point begins
// a segment where a timer stopped since the point before, a lap where a
// lap ended since, and a session, with its sport, where one began.
void ExpectAsRead(const std::string& path, const Reading& reading, std::size_t chained_at = 0,
                  bool salvage = false) {
    SCOPED_TRACE(path);
    const Read read = ReadPoints(path, {}, salvage);
    ASSERT_FALSE(read.failed) << read.error.reason;
    EXPECT_EQ(read.sport, SportOf(reading.sport));
    ASSERT_EQ(read.points.size(), reading.records.size());
    const struct {
        const char* name;
        track::Field field;
    } kValues[] = {{"elevation", track::kElevation},  {"speed", track::kSpeed},
                   {"heart_rate", track::kHeartRate}, {"cadence", track::kCadence},
                   {"power", track::kPower},          {"temperature", track::kTemperature},
                   {"distance", track::kDistance}};
    for (std::size_t i = 0; i < read.points.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        const track::Point& point = read.points[i];
        const std::map<std::string, double>& record = reading.records[i];
        const auto has = [&record](const char* name) { return record.count(name) != 0; };
        ASSERT_EQ(point.Has(track::kTime), has("time"));
        if (has("time")) {
            EXPECT_EQ(point.time.Nanoseconds(), std::llround(record.at("time") * 1e9));
        }
        // A position beyond the pole is no position.
        const bool position = has("lat") && has("lon") && std::fabs(record.at("lat")) <= 90;
        ASSERT_EQ(point.Has(track::kPosition), position);
        if (position) {
            EXPECT_EQ(point.latitude, record.at("lat"));
            EXPECT_EQ(point.longitude, record.at("lon"));
        }
        const Pairs* session = nullptr;
        for (const Pairs& each : reading.sessions) {
            if (has("time") && each.numbers.at("session") <= record.at("time")) {
                session = &each;
            }
        }
        const bool running = session != nullptr && session->texts.at("sport") == "running";
        for (const auto& value : kValues) {
            const bool no_strap =
                value.field == track::kHeartRate && has(value.name) && record.at(value.name) == 0;
            ASSERT_EQ(point.Has(value.field), has(value.name) && !no_strap) << value.name;
            if (!point.Has(value.field)) {
                continue;
            }
            double expected = record.at(value.name);
            if (value.field == track::kElevation) {
                expected = std::round(expected * 10) / 10;
            } else if (value.field == track::kCadence && running) {
                expected *= 2;
            }
            EXPECT_EQ(point.Get(value.field), expected) << value.name;
        }
        const double before = i > 0 ? read.points[i - 1].time.Seconds() : -1;
        const double now = point.time.Seconds();
        const Pairs* ended = nullptr;
        for (std::size_t lap = 0; i > 0 && lap + 1 < reading.laps.size(); ++lap) {
            const double end = reading.laps[lap].numbers.at("end");
            ended = before <= end && end < now ? &reading.laps[lap] : ended;
        }
        EXPECT_EQ(point.begins_lap, i == 0 || ended != nullptr);
        if (ended != nullptr) {
            EXPECT_EQ(point.lap_trigger, TriggerOf(ended->texts.at("trigger")));
        }
        bool begun = i == 0;
        for (std::size_t k = 1; k < reading.sessions.size(); ++k) {
            const double start = reading.sessions[k].numbers.at("session");
            begun = begun || (before < start && start <= now);
        }
        EXPECT_EQ(point.begins_session, begun);
        if (begun && session != nullptr) {
            EXPECT_EQ(track::SportName(point.sport), session->texts.at("sport"));
        }
        bool stopped = i == 0 || i == chained_at;
        for (const double stop : reading.stops) {
            stopped = stopped || (i > 0 && read.points[i - 1].time.Seconds() <= stop &&
                                  stop < point.time.Seconds());
        }
        EXPECT_EQ(point.begins_segment, stopped);
        EXPECT_EQ(point.begins_track, i == 0);
        EXPECT_EQ(point.tag, i + 1);
    }
}

TEST(FitReader, TheEncodersCasesReadAsFitFileParserReadsThem) {
    REQUIRE_FIT_CASES();
    for (const char* name :
         {"basic", "compressed", "big-endian", "developer", "redefined", "invalid", "no-gps",
          "odd-sizes", "pauses", "system-time", "huge-definition", "sport-other", "device-pauses",
          "multisport", "fractional-cadence"}) {
        ExpectAsRead(CasesDir() + "/" + name + ".fit", LoadReading(name));
    }
    // fit-file-parser stops after the first of chained files; the second
    // reads as it reads that file alone, and begins a segment.
    Reading chained = LoadReading("chained");
    const std::size_t first = chained.records.size();
    const Reading tail = LoadReading("chained-tail");
    chained.records.insert(chained.records.end(), tail.records.begin(), tail.records.end());
    ExpectAsRead(CasesDir() + "/chained.fit", chained, first);
    // Cut off part way and salvaged: the records fit-file-parser reads of
    // the same bytes, but a last one it reads on past the cut (with fewer
    // values than the whole file's record there).
    const testing_support::TempDir dir;
    testing_support::WriteFile(dir / "cut.fit",
                               testing_support::ReadFile(CasesDir() + "/basic.fit").substr(0, 600));
    Reading cut = LoadReading("cut");
    const Reading whole = LoadReading("basic");
    ASSERT_FALSE(cut.records.empty());
    const std::size_t last = cut.records.size() - 1;
    if (cut.records[last].size() < whole.records.at(last).size()) {
        cut.records.pop_back();
    }
    ExpectAsRead(dir / "cut.fit", cut, 0, true);
}

TEST(FitReader, TheSampleRecordingsReadAsFitFileParserReadsThem) {
    if (!testing_support::FileExists(SamplesDir() + "/fenix5-run.fit")) {
        GTEST_SKIP() << "the sample recordings are not at " << SamplesDir();
    }
    for (const char* name : {"fenix5-run", "edge820-bike", "elemnt-bolt"}) {
        ExpectAsRead(SamplesDir() + "/" + name + ".fit", LoadReading(name));
    }
}

// Files that are no activity fail, naming what they are; a course timed
// from its start keeps its positions, without times, and says so.
TEST(FitReader, FilesOtherThanActivities) {
    REQUIRE_FIT_CASES();
    const struct {
        const char* name;
        const char* reason;  // "" when it is read
    } kCases[] = {
        {"workout", "a FIT workout file"},
        {"course-without-position", "a FIT course without any position"},
        {"course-relative", ""},
    };
    for (const auto& each : kCases) {
        SCOPED_TRACE(each.name);
        const Read read = ReadPoints(CasesDir() + "/" + each.name + ".fit");
        EXPECT_EQ(read.failed, *each.reason != '\0');
        EXPECT_NE(read.error.reason.find(each.reason), std::string::npos) << read.error.reason;
    }
    const Read course = ReadPoints(CasesDir() + "/course-relative.fit");
    ASSERT_EQ(course.points.size(), 5u);
    for (const track::Point& point : course.points) {
        EXPECT_TRUE(point.Has(track::kPosition));
        EXPECT_FALSE(point.Has(track::kTime));
    }
    ASSERT_EQ(course.tallies.size(), 2u);
    EXPECT_EQ(course.tallies[1].count, 5u);
}

// Each file with a fault fails where the fault lies, as a byte offset.
TEST(FitReader, BrokenFilesFailAtTheirFault) {
    REQUIRE_FIT_CASES();
    std::istringstream lines(ReadFile(CasesDir() + "/broken/offsets.txt"));
    int cases = 0;
    std::string name;
    std::uint64_t offset = 0;
    while (lines >> name >> offset) {
        ++cases;
        SCOPED_TRACE(name);
        const Read read = ReadPoints(CasesDir() + "/broken/" + name + ".fit");
        EXPECT_TRUE(read.failed);
        EXPECT_TRUE(read.error.where.at_offset);
        EXPECT_EQ(read.error.where.offset, offset) << read.error.reason;
    }
    EXPECT_EQ(cases, 13);
}

// Every file cut short, and every bit flipped in turn (which the CRC sees),
// fails within the file, and gives the points before the fault as they are.
TEST(FitReader, EveryCutAndEveryFlippedBitFails) {
    REQUIRE_FIT_CASES();
    const std::string bytes = ReadFile(CasesDir() + "/pauses.fit");
    const Read whole = ReadPoints(CasesDir() + "/pauses.fit");
    const std::string path = CasesDir() + "/damaged";
    const formats::Format fit = formats::Format::Named("fit");
    for (std::size_t size = 0; size < 2 * bytes.size(); ++size) {
        std::string damaged = bytes;
        if (size < bytes.size()) {
            damaged.resize(size);
        } else {
            damaged[size - bytes.size()] ^= static_cast<char>(1 << size % 8);
        }
        WriteFile(path, damaged);
        const Read read = ReadPoints(path, fit);
        ASSERT_TRUE(read.failed) << size;
        ASSERT_LE(read.error.where.offset, damaged.size()) << size;
        ASSERT_LE(read.points.size(), whole.points.size()) << size;
        for (std::size_t i = 0; size < bytes.size() && i < read.points.size(); ++i) {
            EXPECT_EQ(read.points[i].time, whole.points[i].time) << size;
            EXPECT_EQ(read.points[i].latitude, whole.points[i].latitude) << size;
        }
    }
}

// A definition of 255 fields and 255 developer fields of 255 bytes each, and
// a message of that size (read as fit-file-parser reads it above): nothing
// is allocated for it, or for any message.
TEST(FitReader, TheLargestMessagesAllocateNothing) {
    REQUIRE_FIT_CASES();
    const std::size_t before = allocated;
    formats::ReadError error;
    const auto reader = formats::OpenReader(CasesDir() + "/huge-definition.fit", {}, error);
    ASSERT_TRUE(reader);
    const std::size_t opened = allocated - before;
    for (track::Point point; reader->Next(point);) {
    }
    EXPECT_EQ(allocated - before - opened, 0u);
    EXPECT_LT(opened, io::InputFile::kBufferSize + 16384);
}

}  // namespace
