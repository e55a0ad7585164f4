// The command line of trackedit:
//
//   trackedit [options] <input> [<input> ...] <output>
//
// Options may come before, between or after the file names; the last name
// is the output. Every value is checked here, so that a run that starts
// has nothing left to refuse.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_OPTIONS_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_OPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

#include "edits.h"
#include "split.h"

namespace trackedit {

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    bool sort = false;
    bool salvage = false;  // a file that breaks part way gives what came before
    EditOptions edits;
    Split split = Split::kNone;
    std::int64_t gap_nanoseconds = 0;
};

// Reads the arguments into `options`. False when they are not accepted;
// `problem` then says why, or is empty when there are too few file names
// (the usage text says it all).
bool ParseOptions(int argc, char* argv[], Options& options, std::string& problem);

}  // namespace trackedit

#endif
