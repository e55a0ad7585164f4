#include "jsonreport.h"

#include <cmath>

#include "formatting.h"

namespace trackinfo {
namespace {

// One "key": value pair per line of the object.
class Object {
  public:
    void Raw(const char* key, const std::string& value) {
        text_ += first_ ? "\n    " : ",\n    ";
        text_ += JsonString(key) + ": " + value;
        first_ = false;
    }
    void Number(const char* key, double value) { Raw(key, JsonNumber(value)); }
    void Count(const char* key, std::uint64_t value) { Raw(key, std::to_string(value)); }
    void Optional(const char* key, const std::optional<double>& value) {
        Raw(key, value ? JsonNumber(*value) : "null");
    }
    // Durations are sums of differences of times given to the nanosecond:
    // rounded to it, they print as the times add up (621.507, not
    // 621.5069999999996).
    void Seconds(const char* key, const std::optional<double>& seconds) {
        Optional(key, seconds ? std::optional<double>(std::nearbyint(*seconds * 1e9) / 1e9)
                              : std::nullopt);
    }
    void Time(const char* key, const std::optional<track::Instant>& time) {
        Raw(key, time ? JsonString(IsoTime(*time)) : "null");
    }
    std::string Close() const { return "  {" + text_ + "\n  }"; }
    // On one line, for the items of an array.
    std::string Inline() const {
        std::string text = text_;
        for (std::size_t at = text.find("\n    "); at != std::string::npos;
             at = text.find("\n    ", at)) {
            text.replace(at, 5, at == 0 ? "" : " ");
        }
        return "{" + text + "}";
    }

