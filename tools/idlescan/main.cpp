// idlescan: cuts a track down to its first point, the first point of
// every stop and its last point.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "leg.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"

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

    // A point whose input carried no speed (a phone's GPX) is measured as
    // pacer measures it: the speed of the leg that leaves it.
    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    track::Point current_point;
    track::Point next_point;
    track::Point previous_point;
    GPL_Data_Point current;
    GPL_Data_Point next;
    GPL_Data_Point previous;
    // Without any record, the end of the track is a zero record.
    track::FromRecord(previous, previous_point);
    std::uint64_t record = 1;  // number of the record being examined
    std::uint64_t stops = 0;
    bool in_stop = false;
    bool previous_written = false;
    bool have_next = frame.ReadRecord(next_point, next);
    while (have_next) {
        std::swap(current_point, next_point);
        current = next;
        have_next = frame.ReadRecord(next_point, next);
        const bool carried_speed = frame.RecordsOnly() || current_point.Has(track::kSpeed);
        const double speed = carried_speed || !have_next
                                 ? current.Speed
                                 : tools::MeasureLeg(earth, current, next).mph;
        const bool stopped =
            record == 1 || (!threshold_given && current.SamePlace(previous)) || speed <= stop_speed;
        previous_written = false;
        if (!stopped) {
            in_stop = false;
        } else if (!in_stop) {
            previous_written = true;
            in_stop = true;
            if (!frame.WriteRecord(current_point, current)) {
                return frame.WriteFailed();
            }
            ++stops;
        }
        previous = current;
        previous_point = current_point;
        ++record;
        frame.Mark(record);
    }
    // The end of the track: the last complete record (a zero record when
    // there was none), even if it was just written as the start of a stop;
    // written again, it begins nothing.
    if (previous_written) {
        previous_point.begins_segment = previous_point.begins_track = false;
    }
    if (!frame.WriteRecord(previous_point, previous)) {
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
