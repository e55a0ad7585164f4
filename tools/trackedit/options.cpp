#include "options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "timearg.h"

namespace trackedit {
namespace {

// Moves and gaps of more than about 285 years say nothing about a track.
constexpr std::int64_t kLongestSeconds = 9000000000LL;
constexpr double kMetresPerSecondPerMph = 1609.344 / 3600.0;
constexpr double kMetresPerSecondPerKmh = 1000.0 / 3600.0;
// More route points than any track has; a count beyond says nothing.
constexpr unsigned long long kMostRoutePoints = 1000000000ULL;

// Finite numbers separated by commas, exactly `count` of them.
bool Numbers(const char* text, double* values, int count) {
    const char* at = text;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(at, &end);
        if (end == at || !std::isfinite(values[i]) || *end != (i + 1 < count ? ',' : '\0')) {
            return false;
        }
        at = end + 1;
    }
    return true;
}

bool Latitude(double value) {
    return value >= -90.0 && value <= 90.0;
}
bool Longitude(double value) {
    return value >= -180.0 && value <= 180.0;
}

class Parser {
  public:
    Parser(Options& options, std::string& problem) : options_(options), problem_(problem) {}

    // One option and its value (null when the arguments end); false when
    // it is not accepted. `used` tells whether the value was taken.
    bool Option(const std::string& name, const char* value, bool& used);
    bool Finish();

  private:
    bool Fail(const std::string& problem) {
        problem_ = problem;
        return false;
    }
    bool Time(const std::string& name, const char* value, bool& given, track::Instant& instant) {
        std::string why;
        if (!ParseTime(value, instant, why)) {
            return Fail(name + ": " + why);
        }
        given = true;
        return true;
    }
    bool Metres(const std::string& name, const char* value, double& metres) {
        if (!Numbers(value, &metres, 1)) {
            return Fail(name + " needs a distance in metres, not \"" + value + "\"");
        }
        if (metres < 0.0) {
            return Fail(name + ": the distance must not be negative");
        }
        return true;
    }
    bool Seconds(const std::string& name, const char* value, std::int64_t& nanoseconds) {
        if (!ParseSeconds(value, kLongestSeconds, nanoseconds)) {
            return Fail(name + " needs seconds, as 90 or -1.5, not \"" + value + "\"");
        }
        return true;
    }

