// Remarks on standard error about what a program was given to read: a file
// that looks like another format than the one the program reads, and a
// partial record at the end of a GPL file.
#ifndef TRACKTOOLS_TOOLS_COMMON_INPUTCHECK_H
#define TRACKTOOLS_TOOLS_COMMON_INPUTCHECK_H

#include <cstdint>
#include <string>

#include "gplfile.h"
#include "program.h"
#include "sniff.h"

namespace tools {

// What the start of an open input looks like; nothing is taken from it.
formats::Format Sniff(gpl::InputFile& input);

// For a program that reads GPL records, before it reads them: "<name> looks
// like a GPX file, not a GPL track; convert it with: trackconvert <name>
// <name>.gpl". Nothing for kUnknown: records have no mark of their own.
void WarnIfNotRecords(const Program& program, const std::string& name, formats::Format looks_like);

// For a text listing that was not empty but gave no point: what it looks
// like instead, and how to convert it.
void WarnNoPoints(const Program& program, const std::string& name, formats::Format looks_like);

// After the last record: "<name>: partial record of <n> bytes at the end
// ignored" when the file did not end on a whole record.
void NotePartialRecord(const Program& program, const std::string& name,
                       const gpl::InputFile& input);
void NotePartialRecord(const Program& program, const std::string& name, std::uint64_t bytes);

}  // namespace tools

#endif