  private:
    std::string text_;
    bool first_ = true;
};

std::string FindingCounts(const trackinfo::Findings& findings) {
    std::string text = "{";
    for (const FindingKind& kind : kFindingKinds) {
        text += (text.size() > 1 ? ", " : "") + JsonString(kind.key) + ": " +
                std::to_string(findings.*kind.count);
    }
    return text + "}";
}

std::optional<double> High(const std::optional<Range>& range) {
    return range ? std::optional<double>(range->high) : std::nullopt;
}

std::optional<double> Low(const std::optional<Range>& range) {
    return range ? std::optional<double>(range->low) : std::nullopt;
}

// An array of objects, one a line: "[" and each object added, then the
// end, on a line of its own after any object.
void AddLine(std::string& array, const Object& object) {
    array += (array.size() > 1 ? ",\n      " : "\n      ") + object.Inline();
}

std::string EndLines(const std::string& array) {
    return array + (array.size() > 1 ? "\n    ]" : "]");
}

std::string Splits(const std::vector<Split>& splits, const Figures& f) {
    std::string text = "[";
    for (const Split& split : splits) {
        Object object;
        object.Number("distance_m", split.metres);
        object.Seconds("time_s", split.seconds);
        object.Seconds("moving_time_s", split.moving_seconds);
        object.Optional("climb_m", f.elevation ? std::optional<double>(split.climb) : std::nullopt);
        object.Optional("descent_m",
                        f.elevation ? std::optional<double>(split.descent) : std::nullopt);
        object.Optional("heart_rate_avg_bpm", split.heart_rate.Value());
        object.Optional("power_avg_w", split.power.Value());
        AddLine(text, object);
    }
    return EndLines(text);
}

std::optional<double> Max(const SensorFigures& sensor) {
    return sensor.range ? std::optional<double>(sensor.range->high) : std::nullopt;
}

std::string Laps(const std::vector<Lap>& laps) {
    std::string text = "[";
    for (const Lap& lap : laps) {
        Object object;
        object.Time("start", lap.start);
        object.Seconds("duration_s", lap.duration);
        object.Seconds("moving_time_s", lap.moving_seconds);
        object.Number("distance_m", lap.metres);
        object.Optional("average_speed_m_s", lap.average_speed);
        object.Optional("max_speed_m_s", lap.max_speed);
        object.Optional("heart_rate_avg_bpm", lap.heart_rate.average.Value());
        object.Optional("heart_rate_max_bpm", Max(lap.heart_rate));
        object.Optional("cadence_avg_rpm", lap.cadence.average.Value());
        object.Optional("cadence_max_rpm", Max(lap.cadence));
        object.Optional("power_avg_w", lap.power.average.Value());
        object.Optional("power_max_w", Max(lap.power));
        object.Optional("climb_m", lap.climb);
        object.Optional("descent_m", lap.descent);
        const std::string trigger = TriggerName(lap.ended_by);
        object.Raw("ended_by", trigger.empty() ? "null" : JsonString(trigger));
        AddLine(text, object);
    }
    return EndLines(text);
}

std::string Sports(const std::vector<Session>& sessions) {
    std::string text = "[";
    for (const Session& session : sessions) {
        text += (text.size() > 1 ? ", " : "") + JsonString(SportsText({session}));
    }
    return text + "]";
}

void AddFigures(Object& object, const Figures& f) {
    object.Count("points", f.points);
    object.Count("segments", f.segments);
    object.Time("start", f.start);
    object.Time("end", f.end);
    object.Seconds("duration_s", f.duration);
    object.Seconds("moving_time_s", f.MovingSeconds());
    object.Seconds("stopped_time_s", f.StoppedSeconds());
    object.Seconds("breaks_s", f.BreakSeconds());
    object.Number("distance_m", f.metres);
    object.Optional("device_distance_m", f.device_metres);
    object.Optional("average_speed_m_s", f.AverageSpeed());
    object.Optional("moving_average_speed_m_s", f.MovingAverage());
    const std::optional<Stretch>& fastest = f.fastest;
    object.Optional("max_speed_m_s",
                    fastest ? std::optional<double>(fastest->metres_per_second) : std::nullopt);
    object.Time("max_speed_start", fastest ? std::optional(fastest->start) : std::nullopt);
    object.Time("max_speed_end", fastest ? std::optional(fastest->end) : std::nullopt);
    object.Optional("lowest_m", Low(f.elevation));
    object.Optional("highest_m", High(f.elevation));
    object.Optional("climb_m", f.elevation ? std::optional<double>(f.climb) : std::nullopt);
    object.Optional("descent_m", f.elevation ? std::optional<double>(f.descent) : std::nullopt);
    object.Optional("south", Low(f.latitude));
    object.Optional("north", High(f.latitude));
    object.Optional("west", Low(f.longitude));
    object.Optional("east", High(f.longitude));
    object.Optional("heart_rate_avg_bpm", f.heart_rate.average.Value());
    object.Optional("heart_rate_max_bpm", High(f.heart_rate.range));
    object.Optional("cadence_avg_rpm", f.cadence.average.Value());
    object.Optional("cadence_max_rpm", High(f.cadence.range));
    object.Optional("power_avg_w", f.power.average.Value());
    object.Optional("power_max_w", High(f.power.range));
    object.Optional("power_normalized_w", f.NormalisedWatts());
    object.Optional("temperature_min_c", Low(f.temperature.range));
    object.Optional("temperature_avg_c", f.temperature.average.Value());
    object.Optional("temperature_max_c", High(f.temperature.range));
    object.Raw("findings", FindingCounts(f.findings));
    object.Count("waypoints", f.waypoints);
    object.Count("routes", f.route_count);
}

std::string RouteLengths(const std::vector<Route>& routes) {
    std::string text = "[";
    for (const Route& route : routes) {
        Object object;
        object.Raw("name", JsonString(ValidUtf8(route.name)));
        object.Count("points", route.points);
        object.Number("distance_m", route.metres);
        AddLine(text, object);
    }
    return EndLines(text);
}

}  // namespace

std::string JsonReport::Separator() {
    const bool first = first_;
    first_ = false;
    return first ? "\n" : ",\n";
}

void JsonReport::File(const FileReport& file, const TrackDrawing* /*drawing*/) {
    Object object;
    object.Raw("file", JsonString(file.name));
    object.Raw("format", file.error.empty() ? JsonString(file.format.Name()) : "null");
    object.Raw("error", file.error.empty() ? "null" : JsonString(file.error));
    if (file.error.empty()) {
        AddFigures(object, file.figures);
        if (splits_) {
            object.Raw("splits", Splits(file.figures.splits, file.figures));
        }
        object.Raw("route_lengths", RouteLengths(file.figures.routes));
        object.Raw("sports", Sports(file.figures.sessions));
        object.Raw("laps", Laps(file.figures.laps));
        std::string tallies = "[";
        for (const formats::Tally& tally : file.tallies) {
            tallies += std::string(tallies.size() > 1 ? ", " : "") +
                       "{\"count\": " + std::to_string(tally.count) +
                       ", \"what\": " + JsonString(tally.many) +
                       ", \"skipped\": " + (tally.skipped ? "true" : "false") + "}";
        }
        object.Raw("reader", tallies + "]");
    }
    output_(Separator() + object.Close());
}

void JsonReport::Total(const Figures& total, std::uint64_t files) {
    Object object;
    object.Raw("file", "null");
    object.Count("files", files);
    AddFigures(object, total);
    output_(Separator() + object.Close());
}

}  // namespace trackinfo
