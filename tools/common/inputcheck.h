// Remarks on standard error about what a program was given to read: text
// read as GPL records, a partial record at the end of a GPL file, what a
// reader changed or left out.
#ifndef TRACKTOOLS_TOOLS_COMMON_INPUTCHECK_H
#define TRACKTOOLS_TOOLS_COMMON_INPUTCHECK_H

#include <cstdint>
#include <string>
#include <vector>

#include "program.h"
#include "tracktools/formats/format.h"
#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace tools {

// For an input read as GPL records that looks like something else: "<name>
// looks like a GPX file, not a GPL track; convert it with: trackconvert
// -f gpx <name> <name>-converted.gpl". Nothing for an unknown format:
// records have no mark of their own.
void WarnIfNotRecords(const Program& program, const std::string& name, formats::Format looks_like);

// For a text listing that was not empty but gave no point: what it looks
// like instead, and how to convert it.
void WarnNoPoints(const Program& program, const std::string& name, formats::Format looks_like);

// "<name>: partial record of <n> bytes at the end ignored" when a GPL file
// did not end on a whole record.
void NotePartialRecord(const Program& program, const std::string& name, std::uint64_t bytes);

// After a file was read, as remarks: what its reader changed or left out,
// the points without a position that were passed over (`skipped`), and a
// partial record at its end.
void NoteReading(const Program& program, const std::string& name, const formats::Reader& reader,
                 std::uint64_t skipped);

// The tally of points passed over for want of a position.
formats::Tally WithoutPosition(std::uint64_t count);

// "<count> <words>." for each tally above 0.
std::vector<std::string> TallyLines(const std::vector<formats::Tally>& tallies);

// The next point of `reader` that has a position, with `record` its GPL
// record as a GPL file would hold it (see track::ToRecord); points without a
// position are counted in `skipped`, as a GPL writer leaves them out.
bool NextRecord(formats::Reader& reader, track::Point& point, GPL_Data_Point& record,
                std::uint64_t& skipped);

// The name of a track taken from its file: the base name without its
// directory and extension ("ride" for "rides/ride.gpx").
std::string TrackName(const std::string& path);

}  // namespace tools

#endif
