// trackconvert: converts a track file from one format into another (GPL,
// GPX, NMEA and CSV in; GPL, GPX, KML, GeoJSON and CSV out), point by point.
// The output replaces its name only when the whole conversion succeeded.
#include <cstdint>
#include <string>
#include <vector>

#include "console.h"
#include "gplreader.h"
#include "inputcheck.h"
#include "options.h"
#include "program.h"
#include "progress.h"
#include "reader.h"
#include "replacingfile.h"
#include "writer.h"

namespace {

constexpr char kUsage[] =
    "Usage: trackconvert [-f <format>] [-t <format>] [-clamp] [-extrude] <input> <output>\n"
    "\n"
    "where:\t<input>      is the track file to read\n"
    "\t<output>     is the file to write\n"
    "\t-f <format>  is the input's format: gpl, gpx, nmea or csv\n"
    "\t             (default: from its extension, else from its content)\n"
    "\t-t <format>  is the output's format: gpl, gpx, kml, geojson or csv\n"
    "\t             (default: from its extension)\n"
    "\t-clamp       draws a KML track on the ground\n"
    "\t-extrude     draws a KML track with a wall down to the ground\n"
    "\n"
    "Example:\ttrackconvert ride.gpx ride.gpl\n"
    "\t This reads the GPX file ride.gpx and writes its track as ride.gpl.\n";

// "<name>:<line>:<column>" where the file went wrong, or the name alone.
std::string Where(const std::string& name, const formats::Location& where) {
    if (where.line == 0) {
        return name;
    }
    return name + ":" + std::to_string(where.line) +
           (where.column == 0 ? "" : ":" + std::to_string(where.column));
}

// "12 points without a time were given Time 0.", one line per kind of point
// that was changed or left out.
void PrintTallies(const std::vector<formats::Tally>& tallies) {
    for (const formats::Tally& tally : tallies) {
        if (tally.count > 0) {
            tools::PrintLine(std::to_string(tally.count) + " " +
                             (tally.count == 1 ? tally.one : tally.many) + ".");
        }
    }
}

int WriteFailed(const tools::Program& program, const std::string& name, const std::string& reason) {
    tools::PrintLine("");
    tools::PrintFailure(name, " - Write Failed!!!");
    program.Explain(name, reason);
    return tools::kExitWriteFailed;
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

    tools::PrintLine("Opening " + options.input);
    formats::ReadError open_error;
    const auto reader = formats::OpenReader(options.input, options.from, open_error);
    if (!reader) {
        tools::PrintFailure(options.input, " - Open Failed!!!");
        program.Explain(options.input, open_error.reason);
        return tools::kExitInputFailed;
    }
    if (reader->format() == formats::Format::kGpl) {
        const auto& records = static_cast<const formats::GplReader&>(*reader);
        tools::WarnIfNotRecords(program, options.input, records.LooksLike());
    }

    tools::PrintLine("Opening " + options.output);
    // Declared before the writer, so that the writer is gone before the
    // file is closed or removed.
    tools::ReplacingFile output;
    if (!output.Open(options.output, reader->Device(), reader->Inode())) {
        tools::PrintFailure(options.output, " - Open Failed!!!");
        program.Explain(options.output, tools::ErrorText(output.Error()));
        return tools::kExitOutputFailed;
    }
    const auto writer = formats::OpenWriter(options.to, output.Descriptor(), options.writing);

    const tools::Progress progress;
    progress.Start();
    GPL_Data_Point point;
    std::uint64_t read = 0;
    while (reader->Next(point)) {
        if (!writer->Write(point)) {
            return WriteFailed(program, options.output, writer->Error().reason);
        }
        progress.Mark(++read + 1);
    }
    if (reader->Failed()) {
        // The temporary file goes with `output`; a file of the name stays as it was.
        tools::PrintLine("");
        tools::PrintFailure(options.input, " - Read Failed!!!");
        program.Explain(Where(options.input, reader->Error().where), reader->Error().reason);
        return tools::kExitInputFailed;
    }
    if (!writer->Finish()) {
        return WriteFailed(program, options.output, writer->Error().reason);
    }
    if (!output.Commit()) {
        return WriteFailed(program, options.output, tools::ErrorText(output.Error()));
    }
    tools::PrintLine("done.");
    tools::PrintLine("Wrote " + std::to_string(writer->Written()) + " data points.");
    PrintTallies(reader->Tallies());
    PrintTallies(writer->Tallies());
    tools::NotePartialRecord(program, options.input, reader->IgnoredBytes());
    return tools::kExitOk;
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("trackconvert", kUsage).Main(argc, argv, Run);
}