    Options& options_;
    std::string& problem_;
    double speed_ = -1.0;
    bool metric_ = false;
    bool shift_given_ = false;
    int splits_ = 0;  // a bit for each kind given
};

bool Parser::Option(const std::string& name, const char* value, bool& used) {
    EditOptions& edits = options_.edits;
    used = false;
    if (name == "-sort") {
        options_.sort = true;
    } else if (name == "-salvage") {
        options_.salvage = true;
    } else if (name == "-metric") {
        metric_ = true;
    } else if (name == "-dedupe") {
        edits.dedupe = true;
    } else if (name == "-join") {
        edits.join = true;
    } else if (name == "-track") {
        edits.to_tracks = true;
    } else if (name == "-split-day") {
        options_.split = Split::kDay;
        splits_ |= 1;
    } else if (name == "-split-segments") {
        options_.split = Split::kSegments;
        splits_ |= 2;
    } else {
        static const char* const kWithValue[] = {"-from",  "-to",     "-box",      "-hide",
                                                 "-trim",  "-spikes", "-simplify", "-route",
                                                 "-shift", "-start",  "-name",     "-split-gap"};
        bool known = false;
        for (const char* option : kWithValue) {
            known = known || name == option;
        }
        if (!known) {
            return Fail("unknown option " + name);
        }
        if (value == nullptr) {
            return Fail(name + " needs a value");
        }
        used = true;
        if (name == "-from") {
            return Time(name, value, edits.from_given, edits.from);
        }
        if (name == "-to") {
            return Time(name, value, edits.to_given, edits.to);
        }
        if (name == "-start") {
            return Time(name, value, edits.start_given, edits.start);
        }
        if (name == "-box") {
            double box[4];
            if (!Numbers(value, box, 4)) {
                return Fail(std::string("-box needs SOUTH,WEST,NORTH,EAST in degrees, not \"") +
                            value + "\"");
            }
            if (!Latitude(box[0]) || !Latitude(box[2]) || !Longitude(box[1]) ||
                !Longitude(box[3])) {
                return Fail("-box: latitudes lie within -90 to 90, longitudes within -180 to 180");
            }
            if (box[0] > box[2]) {
                return Fail("-box: SOUTH lies north of NORTH");
            }
            edits.box_given = true;
            edits.south = box[0];
            edits.west = box[1];
            edits.north = box[2];
            edits.east = box[3];
            return true;
        }
        if (name == "-hide") {
            double zone[3];
            if (!Numbers(value, zone, 3)) {
                return Fail(std::string("-hide needs LAT,LON,METRES, not \"") + value + "\"");
            }
            if (!Latitude(zone[0]) || !Longitude(zone[1])) {
                return Fail("-hide: latitudes lie within -90 to 90, longitudes within -180 to 180");
            }
            if (zone[2] < 0.0) {
                return Fail("-hide: the distance must not be negative");
            }
            edits.hidden.push_back({zone[0], zone[1], zone[2]});
            return true;
        }
        if (name == "-trim") {
            return Metres(name, value, edits.trim);
        }
        if (name == "-simplify") {
            return Metres(name, value, edits.simplify);
        }
        if (name == "-route") {
            char* end = nullptr;
            const unsigned long long points = std::strtoull(value, &end, 10);
            // Digits only: strtoull takes a sign and wraps a minus round.
            if (value[0] < '0' || value[0] > '9' || *end != '\0' || points < 2 ||
                points > kMostRoutePoints) {
                return Fail(std::string("-route needs a count of 2 or more points, not \"") +
                            value + "\"");
            }
            edits.route_points = static_cast<std::size_t>(points);
            return true;
        }
        if (name == "-spikes") {
            if (!Numbers(value, &speed_, 1) || speed_ < 0.0) {
                return Fail(std::string("-spikes needs a speed of 0 or more, not \"") + value +
                            "\"");
            }
            return true;
        }
        if (name == "-shift") {
            shift_given_ = true;
            return Seconds(name, value, edits.shift_nanoseconds);
        }
        if (name == "-name") {
            edits.name_given = true;
            edits.name = value;
            return true;
        }
        // -split-gap
        splits_ |= 4;
        options_.split = Split::kGap;
        if (!Seconds(name, value, options_.gap_nanoseconds)) {
            return false;
        }
        if (options_.gap_nanoseconds < 0) {
            return Fail("-split-gap: the seconds must not be negative");
        }
    }
    return true;
}

bool Parser::Finish() {
    EditOptions& edits = options_.edits;
    if (edits.from_given && edits.to_given && edits.from > edits.to) {
        return Fail("-from lies after -to");
    }
    if (shift_given_ && edits.start_given) {
        return Fail("-shift and -start do not go together: both move the times");
    }
    if (edits.route_points != 0 && edits.to_tracks) {
        return Fail("-route and -track do not go together: one makes routes, the other tracks");
    }
    if ((splits_ & (splits_ - 1)) != 0) {
        return Fail("one split at a time: -split-gap, -split-day or -split-segments");
    }
    if (options_.split != Split::kNone && options_.output == "-") {
        return Fail("a split writes files named after the output: it cannot be -");
    }
    int standard_inputs = 0;
    for (const std::string& input : options_.inputs) {
        standard_inputs += input == "-" ? 1 : 0;
    }
    if (standard_inputs > 1) {
        return Fail("standard input (-) can be read only once");
    }
    if (speed_ >= 0.0) {
        edits.spike_speed = speed_ * (metric_ ? kMetresPerSecondPerKmh : kMetresPerSecondPerMph);
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char* argv[], Options& options, std::string& problem) {
    problem.clear();
    Parser parser(options, problem);
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() > 1 && argument[0] == '-') {
            bool used = false;
            if (!parser.Option(argument, i + 1 < argc ? argv[i + 1] : nullptr, used)) {
                return false;
            }
            i += used ? 1 : 0;
        } else {
            names.push_back(argument);
        }
    }
    if (names.size() < 2) {
        return false;
    }
    options.output = names.back();
    names.pop_back();
    options.inputs = names;
    return parser.Finish();
}

}  // namespace trackedit
