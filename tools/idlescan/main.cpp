// idlescan: cuts a GPL track down to its first point, the first point of
// every stop and its last point.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "program.h"
#include "toolframe.h"

namespace {

// "less then": a stop is a speed at or below the threshold; the text has
// always read so.
constexpr char kUsage[] =
    "Usage: idlescan <input.gpl> <output.gpl> [<stop speed>]\n"
    "\n"
    "where:\t<input.gpl>   is the GPL file to read\n"
    "\t<output.gpl>  is the file to write\n"
    "\t<stop speed>  is the max speed to consider stopped (0.0)\n"
    "\n"
    "Example:\tidlescan input.gpl output.gpl 3.0\n"
    "\t This reads from input.gpl, writes output.gpl, and considers\n"
    "\t anything less then 3.0 mph to be stopped.\n";

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        return program.Usage();
    }
    // Any third argument is a threshold, even one without a number (0.0);
    // with a threshold the place of a point is not looked at.
    const bool threshold_given = argc == 4;
    const double stop_speed = threshold_given ? std::strtod(argv[3], nullptr) : 0.0;

    tools::ToolFrame frame(program, argv[1], argv[2]);
    if (const int failed = frame.Open()) {
        return failed;
    }
    frame.Announce();

    GPL_Data_Point current;
    GPL_Data_Point previous;
    std::uint64_t record = 1;  // number of the record being examined
    std::uint64_t stops = 0;
    bool in_stop = false;
    for (;;) {
        previous = current;
        if (!frame.Read(current)) {
            break;
        }
        const bool stopped = record == 1 || (!threshold_given && current.SamePlace(previous)) ||
                             current.Speed <= stop_speed;
        if (!stopped) {
            in_stop = false;
        } else if (!in_stop) {
            in_stop = true;
            if (!frame.Write(current)) {
                return frame.WriteFailed();
            }
            ++stops;
        }
        ++record;
        frame.Mark(record);
    }
    // The end of the track: the last complete record (a zero record when
    // there was none), even if it was just written as the start of a stop.
    if (!frame.Write(previous)) {
        return frame.WriteFailed();
    }
    // The stops count the first record, not the last one written here.
    return frame.Finish("Read " + std::to_string(record - 1) + " data points. Wrote " +
                        std::to_string(stops) + " stops.");
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("idlescan", kUsage).Main(argc, argv, Run);
}
