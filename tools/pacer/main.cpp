// pacer: re-times a track so that it runs at one constant speed, or,
// without a speed, fills in the measured speed and heading of every leg.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "leg.h"
#include "program.h"
#include "toolframe.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"

namespace {

constexpr char kUsage[] = "Usage: pacer <input.gpl> <output.gpl> [<new_mph_speed>]\n";

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        return program.Usage();
    }
    // Any speed other than 0 (a NaN included) re-times the track; 0, -0 or an
    // argument without a number measures it instead.
    tools::ToolFrame frame(program, argv[1], argv[2]);
    double new_speed = 0.0;
    if (argc == 4) {
        new_speed = std::strtod(argv[3], nullptr);
        std::ostringstream text;
        text << "Setting Speed to " << new_speed << " mph.";
        frame.Messages().Line(text.str());
    }
    const bool constant_speed = new_speed != 0.0;

    if (const int failed = frame.Open()) {
        return failed;
    }
    frame.Announce();

    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    // The points of the two records, taking turns: which one is held flips.
    track::Point points[2];
    int held_point = 0;
    GPL_Data_Point held;
    GPL_Data_Point next;
    // A point is written only once the point after it is known: the leg that
    // leaves it decides its Speed and Heading, and the next point's Time.
    if (frame.ReadRecord(points[held_point], held)) {
        std::uint64_t records_read = 1;
        for (;;) {
            if (!frame.ReadRecord(points[1 - held_point], next)) {
                // The last point starts no leg and keeps its Speed and Heading.
                if (!frame.WriteRecord(points[held_point], held)) {
                    return frame.WriteFailed();
                }
                break;
            }
            const tools::Leg leg = tools::MeasureLeg(earth, held, next);
            if (constant_speed) {
                held.Speed = new_speed;
                // Each leg adds the whole seconds of its own duration to the
                // already re-timed start; fractions are not carried over.
                const double seconds = leg.miles / new_speed * tools::kSecondsPerHour;
                next.Time = gpl::TimeFromSeconds(static_cast<double>(held.Time) + seconds);
            } else {
                held.Speed = leg.mph;
                held.Heading = leg.forward_azimuth;
            }
            if (!frame.WriteRecord(points[held_point], held)) {
                return frame.WriteFailed();
            }
            held_point = 1 - held_point;
            held = next;
            ++records_read;
            // The record written after the loop gets no mark of its own.
            frame.Mark(records_read);
        }
    }
    // Every complete record was written exactly once.
    return frame.Finish();
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("pacer", kUsage).Main(argc, argv, Run);
}
