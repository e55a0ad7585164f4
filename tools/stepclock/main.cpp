// stepclock: copies a track, re-stamping its points at a fixed interval from
// the time of the run.
#include <cstdint>
#include <ctime>

#include "program.h"
#include "toolframe.h"
#include "tracktools/track/gpltext.h"

namespace {

// "<stop speed>" names the interval: the text has always read so.
constexpr char kUsage[] =
    "Usage: stepclock <input.gpl> <output.gpl> [<seconds>]\n"
    "\n"
    "where:\t<input.gpl>   is the GPL file to read\n"
    "\t<output.gpl>  is the file to write\n"
    "\t<stop speed>  is the number of seconds to increment by (1)\n"
    "\n"
    "Example:\tstepclock input.gpl output.gpl 3\n"
    "\t This reads from input.gpl, writes output.gpl, with 3\n"
    "seconds between each data point.\n";

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        return program.Usage();
    }
    const std::uint32_t interval = argc == 4 ? gpl::ParseUnsigned32(argv[3], 0) : 1;

    tools::ToolFrame frame(program, argv[1], argv[2]);
    if (const int failed = frame.Open()) {
        return failed;
    }
    frame.Announce();
    // Time stamps are 32-bit: they wrap modulo 2^32, as the interval does.
    auto next = static_cast<std::uint32_t>(std::time(nullptr));
    track::Point point;
    GPL_Data_Point record;
    while (frame.ReadRecord(point, record)) {
        record.Time = next;
        next += interval;
        if (!frame.WriteRecord(point, record)) {
            return frame.WriteFailed();
        }
        frame.Mark(frame.Written() + 1);
    }
    return frame.Finish();
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("stepclock", kUsage).Main(argc, argv, Run);
}
