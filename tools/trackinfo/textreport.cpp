#include "textreport.h"

#include "formatting.h"

namespace trackinfo {
namespace {

void Line(std::vector<Row>& out, const char* label, const std::string& value) {
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

// Every figure of a track or of the total, after the first line.
void FigureRows(std::vector<Row>& out, const trackinfo::Figures& f, const Units& units) {
    const auto clock = [](std::int64_t seconds) { return Clock(seconds); };
    const auto utc = [](std::uint32_t time) { return UtcText(time) + " UTC"; };
    const auto speed = [&](double metres_per_second) {
        return WithUnit(Fixed(units.Speed(metres_per_second), 1), units.SpeedName());
    };
    const auto height = [&](double metres) {
        return WithUnit(Fixed(units.Height(metres), 1), units.HeightName());
    };
    Line(out, "Points", std::to_string(f.points));
    Line(out, "Start", OrDash(f.start, utc));
    Line(out, "End", OrDash(f.end, utc));
    Line(out, "Duration", OrDash(f.duration, clock));
    Line(out, "Moving time", OrDash(f.MovingSeconds(), clock));
    Line(out, "Stopped time", OrDash(f.StoppedSeconds(), clock));
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

std::vector<Row> FileRows(const FileReport& file, const Units& units) {
    std::vector<Row> out;
    Line(out, "File", ValidUtf8(file.name));
    FigureRows(out, file.figures, units);
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

std::vector<Row> TotalRows(const trackinfo::Figures& total, std::uint64_t files,
                           const Units& units) {
    std::vector<Row> out;
    Line(out, "Total", Counted(files, "file", "files"));
    FigureRows(out, total, units);
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

}  // namespace trackinfo
