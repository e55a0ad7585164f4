// trackconvert: converts a track file from one format into another (GPL,
// GPX, TCX, FIT, NMEA and CSV in; GPL, GPX, TCX, KML, GeoJSON and CSV out),
// point by point.
// The output replaces its name only when the whole conversion succeeded.
#include <string>

#include "options.h"
#include "program.h"
#include "toolframe.h"

namespace {

constexpr char kUsage[] =
    "Usage: trackconvert [-f <format>] [-t <format>] [-clamp] [-extrude] [-sport <s>]\n"
    "                    <input> <output>\n"
    "\n"
    "where:\t<input>      is the track file to read\n"
    "\t<output>     is the file to write\n"
    "\t-f <format>  is the input's format: gpl, gpx, tcx, fit, nmea or csv\n"
    "\t             (default: from its extension, else from its content)\n"
    "\t-t <format>  is the output's format: gpl, gpx, tcx, kml, geojson or csv\n"
    "\t             (default: from its extension)\n"
    "\t-clamp       draws a KML track on the ground\n"
    "\t-extrude     draws a KML track with a wall down to the ground\n"
    "\t-sport <s>   is the sport of a TCX activity: running, biking or other\n"
    "\t             (default: the one a FIT or TCX input names, else other)\n"
    "\n"
    "Example:\ttrackconvert ride.gpx ride.gpl\n"
    "\t This reads the GPX file ride.gpx and writes its track as ride.gpl.\n";

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
    return tools::Program("trackconvert", kUsage).Main(argc, argv, Run);
}
