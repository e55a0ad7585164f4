// What trackinfo tells of each file, whatever the form of the report (text,
// JSON or the HTML page), the words and keys of its findings, and the one
// interface of the writers of the reports.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_REPORT_H
#define TRACKTOOLS_TOOLS_TRACKINFO_REPORT_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formatting.h"
#include "reportunits.h"
#include "summary.h"
#include "tracktools/formats/format.h"
#include "tracktools/formats/reader.h"

namespace trackinfo {

class TrackDrawing;

struct FileReport {
    std::string name;
    formats::Format format;
    std::string error;  // why the file could not be read; empty when it was
    Figures figures;
    std::vector<formats::Tally> tallies;  // what the reader changed or left out, counts above 0
};

// How the figures are written: the units, the times, paces beside speeds.
struct Style {
    Units units{false};
    TimeStyle times;
    bool pace = false;
    bool laps = false;  // the lap table in the text and on the page
};

// A writer of one form of the report, given its text piece by piece.
class ReportWriter {
  public:
    using Output = std::function<void(const std::string&)>;
    virtual ~ReportWriter() = default;

    // The files named, before any is read.
    virtual void Begin(const std::vector<std::string>& names) = 0;
    // A file that was read; its drawing when the writer draws (the page).
    virtual void File(const FileReport& file, const TrackDrawing* drawing) = 0;
    // A file that could not be read.
    virtual void Failure(const FileReport& file) = 0;
    // The total of the `files` that were read, for more than one named.
    virtual void Total(const Figures& total, std::uint64_t files) = 0;
    virtual void End() = 0;
    // True for the writer that draws pictures.
    virtual bool Draws() const { return false; }
};

// One kind of finding: its JSON key and its words for a count of one or more.
struct FindingKind {
    const char* key;
    const char* one;
    const char* many;
    std::uint64_t Findings::*count;
};

// In the order of the reports; the reader's skipped points come last.
inline constexpr std::array<FindingKind, 10> kFindingKinds{{
    {"zero_time_legs", "leg takes no time", "legs take no time", &Findings::zero_time_legs},
    {"backward_legs", "leg goes back in time", "legs go back in time", &Findings::backward_legs},
    {"untimed_records", "record has no time", "records have no time", &Findings::untimed_records},
    {"non_finite_records", "record has a field that is not a finite number",
     "records have a field that is not a finite number", &Findings::non_finite_records},
    {"off_globe_records", "record lies outside latitude -90..90 or longitude -180..180",
     "records lie outside latitude -90..90 or longitude -180..180", &Findings::off_globe_records},
    {"same_place_records", "record is at the place of the one before",
     "records are at the place of the one before", &Findings::same_place_records},
    {"jumps", "leg is faster than 700 mph", "legs are faster than 700 mph", &Findings::jumps},
    {"unmeasured_legs", "leg has no length", "legs have no length", &Findings::unmeasured_legs},
    {"partial_record_bytes", "byte of a partial last record was ignored",
     "bytes of a partial last record were ignored", &Findings::partial_record_bytes},
    {"skipped_points", "point was left out by the reader", "points were left out by the reader",
     &Findings::skipped_points},
}};

// FIT's name of what ended a lap ("manual", "distance", ...); "" when not known.
const char* TriggerName(track::LapTrigger trigger);
// The sports of the sessions, "cycling" or "swimming, cycling, running";
// a sport without a name by its number. "" for none.
std::string SportsText(const std::vector<Session>& sessions);

// "<count> <words>" in the singular or the plural.
inline std::string Counted(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace trackinfo

#endif
