// legsheet: prints, for every point of one or more GPL tracks, its position
// and the heading, length and speed of the leg that leaves it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "CEarth.h"
#include "gplfile.h"
#include "inputcheck.h"
#include "leg.h"
#include "program.h"
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

// Prints one line per whole record of `input` and returns how many there
// were. Legs never run from one file into the next.
std::uint64_t ReportFile(gpl::InputFile& input, bool degrees_minutes_seconds, Report& report) {
    const CEarth earth(25);
    GPL_Data_Point current;
    GPL_Data_Point next;
    if (!input.ReadRecord(current)) {
        return 0;
    }
    std::uint64_t count = 1;
    for (;;) {
        if (input.AtEnd() || !input.ReadRecord(next)) {
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
        gpl::InputFile input;
        if (!input.Open(name)) {
            tools::PrintFailure(name, " - Open Failed!!!");
            program.Explain(name, tools::ErrorText(input.Error()));
            exit_value = tools::kExitInputFailed;
        } else {
            tools::WarnIfNotRecords(program, name, tools::Sniff(input));
            tools::PrintLine("# Latitude, Longitude, Heading, Distance, Speed");
            const std::uint64_t count = ReportFile(input, degrees_minutes_seconds, report);
            input.Close();
            if (input.Failed()) {
                // The file could not be read to its end: no summary for it.
                tools::PrintFailure(name, " - Read Failed!!!");
                program.Explain(name, tools::ErrorText(input.Error()));
                exit_value = tools::kExitInputFailed;
            } else {
                tools::PrintLine("# ... done.  Processed " + std::to_string(count) +
                                 " data points.");
                tools::NotePartialRecord(program, name, input);
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
