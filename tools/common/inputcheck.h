// Remarks on standard error about what a program was given to read: text
// read as GPL records, a listing without points, what a reader changed or
// left out.
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

// The tally of points passed over for want of a position.
formats::Tally WithoutPosition(std::uint64_t count);

// "<count> <words>." for each tally above 0.
std::vector<std::string> TallyLines(const std::vector<formats::Tally>& tallies);

// The name of a track taken from its file: the base name without its
// directory and extension ("ride" for "rides/ride.gpx").
std::string TrackName(const std::string& path);

// "2025-06-14T09:30:00Z", with the fraction of a second when there is one.
std::string UtcText(track::Instant instant);

}  // namespace tools

#endif
