// idlescan: cuts a track down to its first point, the first point of
// every stop and its last point.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gplunits.h"
#include "program.h"
#include "stage.h"
#include "toolframe.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"

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

// Keeps the first point, the first point of every stop and, once more,
// the last point. A point is stopped when its speed is at or below the
// threshold, or, without a threshold, when it lies at the place of the point
// before it. A point whose input carried no speed (a phone's GPX) is
// measured as pacer measures it: the speed of the leg that leaves it, so
// each point waits for the next.
class KeepStops : public tools::Stage {
  public:
    KeepStops(bool threshold_given, double stop_speed)
        : threshold_given_(threshold_given), stop_speed_(stop_speed) {}

    bool Take(track::Point*& point) override {
        if (examined_ < read_ && !Examine(point)) {
            return false;
        }
        ++read_;
        // The point waits; the one examined becomes the point before it.
        current_.Exchange(point);
        previous_.Exchange(point);
        return true;
    }

    bool End() override {
        if (examined_ < read_) {
            if (!Examine(nullptr)) {
                return false;
            }
            current_.Exchange(previous_.Pointer());
        } else {
            // Without any point, the end of the track is a zero record.
            track::FromRecord(GPL_Data_Point(), *previous_);
        }
        // The end of the track, even if it was just written as the start of
        // a stop; written again, it begins nothing.
        if (last_written_) {
            previous_->begins_segment = previous_->begins_track = false;
        }
        return Pass(previous_.Pointer()) && Stage::End();
    }

    std::uint64_t Read() const { return read_; }
    std::uint64_t Stops() const { return stops_; }

  private:
    // Whether the point waiting begins a stop, and if so, writes a copy of
    // it: it is still the point before the next one.
    [[gnu::always_inline]] bool Examine(const track::Point* next) {
        const track::Point& current = *current_;
        const double speed = current.Has(track::kSpeed) || next == nullptr
                                 ? track::RecordSpeed(current)
                                 : tools::MeasureLeg(earth_, current, *next).mph;
        const bool same_place =
            current.latitude == previous_->latitude && current.longitude == previous_->longitude;
        const bool stopped =
            examined_ == 0 || (!threshold_given_ && same_place) || speed <= stop_speed_;
        ++examined_;
        last_written_ = false;
        if (!stopped) {
            in_stop_ = false;
            return true;
        }
        if (in_stop_) {
            return true;
        }
        return BeginStop();
    }

    // Writes a copy of the point waiting, which begins a stop.
    [[gnu::noinline]] bool BeginStop() {
        in_stop_ = true;
        last_written_ = true;
        ++stops_;
        *written_ = *current_;
        return Pass(written_.Pointer());
    }

    const bool threshold_given_;
    const double stop_speed_;
    const CEarth earth_{geodesy::Ellipsoid::kWgs84};
    tools::Slot current_;   // the point waiting for the one after it
    tools::Slot previous_;  // the point before it
    tools::Slot written_;
    std::uint64_t read_ = 0;
    std::uint64_t examined_ = 0;
    std::uint64_t stops_ = 0;
    bool in_stop_ = false;
    bool last_written_ = false;
};

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        return program.Usage();
    }
    // Any third argument is a threshold, even one without a number (0.0);
    // with a threshold the place of a point is not looked at.
    const bool threshold_given = argc == 4;
    const double stop_speed = threshold_given ? std::strtod(argv[3], nullptr) : 0.0;

    tools::ToolFrame frame(program, argv[1], argv[2]);
    frame.PositionsOnly();
    if (const int failed = frame.Open()) {
        return failed;
    }
    KeepStops stops(threshold_given, stop_speed);
    stops.Connect(&frame.Output());
    frame.Announce();
    if (const int failed = frame.Process(stops)) {
        return failed;
    }
    // The stops count the first point, not the last one written again.
    return frame.Finish("Read " + std::to_string(stops.Read()) + " data points. Wrote " +
                        std::to_string(stops.Stops()) + " stops.");
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("idlescan", kUsage).Main(argc, argv, Run);
}
