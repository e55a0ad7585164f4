// legsheet: prints, for every point of one or more GPL tracks, its position
// and the heading, length and speed of the leg that leaves it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "CEarth.h"
#include "CPolarCoordinate.h"
#include "console.h"
#include "gplfile.h"
#include "writedata.h"

namespace {

constexpr double kFeetPerMeter = 3.281;
constexpr double kMilesPerMeter = 0.0006214;
constexpr double kSecondsPerHour = 3600.0;

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
    CPolarCoordinate here;
    CPolarCoordinate there;
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
        here.Set(current.Latitude, current.Longitude, current.Altitude / kFeetPerMeter);
        there.Set(next.Latitude, next.Longitude, next.Altitude / kFeetPerMeter);
        double forward = 0.0;
        double back = 0.0;
        const double miles =
            earth.GetSurfaceDistance(here, there, &forward, &back) * kMilesPerMeter;
        // Time stamps wrap modulo 2^32: a step backwards reads as nearly 2^32
        // seconds, a speed near 0. Equal times divide by zero (inf or nan).
        const std::uint32_t elapsed = next.Time - current.Time;
        current.Heading = forward;
        current.Speed = miles / (static_cast<double>(elapsed) / kSecondsPerHour);
        report.Line(WriteData(current, miles, degrees_minutes_seconds));
        if (Report::Failed()) {
            return count;
        }
        current = next;
        ++count;
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        console::PrintLines({
            "Usage: legsheet [-m] <file1.gpl> ... <fileN.gpl>",
            "\t -m = Convert coordinates to degrees:min:sec",
        });
        return console::kExitUsage;
    }
    Report report;
    bool degrees_minutes_seconds = false;  // for the files after a "-m"
    int exit_value = console::kExitOk;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "-m") {
            degrees_minutes_seconds = true;
            continue;
        }
        console::PrintLine("# Opening " + name);
        gpl::InputFile input;
        if (!input.Open(name)) {
            console::PrintFailure(name, " - Open Failed!!!");
            exit_value = console::kExitInputFailed;
        } else {
            console::PrintLine("# Latitude, Longitude, Heading, Distance, Speed");
            const std::uint64_t count = ReportFile(input, degrees_minutes_seconds, report);
            input.Close();
            console::PrintLine("# ... done.  Processed " + std::to_string(count) + " data points.");
        }
        // A report that cannot be written is no report: stop at once.
        if (Report::Failed()) {
            std::fputs("legsheet: write error\n", stderr);
            return console::kExitWriteFailed;
        }
    }
    return exit_value;
}
