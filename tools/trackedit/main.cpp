// trackedit: cuts, cleans, simplifies, moves, joins and splits tracks, point
// by point in the order of its edits, from one or more inputs of any
// readable format into an output of the format its name says. The output
// (or every piece of a split) replaces its name only when the whole run
// succeeded.
#include <cstdint>
#include <string>
#include <vector>

#include "edits.h"
#include "inputcheck.h"
#include "inputs.h"
#include "options.h"
#include "outputs.h"
#include "program.h"
#include "progress.h"
#include "split.h"

namespace {

constexpr char kUsage[] =
    "Usage: trackedit [options] <input> [<input> ...] <output>\n"
    "\n"
    "where:\t<input>           is a track file to read (- for standard input)\n"
    "\t<output>          is the file to write (- for standard output)\n"
    "\n"
    "options, applied in this order whatever the order given:\n"
    "\t-from <time>      drops the points before the time (ISO 8601, or local in TZ)\n"
    "\t-to <time>        drops the points at and after the time\n"
    "\t-box <s,w,n,e>    keeps the points inside the box (degrees)\n"
    "\t-hide <lat,lon,m> drops the points within m metres of the place (repeatable)\n"
    "\t-trim <m>         drops the points within m metres of the first and the last\n"
    "\t-spikes <speed>   drops the points reached faster than the speed (mph)\n"
    "\t-metric           takes the speed of -spikes in km/h\n"
    "\t-dedupe           drops a point at the place and time of the point before\n"
    "\t-simplify <m>     drops points that lie within m metres of the line kept\n"
    "\t-shift <seconds>  moves every time by the seconds\n"
    "\t-start <time>     moves every time so that the first is the time\n"
    "\t-join             makes all points one segment of one track (routes: one route)\n"
    "\t-name <text>      names the tracks\n"
    "\t-route <n>        makes each track a route of at most n points, simplified\n"
    "\t-track            makes each route a track\n"
    "\t-split-gap <s>    writes a piece for each stretch without a gap of more than s seconds\n"
    "\t-split-day        writes a piece for each local day (TZ)\n"
    "\t-split-segments   writes a piece for each segment\n"
    "\t-sort             merges the inputs by time instead of one after another\n"
    "\t-salvage          keeps the points of a FIT or XML file that breaks part way\n"
    "\n"
    "Example:\ttrackedit -trim 200 -simplify 5 ride.gpx shared.gpx\n"
    "\t This drops the points within 200 m of the start and of the end of\n"
    "\t ride.gpx, thins the rest to 5 m, and writes them as shared.gpx.\n";

int Run(const tools::Program& program, int argc, char* argv[]) {
    trackedit::Options options;
    std::string problem;
    if (!trackedit::ParseOptions(argc, argv, options, problem)) {
        const int status = program.Usage();
        if (!problem.empty()) {
            program.Warn(problem);
        }
        return status;
    }

    // Data on standard output keeps it for itself.
    const tools::Console console(options.output == "-" ? stderr : stdout);
    tools::InputSet inputs(program, console);
    inputs.MergeByTime(options.sort);
    inputs.Salvage(options.salvage);
    if (const int failed = inputs.Open(options.inputs)) {
        return failed;
    }
    tools::OutputSet output(program, console, inputs);
    if (options.edits.name_given) {
        output.WriterOptions().name = options.edits.name;
    } else if (options.inputs.front() != "-") {
        output.WriterOptions().name = tools::TrackName(options.inputs.front());
    }
    if (options.split == trackedit::Split::kNone) {
        if (const int failed = output.Open(options.output)) {
            return failed;
        }
    } else {
        output.OpenPieces(options.output);
    }
    trackedit::SplitPieces pieces(options.split, options.gap_nanoseconds, output);
    pieces.Connect(&output);
    tools::Sink& last = options.split == trackedit::Split::kNone
                            ? static_cast<tools::Sink&>(output)
                            : static_cast<tools::Sink&>(pieces);
    trackedit::Edits edits(options.edits, last);

    const tools::Progress progress(console);
    progress.Start();
    track::Point buffer;
    track::Point* point = &buffer;
    std::uint64_t read = 0;
    while (inputs.Next(point)) {
        if (!edits.Take(point)) {
            return output.ReportFailure();
        }
        progress.Mark(++read + 1);
    }
    if (inputs.Failed()) {
        return inputs.ReportFailure();
    }
    if (!edits.End() || !output.Commit()) {
        return output.ReportFailure();
    }
    console.Line("done.");
    for (const std::string& line : output.Summary()) {
        console.Line(line);
    }
    for (const std::string& line : edits.Lines()) {
        console.Line(line);
    }
    for (const std::string& line : tools::TallyLines(output.Tallies())) {
        console.Line(line);
    }
    inputs.NoteReadings();
    return tools::kExitOk;
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("trackedit", kUsage).Main(argc, argv, Run);
}
