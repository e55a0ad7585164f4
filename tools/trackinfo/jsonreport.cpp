#include "jsonreport.h"

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
    template <typename T>
    void Seconds(const char* key, const std::optional<T>& value) {
        Raw(key, value ? std::to_string(*value) : "null");
    }
    void Optional(const char* key, const std::optional<double>& value) {
        Raw(key, value ? JsonNumber(*value) : "null");
    }
    void Time(const char* key, const std::optional<std::uint32_t>& time) {
        Raw(key, time ? JsonString(IsoTime(*time)) : "null");
    }
    std::string Close() const { return "  {" + text_ + "\n  }"; }

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

void AddFigures(Object& object, const Figures& f) {
    object.Count("points", f.points);
    object.Time("start", f.start);
    object.Time("end", f.end);
    object.Seconds("duration_s", f.duration);
    object.Seconds("moving_time_s", f.MovingSeconds());
    object.Seconds("stopped_time_s", f.StoppedSeconds());
    object.Number("distance_m", f.metres);
    object.Optional("average_speed_m_s", f.AverageSpeed());
    object.Optional("moving_average_speed_m_s", f.MovingAverage());
    const std::optional<Stretch>& fastest = f.fastest;
    object.Optional("max_speed_m_s",
                    fastest ? std::optional<double>(fastest->metres_per_second) : std::nullopt);
    object.Time("max_speed_start", fastest ? std::optional(fastest->start) : std::nullopt);
    object.Time("max_speed_end", fastest ? std::optional(fastest->end) : std::nullopt);
    const auto range = [&](const std::optional<Range>& r, bool high) {
        return r ? std::optional<double>(high ? r->high : r->low) : std::nullopt;
    };
    object.Optional("lowest_m", range(f.elevation, false));
    object.Optional("highest_m", range(f.elevation, true));
    object.Optional("climb_m", f.elevation ? std::optional<double>(f.climb) : std::nullopt);
    object.Optional("descent_m", f.elevation ? std::optional<double>(f.descent) : std::nullopt);
    object.Optional("south", range(f.latitude, false));
    object.Optional("north", range(f.latitude, true));
    object.Optional("west", range(f.longitude, false));
    object.Optional("east", range(f.longitude, true));
    object.Raw("findings", FindingCounts(f.findings));
}

}  // namespace

std::string JsonReport::Separator() {
    const bool first = first_;
    first_ = false;
    return first ? "\n" : ",\n";
}

std::string JsonReport::File(const FileReport& file) {
    Object object;
    object.Raw("file", JsonString(file.name));
    object.Raw("format", file.error.empty() ? JsonString(file.format.Name()) : "null");
    object.Raw("error", file.error.empty() ? "null" : JsonString(file.error));
    if (file.error.empty()) {
        AddFigures(object, file.figures);
        std::string tallies = "[";
        for (const formats::Tally& tally : file.tallies) {
            tallies += std::string(tallies.size() > 1 ? ", " : "") +
                       "{\"count\": " + std::to_string(tally.count) +
                       ", \"what\": " + JsonString(tally.many) +
                       ", \"skipped\": " + (tally.skipped ? "true" : "false") + "}";
        }
        object.Raw("reader", tallies + "]");
    }
    return Separator() + object.Close();
}

std::string JsonReport::Total(const Figures& total, std::uint64_t files) {
    Object object;
    object.Raw("file", "null");
    object.Count("files", files);
    AddFigures(object, total);
    return Separator() + object.Close();
}

}  // namespace trackinfo
