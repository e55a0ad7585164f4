// pacer: re-times a GPL track so that it runs at one constant speed, or,
// without a speed, fills in the measured speed and heading of every leg.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "CEarth.h"
#include "CPolarCoordinate.h"
#include "numbers.h"
#include "toolframe.h"

namespace {

constexpr double kFeetPerMeter = 3.281;
constexpr double kMilesPerMeter = 0.0006214;
constexpr double kSecondsPerHour = 3600.0;

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        console::PrintLine("Usage: pacer <input.gpl> <output.gpl> [<new_mph_speed>]");
        return console::kExitUsage;
    }
    // Any speed other than 0 (a NaN included) re-times the track; 0, -0 or an
    // argument without a number measures it instead.
    double new_speed = 0.0;
    if (argc == 4) {
        new_speed = std::strtod(argv[3], nullptr);
        std::ostringstream text;
        text << "Setting Speed to " << new_speed << " mph.";
        console::PrintLine(text.str());
    }
    const bool constant_speed = new_speed != 0.0;

    ToolFrame frame(argv[1], argv[2]);
    if (const int failed = frame.Open()) {
        return failed;
    }
    frame.Announce();

    const CEarth earth(25);
    CPolarCoordinate start;
    CPolarCoordinate end;
    GPL_Data_Point held;
    GPL_Data_Point next;
    // A point is written only once the point after it is known: the leg that
    // leaves it decides its Speed and Heading, and the next point's Time.
    if (frame.Read(held)) {
        std::uint64_t records_read = 1;
        for (;;) {
            if (!frame.Read(next)) {
                // The last point starts no leg and keeps its Speed and Heading.
                if (!frame.Write(held)) {
                    return frame.WriteFailed();
                }
                break;
            }
            start.Set(held.Latitude, held.Longitude, held.Altitude / kFeetPerMeter);
            end.Set(next.Latitude, next.Longitude, next.Altitude / kFeetPerMeter);
            double forward = 0.0;
            double back = 0.0;
            const double miles =
                earth.GetSurfaceDistance(start, end, &forward, &back) * kMilesPerMeter;
            if (constant_speed) {
                held.Speed = new_speed;
                // Each leg adds the whole seconds of its own duration to the
                // already re-timed start; fractions are not carried over.
                const double seconds = miles / new_speed * kSecondsPerHour;
                next.Time = numbers::TruncateToLow32(static_cast<double>(held.Time) + seconds);
            } else {
                // Time stamps wrap modulo 2^32: a step backwards reads as
                // nearly 2^32 seconds, a speed near 0 rather than a negative one.
                const std::uint32_t elapsed = next.Time - held.Time;
                held.Speed = miles / (static_cast<double>(elapsed) / kSecondsPerHour);
                held.Heading = forward;
            }
            if (!frame.Write(held)) {
                return frame.WriteFailed();
            }
            held = next;
            ++records_read;
            // The record written after the loop gets no mark of its own.
            frame.Mark(records_read);
        }
    }
    // Every complete record was written exactly once.
    return frame.Finish();
}
