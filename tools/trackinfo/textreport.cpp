#include "textreport.h"

#include <cmath>

#include "formatting.h"
#include "tracktools/track/sport.h"

namespace trackinfo {

const char* TriggerName(track::LapTrigger trigger) {
    switch (trigger) {
        case track::LapTrigger::kManual:
            return "manual";
        case track::LapTrigger::kDistance:
            return "distance";
        case track::LapTrigger::kTime:
            return "time";
        case track::LapTrigger::kPosition:
            return "position";
        case track::LapTrigger::kSessionEnd:
            return "session_end";
        case track::LapTrigger::kUnknown:
            break;
    }
    return "";
}

std::string SportsText(const std::vector<Session>& sessions) {
    std::string text;
    for (const Session& session : sessions) {
        const std::string_view name = track::SportName(session.sport);
        text += (text.empty() ? "" : ", ") +
                (name.empty() ? "sport " + std::to_string(session.sport) : std::string(name));
    }
    return text;
}

namespace {

void Line(std::vector<Row>& out, const std::string& label, const std::string& value) {
    out.push_back(Row{label, value});
}

template <typename T, typename Text>
std::string OrDash(const std::optional<T>& value, Text text) {
    return value ? text(*value) : "-";
}

std::string WithUnit(const std::string& number, const char* unit) {
    return number == "-" ? number : number + " " + unit;
}

template <typename Convert>
std::string RangeText(const std::optional<Range>& range, Convert convert, int decimals,
                      const char* unit) {
    if (!range) {
        return "-";
    }
    const std::string text =
        Fixed(convert(range->low), decimals) + " to " + Fixed(convert(range->high), decimals);
    return unit[0] == '\0' ? text : text + " " + unit;
}

// "142 bpm average, 171 bpm max" and the like, for a sensor the track has.
std::string SensorText(const SensorFigures& sensor, const char* unit) {
    return WithUnit(OrDash(sensor.average.Value(), [](double v) { return Fixed(v, 0); }), unit) +
           " average, " + Fixed(sensor.range->high, 0) + " " + unit + " max";
}

// Every figure of a track or of the total, after the first line.
void FigureRows(std::vector<Row>& out, const Figures& f, const Style& style) {
    const Units& units = style.units;
    const auto clock = [](double seconds) { return Clock(seconds); };
    const auto when = [&](track::Instant time) { return style.times.Text(time); };
    const auto speed = [&](double metres_per_second) {
        std::string text = WithUnit(Fixed(units.Speed(metres_per_second), 1), units.SpeedName());
        if (style.pace && text != "-") {
            text +=
                " (" + Pace(units.PaceSeconds(metres_per_second)) + " " + units.PaceName() + ")";
        }
        return text;
    };
    const auto height = [&](double metres) {
        return WithUnit(Fixed(units.Height(metres), 1), units.HeightName());
    };
    Line(out, "Points", std::to_string(f.points));
    Line(out, "Segments", std::to_string(f.segments));
    Line(out, "Start", OrDash(f.start, when));
    Line(out, "End", OrDash(f.end, when));
    Line(out, "Duration", OrDash(f.duration, clock));
    Line(out, "Moving time", OrDash(f.MovingSeconds(), clock));
    Line(out, "Stopped time", OrDash(f.StoppedSeconds(), clock));
    Line(out, "Breaks", OrDash(f.BreakSeconds(), clock));
    Line(out, "Distance", WithUnit(Fixed(units.Distance(f.metres), 3), units.DistanceName()));
    Line(out, "Average speed", OrDash(f.AverageSpeed(), speed));
    Line(out, "Moving average", OrDash(f.MovingAverage(), speed));
    Line(out, "Max speed",
         OrDash(f.fastest, [&](const Stretch& s) { return speed(s.metres_per_second); }));
    const auto as_height = [&](double metres) { return units.Height(metres); };
    const auto as_is = [](double degrees) { return degrees; };
    Line(out, "Elevation", RangeText(f.elevation, as_height, 1, units.HeightName()));
    Line(out, "Climb", f.elevation ? height(f.climb) : "-");
    Line(out, "Descent", f.elevation ? height(f.descent) : "-");
    Line(out, "Latitude", RangeText(f.latitude, as_is, 6, ""));
    Line(out, "Longitude", RangeText(f.longitude, as_is, 6, ""));
    if (f.heart_rate.range) {
        Line(out, "Heart rate", SensorText(f.heart_rate, "bpm"));
    }
    if (f.cadence.range) {
        Line(out, "Cadence", SensorText(f.cadence, "rpm"));
    }
    if (f.power.range) {
        Line(out, "Power",
             SensorText(f.power, "W") + ", " +
                 WithUnit(OrDash(f.NormalisedWatts(), [](double v) { return Fixed(v, 0); }), "W") +
                 " normalised");
    }
    if (f.temperature.range) {
        const auto degrees = [&](double celsius) { return units.Temperature(celsius); };
        Line(out, "Temperature",
             RangeText(f.temperature.range, degrees, 1, units.TemperatureName()) + ", " +
                 WithUnit(Fixed(degrees(*f.temperature.average.Value()), 1),
                          units.TemperatureName()) +
                 " average");
    }
    if (f.waypoints > 0) {
        Line(out, "Waypoints", std::to_string(f.waypoints));
    }
    if (f.route_count > 0) {
        Line(out, "Routes", std::to_string(f.route_count));
    }
}

void FindingLines(std::vector<Row>& out, const Findings& findings, bool with_skipped) {
    for (const FindingKind& kind : kFindingKinds) {
        const std::uint64_t count = findings.*kind.count;
        if (count > 0 && (with_skipped || kind.count != &Findings::skipped_points)) {
            Line(out, "Finding", Counted(count, kind.one, kind.many));
        }
    }
}

}  // namespace

std::vector<Row> SplitRows(const Figures& f, const Style& style) {
    const Units& units = style.units;
    std::vector<Row> out;
    for (std::size_t k = 0; k < f.splits.size(); ++k) {
        const Split& split = f.splits[k];
        std::string text = WithUnit(Fixed(units.Distance(split.metres), 3), units.DistanceName()) +
                           " in " + Clock(split.seconds) + ", moving " +
                           Clock(split.moving_seconds) + " (" +
                           (split.moving_seconds > 0.0
                                ? Pace(split.moving_seconds / split.metres * units.UnitMetres())
                                : "-") +
                           " " + units.PaceName() + ")";
        if (f.elevation) {
            text += ", climb " + Fixed(units.Height(split.climb), 1) + " " + units.HeightName() +
                    ", descent " + Fixed(units.Height(split.descent), 1) + " " + units.HeightName();
        }
        if (f.heart_rate.range) {
            text += ", " +
                    WithUnit(OrDash(split.heart_rate.Value(), [](double v) { return Fixed(v, 0); }),
                             "bpm");
        }
        if (f.power.range) {
            text +=
                ", " +
                WithUnit(OrDash(split.power.Value(), [](double v) { return Fixed(v, 0); }), "W");
        }
        Line(out, "Split " + std::to_string(k + 1), text);
    }
    return out;
}

std::vector<Row> LapRows(const Figures& f, const Style& style) {
    const Units& units = style.units;
    const auto speed = [&](const std::optional<double>& metres_per_second, const char* what) {
        return WithUnit(
                   OrDash(metres_per_second, [&](double v) { return Fixed(units.Speed(v), 1); }),
                   units.SpeedName()) +
               " " + what;
    };
    const auto sensor = [](const SensorFigures& values, const char* unit) {
        return ", " + SensorText(values, unit);
    };
    std::vector<Row> out;
    for (std::size_t k = 0; k < f.laps.size(); ++k) {
        const Lap& lap = f.laps[k];
        std::string text =
            OrDash(lap.start, [&](track::Instant time) { return style.times.Text(time); }) + ", " +
            OrDash(lap.duration, [](double seconds) { return Clock(seconds); }) + ", moving " +
            Clock(lap.moving_seconds) + ", " +
            WithUnit(Fixed(units.Distance(lap.metres), 3), units.DistanceName()) + ", " +
            speed(lap.average_speed, "average") + ", " + speed(lap.max_speed, "max");
        text += lap.heart_rate.range ? sensor(lap.heart_rate, "bpm") : "";
        text += lap.cadence.range ? sensor(lap.cadence, "rpm") : "";
        text += lap.power.range ? sensor(lap.power, "W") : "";
        if (lap.climb) {
            text += ", climb " + Fixed(units.Height(*lap.climb), 1) + " " + units.HeightName() +
                    ", descent " + Fixed(units.Height(*lap.descent), 1) + " " + units.HeightName();
        }
        const std::string trigger = TriggerName(lap.ended_by);
        text += trigger.empty() ? "" : ", ended by " + trigger;
        Line(out, "Lap " + std::to_string(k + 1), text);
    }
    return out;
}

std::vector<Row> FileRows(const FileReport& file, const Style& style) {
    std::vector<Row> out;
    Line(out, "File", ValidUtf8(file.name));
    const std::string sports = SportsText(file.figures.sessions);
    if (!sports.empty()) {
        Line(out, "Sport", sports);
    }
    FigureRows(out, file.figures, style);
    const Units& units = style.units;
    for (std::size_t k = 0; k < file.figures.routes.size(); ++k) {
        const Route& route = file.figures.routes[k];
        const std::string name = ValidUtf8(route.name);
        Line(out, "Route " + std::to_string(k + 1),
             (name.empty() ? "" : name + ", ") +
                 WithUnit(Fixed(units.Distance(route.metres), 3), units.DistanceName()) + ", " +
                 Counted(route.points, "point", "points"));
    }
    for (Row& row : SplitRows(file.figures, style)) {
        out.push_back(std::move(row));
    }
    if (style.laps) {
        for (Row& row : LapRows(file.figures, style)) {
            out.push_back(std::move(row));
        }
    }
    // The reader's own words for the points it left out, else ours.
    bool reader_said_why = false;
    for (const formats::Tally& tally : file.tallies) {
        reader_said_why = reader_said_why || tally.skipped;
    }
    FindingLines(out, file.figures.findings, !reader_said_why);
    for (const formats::Tally& tally : file.tallies) {
        Line(out, tally.skipped ? "Finding" : "Note", Counted(tally.count, tally.one, tally.many));
    }
    return out;
}

std::vector<Row> TotalRows(const Figures& total, std::uint64_t files, const Style& style) {
    std::vector<Row> out;
    Line(out, "Total", Counted(files, "file", "files"));
    FigureRows(out, total, style);
    FindingLines(out, total.findings, true);
    return out;
}

std::string Text(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& row : rows) {
        std::string line = row.label;
        line.resize(16, ' ');
        out += line + row.value + "\n";
    }
    return out;
}

void TextReport::File(const FileReport& file, const TrackDrawing* /*drawing*/) {
    output_((first_ ? "" : "\n") + Text(FileRows(file, style_)));
    first_ = false;
}

void TextReport::Total(const Figures& total, std::uint64_t files) {
    output_((first_ ? "" : "\n") + Text(TotalRows(total, files, style_)));
    first_ = false;
}

}  // namespace trackinfo
