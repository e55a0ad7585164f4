// stepclock: copies a track, re-stamping its points at a fixed interval from
// the time of the run.
#include <cstdint>
#include <ctime>

#include "program.h"
#include "stage.h"
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

// Stamps each point `interval` seconds after the one before, from `start`.
// Time stamps are 32-bit: they wrap modulo 2^32, as the interval does.
class Restamp : public tools::Stage {
  public:
    Restamp(std::uint32_t start, std::uint32_t interval) : next_(start), interval_(interval) {}
    bool Take(track::Point*& point) override {
        track::SetRecordTime(*point, next_);
        next_ += interval_;
        return Pass(point);
    }

  private:
    std::uint32_t next_;
    std::uint32_t interval_;
};

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        return program.Usage();
    }
    const std::uint32_t interval = argc == 4 ? gpl::ParseUnsigned32(argv[3], 0) : 1;

    tools::ToolFrame frame(program, argv[1], argv[2]);
    frame.PositionsOnly();
    if (const int failed = frame.Open()) {
        return failed;
    }
    Restamp restamp(static_cast<std::uint32_t>(std::time(nullptr)), interval);
    restamp.Connect(&frame.Output());
    frame.Announce();
    if (const int failed = frame.Process(restamp)) {
        return failed;
    }
    return frame.Finish();
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("stepclock", kUsage).Main(argc, argv, Run);
}
