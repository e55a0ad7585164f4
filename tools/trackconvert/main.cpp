// trackconvert: converts a track file from one format into another (those
// of the table of formats, gzip and zip archives of them too), point by
// point.
// The output replaces its name only when the whole conversion succeeded.
#include <string>

#include "options.h"
#include "program.h"
#include "toolframe.h"

namespace {

// The usage text; its lists of formats and the options of their writers
// come from the table of formats.
std::string Usage() {
    return "Usage: trackconvert [-f <format>] [-t <format>] [-salvage]" + WriterOptionsSynopsis() +
           "\n"
           "                    <input> <output>\n"
           "\n"
           "where:\t<input>      is the track file to read\n"
           "\t<output>     is the file to write\n"
           "\t-f <format>  is the input's format: " +
           formats::Format::ReadableNames() +
           "\n"
           "\t             (default: from its extension, else from its content)\n"
           "\t-t <format>  is the output's format: " +
           formats::Format::WritableNames() +
           "\n"
           "\t             (default: from its extension)\n"
           "\t-salvage     keeps the points of a FIT or XML file that breaks part way\n" +
           WriterOptionsHelp() +
           "\n"
           "Example:\ttrackconvert ride.gpx ride.gpl\n"
           "\t This reads the GPX file ride.gpx and writes its track as ride.gpl.\n";
}

int Run(const tools::Program& program, int argc, char* argv[]) {
    Options options;
    std::string problem;
    if (!ParseOptions(argc, argv, options, problem)) {
        const int status = program.Usage();
        if (!problem.empty()) {
            program.Warn(problem);
        }
        return status;
    }

    tools::ToolFrame frame(program, options.input, options.output);
    frame.ReadAs(options.from);
    frame.Salvage(options.salvage);
    frame.WriteAs(options.to);
    frame.SetWriterOptions(options.writing);
    frame.ShowTallies(tools::ToolFrame::Tallies::kLines);
    if (const int failed = frame.Open()) {
        return failed;
    }
    frame.Announce();
    if (const int failed = frame.Process(frame.Output())) {
        return failed;
    }
    return frame.Finish();
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string usage = Usage();
    return tools::Program("trackconvert", usage.c_str()).Main(argc, argv, Run);
}
