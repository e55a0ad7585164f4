// The command line of trackconvert:
//
//   trackconvert [-f <format>] [-t <format>] [-salvage] [<writer options>] <input> <output>
//
// where the writer options are those the table of formats lists for the
// formats' writers (-clamp, -extrude, -sport <s>, ...). Options may come
// before, between or after the two file names; the usage text lists the
// writer options by their flags in alphabetical order.
#ifndef TRACKTOOLS_TOOLS_TRACKCONVERT_OPTIONS_H
#define TRACKTOOLS_TOOLS_TRACKCONVERT_OPTIONS_H

#include <string>

#include "tracktools/formats/format.h"
#include "tracktools/formats/writer.h"

struct Options {
    std::string input;
    std::string output;
    // -f; unknown lets the reader go by the extension, then the content.
    formats::Format from;
    // -t, else the output's extension.
    formats::Format to;
    bool salvage = false;            // a file that breaks part way gives what came before
    formats::WriterOptions writing;  // the writer options given, and the track's name
};

// Reads the arguments into `options`. False when they are not accepted;
// `problem` then says why, or is empty when the count of file names is
// wrong (the usage text says it all).
bool ParseOptions(int argc, char* argv[], Options& options, std::string& problem);

// The writer options of the usage text: " [-clamp] [-sport <s>]" for its
// first line, and a line of help for each (more where the help has more).
std::string WriterOptionsSynopsis();
std::string WriterOptionsHelp();

#endif
