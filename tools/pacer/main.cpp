// pacer: re-times a track so that it runs at one constant speed, or,
// without a speed, fills in the measured speed and heading of every leg.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "gplunits.h"
#include "program.h"
#include "stage.h"
#include "toolframe.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/track/gpldata.h"

namespace {

constexpr char kUsage[] = "Usage: pacer <input.gpl> <output.gpl> [<new_mph_speed>]\n";

// A point is passed on only once the point after it is known: the leg that
// leaves it decides its Speed and Heading, or, at a constant speed, its own
// Speed and the next point's Time. The last point starts no leg and keeps
// its Speed and Heading.
class Pace : public tools::Stage {
  public:
    // Any speed other than 0 (a NaN included) re-times the track.
    explicit Pace(double new_speed) : new_speed_(new_speed) {}

    bool Take(track::Point*& point) override {
        if (!holding_) {
            holding_ = true;
            held_.Exchange(point);
            return true;
        }
        track::Point& held = *held_;
        track::Point& next = *point;
        const tools::Leg leg = tools::MeasureLeg(earth_, held, next);
        if (new_speed_ != 0.0) {
            track::SetRecordSpeed(held, new_speed_);
            // Each leg adds the whole seconds of its own duration to the
            // already re-timed start; fractions are not carried over.
            const double seconds = leg.miles / new_speed_ * tools::kSecondsPerHour;
            track::SetRecordTime(
                next, gpl::TimeFromSeconds(static_cast<double>(track::RecordTime(held)) + seconds));
        } else {
            track::SetRecordSpeed(held, leg.mph);
            track::SetRecordHeading(held, leg.forward_azimuth);
        }
        if (!Pass(held_.Pointer())) {
            return false;
        }
        held_.Exchange(point);
        return true;
    }

    bool End() override { return (!holding_ || Pass(held_.Pointer())) && Stage::End(); }

  private:
    const double new_speed_;
    const CEarth earth_{geodesy::Ellipsoid::kWgs84};
    tools::Slot held_;
    bool holding_ = false;
};

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        return program.Usage();
    }
    // 0, -0 or an argument without a number measures the legs instead.
    tools::ToolFrame frame(program, argv[1], argv[2]);
    frame.PositionsOnly();
    double new_speed = 0.0;
    if (argc == 4) {
        new_speed = std::strtod(argv[3], nullptr);
        std::ostringstream text;
        text << "Setting Speed to " << new_speed << " mph.";
        frame.Messages().Line(text.str());
    }

    if (const int failed = frame.Open()) {
        return failed;
    }
    Pace pace(new_speed);
    pace.Connect(&frame.Output());
    frame.Announce();
    // A point is marked once the point after it is read; the last one
    // gets no mark of its own.
    if (const int failed = frame.Process(pace, 1)) {
        return failed;
    }
    return frame.Finish();
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("pacer", kUsage).Main(argc, argv, Run);
}
