// legsheet: prints, for every point of one or more tracks, its position
// and the heading, length and speed of the leg that leaves it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "gplunits.h"
#include "inputs.h"
#include "program.h"
#include "stage.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/track/point.h"
#include "writedata.h"

namespace {

constexpr char kUsage[] =
    "Usage: legsheet [-m] <file1.gpl> ... <fileN.gpl>\n"
    "\t -m = Convert coordinates to degrees:min:sec\n";

// Report lines go out through the stdio buffer; a person at a terminal sees
// each line as it comes, a file or pipe gets them in blocks.
class Report {
  public:
    Report() : to_terminal_(::isatty(STDOUT_FILENO) == 1) {}

    void Line(const std::string& text) const {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        if (to_terminal_) {
            std::fflush(stdout);
        }
    }
    // True once anything written to standard output was lost.
    static bool Failed() { return std::ferror(stdout) != 0; }

  private:
    bool to_terminal_;
};

// Prints one line per point of the input (as its GPL record) and returns
// how many there were. Legs never run from one file into the next.
std::uint64_t ReportFile(tools::InputSet& input, bool degrees_minutes_seconds, Report& report) {
    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    tools::Slot current;
    tools::Slot next;
    if (!input.Next(current.Pointer())) {
        return 0;
    }
    std::uint64_t count = 1;
    for (;;) {
        GPL_Data_Point record = track::ToRecord(*current);
        if (!input.Next(next.Pointer())) {
            // The last point starts no leg: its own Heading and Speed, no distance.
            report.Line(WriteData(record, 0.0, degrees_minutes_seconds));
            return count;
        }
        // Equal times divide by zero: an infinite or not-a-number speed.
        const tools::Leg leg = tools::MeasureLeg(earth, *current, *next);
        record.Heading = leg.forward_azimuth;
        record.Speed = leg.mph;
        report.Line(WriteData(record, leg.miles, degrees_minutes_seconds));
        if (Report::Failed()) {
            return count;
        }
        current.Exchange(next.Pointer());
        ++count;
    }
}

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc < 2) {
        return program.Usage();
    }
    Report report;
    tools::InputSet input(program, tools::Console(), "# Opening ");
    input.PositionsOnly();
    input.TracksOnly();
    bool degrees_minutes_seconds = false;  // for the files after a "-m"
    int exit_value = tools::kExitOk;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "-m") {
            degrees_minutes_seconds = true;
            continue;
        }
        if (input.Open(name) != tools::kExitOk) {
            exit_value = tools::kExitInputFailed;
        } else {
            tools::PrintLine("# Latitude, Longitude, Heading, Distance, Speed");
            const std::uint64_t count = ReportFile(input, degrees_minutes_seconds, report);
            if (input.Failed()) {
                // The file could not be read to its end: no summary for it.
                exit_value = input.ReportFailure(false);
            } else {
                tools::PrintLine("# ... done.  Processed " + std::to_string(count) +
                                 " data points.");
                input.NoteReadings();
            }
        }
        // A report that cannot be written is no report: stop at once (the end
        // of the run reports it).
        if (Report::Failed()) {
            return tools::kExitWriteFailed;
        }
    }
    return exit_value;
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("legsheet", kUsage).Main(argc, argv, Run);
}
