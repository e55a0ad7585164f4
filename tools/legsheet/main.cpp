// legsheet: prints, for every point of one or more tracks, its position
// and the heading, length and speed of the leg that leaves it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "inputcheck.h"
#include "leg.h"
#include "program.h"
#include "tracktools/formats/reader.h"
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

// Prints one line per point of `reader` (as its GPL record) and returns how
// many there were. Legs never run from one file into the next.
std::uint64_t ReportFile(formats::Reader& reader, bool degrees_minutes_seconds, Report& report,
                         std::uint64_t& skipped) {
    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    track::Point point;
    GPL_Data_Point current;
    GPL_Data_Point next;
    if (!tools::NextRecord(reader, point, current, skipped)) {
        return 0;
    }
    std::uint64_t count = 1;
    for (;;) {
        if (!tools::NextRecord(reader, point, next, skipped)) {
            // The last point starts no leg: its own Heading and Speed, no distance.
            report.Line(WriteData(current, 0.0, degrees_minutes_seconds));
            return count;
        }
        // Equal times divide by zero: an infinite or not-a-number speed.
        const tools::Leg leg = tools::MeasureLeg(earth, current, next);
        current.Heading = leg.forward_azimuth;
        current.Speed = leg.mph;
        report.Line(WriteData(current, leg.miles, degrees_minutes_seconds));
        if (Report::Failed()) {
            return count;
        }
        current = next;
        ++count;
    }
}

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc < 2) {
        return program.Usage();
    }
    Report report;
    bool degrees_minutes_seconds = false;  // for the files after a "-m"
    int exit_value = tools::kExitOk;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "-m") {
            degrees_minutes_seconds = true;
            continue;
        }
        tools::PrintLine("# Opening " + name);
        formats::ReadError error;
        const std::unique_ptr<formats::Reader> reader =
            formats::OpenReader(name, formats::Format(), error);
        if (!reader) {
            tools::PrintFailure(name, " - Open Failed!!!");
            program.Explain(name, error.reason);
            exit_value = tools::kExitInputFailed;
        } else {
            tools::WarnIfNotRecords(program, name, reader->LooksLike());
            tools::PrintLine("# Latitude, Longitude, Heading, Distance, Speed");
            std::uint64_t skipped = 0;
            const std::uint64_t count =
                ReportFile(*reader, degrees_minutes_seconds, report, skipped);
            if (reader->Failed()) {
                // The file could not be read to its end: no summary for it.
                tools::PrintFailure(name, " - Read Failed!!!");
                program.Explain(formats::Where(name, reader->Error().where),
                                reader->Error().reason);
                exit_value = tools::kExitInputFailed;
            } else {
                tools::PrintLine("# ... done.  Processed " + std::to_string(count) +
                                 " data points.");
                tools::NoteReading(program, name, *reader, skipped);
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
