#include "htmlpage.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "formatting.h"
#include "tracktools/geodesy/CPolarCoordinate.h"

namespace trackinfo {
namespace {

// Colours of the Okabe-Ito set, told apart with the common colour-vision
// deficiencies; the markers differ in shape as well.
constexpr char kTrackColour[] = "#0072B2";    // blue
constexpr char kStartColour[] = "#009E73";    // bluish green, a circle
constexpr char kEndColour[] = "#D55E00";      // vermilion, a square
constexpr char kStopColour[] = "#CC79A7";     // reddish purple, a diamond
constexpr char kFastestColour[] = "#E69F00";  // orange, a band
constexpr char kGuideColour[] = "#555555";
constexpr char kHeartColour[] = "#CC0033";    // heart rate
constexpr char kCadenceColour[] = "#56B4E9";  // sky blue
constexpr char kPowerColour[] = "#E69F00";    // orange

constexpr char kStyle[] =
    "body{font-family:sans-serif;color:#222;background:#fff;max-width:60em;"
    "margin:1.5em auto;padding:0 1em;line-height:1.4}\n"
    "h1{font-size:1.6em}h2{font-size:1.25em;margin-top:2em;overflow-wrap:anywhere}\n"
    "table{border-collapse:collapse;margin:0.5em 0 1em}\n"
    "th,td{text-align:left;padding:0.15em 1.5em 0.15em 0;border-bottom:1px solid #ddd;"
    "vertical-align:top}\n"
    "th{font-weight:normal;color:#444}\n"
    "figure{margin:1em 0 1.5em}\n"
    ".profiles{display:grid;grid-template-columns:repeat(auto-fit,minmax(26em,1fr));"
    "column-gap:1.5em}\n"
    "svg{display:block;width:100%;height:auto;border:1px solid #ccc;background:#fff}\n"
    "figcaption{font-size:0.9em;margin-top:0.3em}\n"
    ".failure{color:#a00}\n"
    "@media print{@page{size:A4;margin:15mm}"
    "body{max-width:none;margin:0;padding:0;font-size:10pt}"
    "section+section{break-before:page}"
    "figure,table{break-inside:avoid}svg{border:none;max-height:110mm}"
    ".profiles{display:block}}\n";

std::string Number(double value) {
    return Fixed(value, 1);
}

// A round step of about `span` / `count`: 1, 2 or 5 times a power of ten.
double NiceStep(double span, double count) {
    const double raw = span / count;
    if (!(raw > 0.0) || !std::isfinite(raw)) {
        return 1.0;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double nice = fraction <= 1.0   ? 1.0
                        : fraction <= 2.0 ? 2.0
                        : fraction <= 5.0 ? 5.0
                                          : 10.0;
    return nice * magnitude;
}

// Decimals enough to tell steps of `step` apart.
int DecimalsFor(double step) {
    return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
}

struct Tick {
    double value;
    std::string label;
};

// One axis of a profile, in the units it is labelled in.
struct Axis {
    double low = 0.0;
    double high = 1.0;
    std::vector<Tick> ticks;
};

Axis NumberAxis(double low, double high, double count) {
    if (!(high > low)) {
        low -= 1.0;
        high += 1.0;
    }
    const double step = NiceStep(high - low, count);
    Axis axis;
    axis.low = std::floor(low / step) * step;
    axis.high = std::ceil(high / step) * step;
    const long steps = std::lround((axis.high - axis.low) / step);
    for (long k = 0; k <= steps && k <= 100; ++k) {
        const double value = axis.low + static_cast<double>(k) * step;
        axis.ticks.push_back(Tick{value, Fixed(value, DecimalsFor(step))});
    }
    return axis;
}

// Time of day in seconds since 1970, ticks on round times of the day in
// UTC or in local time (the offset of the track's start).
Axis TimeAxis(double low, double high, const TimeStyle& times) {
    if (!(high > low)) {
        low -= 30.0;
        high += 30.0;
    }
    static constexpr double kSteps[] = {10,    15,     30,     60,      120,     300,   600,
                                        900,   1800,   3600,   7200,    10800,   21600, 43200,
                                        86400, 172800, 604800, 2592000, 31536000};
    double step = kSteps[sizeof kSteps / sizeof kSteps[0] - 1];
    for (const double candidate : kSteps) {
        if ((high - low) / candidate <= 8.0) {
            step = candidate;
            break;
        }
    }
    double offset = 0.0;
    if (times.Local()) {
        const track::Instant start = track::Instant::FromSeconds(static_cast<std::int64_t>(low));
        const std::string text = times.Text(start);  // "... +hh:mm"
        const int sign = text[text.size() - 6] == '-' ? -1 : 1;
        offset = sign * (std::stoi(text.substr(text.size() - 5, 2)) * 3600.0 +
                         std::stoi(text.substr(text.size() - 2)) * 60.0);
    }
    Axis axis;
    axis.low = low;
    axis.high = high;
    const double first = std::ceil((low + offset) / step);
    for (long k = 0; first + static_cast<double>(k) <= (high + offset) / step && k <= 100; ++k) {
        const double value = (first + static_cast<double>(k)) * step - offset;
        const track::Instant time = track::Instant::FromSeconds(std::llround(value));
        axis.ticks.push_back(Tick{value, step < 60      ? times.Seconds(time)
                                         : step < 86400 ? times.Minutes(time)
                                                        : times.Date(time)});
    }
    return axis;
}

// The head of an inline SVG picture with its title and description.
std::string SvgBegin(const std::string& id, int width, int height, const std::string& title,
                     const std::string& description) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-labelledby=\"" + id +
           "-title " + id + "-desc\" viewBox=\"0 0 " + std::to_string(width) + " " +
           std::to_string(height) + "\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n<title id=\"" + id + "-title\">" +
           HtmlText(title) + "</title>\n<desc id=\"" + id + "-desc\">" + HtmlText(description) +
           "</desc>\n";
}

std::string Text(double x, double y, const std::string& text, const char* anchor = "start",
                 const std::string& extra = "") {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"" +
           extra + ">" + HtmlText(text) + "</text>\n";
}

std::string NothingToDraw(double x, double y, const std::string& what) {
    return Text(x, y, what, "middle", " fill=\"" + std::string(kGuideColour) + "\"");
}

std::string Figure(const std::string& svg, const std::string& caption) {
    return "<figure>\n" + svg + "</svg>\n<figcaption>" + HtmlText(caption) +
           "</figcaption>\n</figure>\n";
}

// A polyline through each line of `points`, or a dot for a line of one.
std::string Line(const std::vector<PlotPoint>& points, const char* colour = kTrackColour) {
    std::string text;
    for (const std::vector<PlotPoint>& line : Lines(points)) {
        if (line.size() == 1) {
            text += "<circle cx=\"" + Number(line[0].x) + "\" cy=\"" + Number(line[0].y) +
                    "\" r=\"3\" fill=\"" + colour + "\"/>\n";
            continue;
        }
        text += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
                "\" stroke-width=\"2\" stroke-linejoin=\"round\" points=\"";
        for (std::size_t k = 0; k < line.size(); ++k) {
            text += (k > 0 ? " " : "") + Number(line[k].x) + "," + Number(line[k].y);
        }
        text += "\"/>\n";
    }
    return text;
}

// The area of a profile inside its axes, in picture units.
struct Frame {
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 260;
    static constexpr double kLeft = 70.0;
    static constexpr double kTop = 12.0;
    static constexpr double kRight = 625.0;
    static constexpr double kBottom = 210.0;

    Axis x;
    Axis y;
    double X(double value) const {
        return kLeft + (value - x.low) / (x.high - x.low) * (kRight - kLeft);
    }
    double Y(double value) const {
        return kBottom - (value - y.low) / (y.high - y.low) * (kBottom - kTop);
    }
};

// The axes of a profile with their ticks and labels.
std::string Axes(const Frame& frame, const std::string& x_label, const std::string& y_label) {
    std::string text = "<g stroke=\"" + std::string(kGuideColour) + "\" stroke-width=\"1\">\n";
    text += "<rect x=\"" + Number(Frame::kLeft) + "\" y=\"" + Number(Frame::kTop) + "\" width=\"" +
            Number(Frame::kRight - Frame::kLeft) + "\" height=\"" +
            Number(Frame::kBottom - Frame::kTop) + "\" fill=\"none\"/>\n";
    for (const Tick& tick : frame.x.ticks) {
        const double x = frame.X(tick.value);
        text += "<line x1=\"" + Number(x) + "\" y1=\"" + Number(Frame::kBottom) + "\" x2=\"" +
                Number(x) + "\" y2=\"" + Number(Frame::kBottom + 5) + "\"/>\n";
    }
    for (const Tick& tick : frame.y.ticks) {
        const double y = frame.Y(tick.value);
        text += "<line x1=\"" + Number(Frame::kLeft - 5) + "\" y1=\"" + Number(y) + "\" x2=\"" +
                Number(Frame::kLeft) + "\" y2=\"" + Number(y) + "\"/>\n";
    }
    text += "</g>\n";
    for (const Tick& tick : frame.x.ticks) {
        text += Text(frame.X(tick.value), Frame::kBottom + 18, tick.label, "middle");
    }
    for (const Tick& tick : frame.y.ticks) {
        text += Text(Frame::kLeft - 8, frame.Y(tick.value) + 4, tick.label, "end");
    }
    text += Text((Frame::kLeft + Frame::kRight) / 2, Frame::kBottom + 40, x_label, "middle");
    const double middle = (Frame::kTop + Frame::kBottom) / 2;
    text +=
        Text(16, middle, y_label, "middle", " transform=\"rotate(-90 16 " + Number(middle) + ")\"");
    return text;
}

// The envelope's columns as a line in the frame, values converted by `value`.
std::string EnvelopeLine(const Frame& frame, const ColumnEnvelope& envelope,
                         const std::function<double(double)>& x,
                         const std::function<double(double)>& value,
                         const char* colour = kTrackColour) {
    std::vector<PlotPoint> points;
    points.reserve(std::size_t{2} * ColumnEnvelope::kColumns);
    for (int c = 0; c < ColumnEnvelope::kColumns; ++c) {
        const ColumnEnvelope::Column& column = envelope.Columns()[c];
        if (!column.used) {
            continue;
        }
        const double px = frame.X(x(envelope.Middle(c)));
        const double first = column.low_first ? column.low : column.high;
        const double second = column.low_first ? column.high : column.low;
        points.push_back(PlotPoint{px, frame.Y(value(first)), column.begins});
        if (second != first) {
            points.push_back(PlotPoint{px, frame.Y(value(second))});
        }
    }
    return Line(points, colour);
}

std::string LeftOut(std::uint64_t count, const char* one, const char* many) {
    return count == 0 ? "" : " " + Counted(count, one, many) + ".";
}

std::string WithoutPosition(std::uint64_t count) {
    return LeftOut(count, "record without a position is left out",
                   "records without a position are left out");
}

std::string WithoutAltitude(std::uint64_t count) {
    return LeftOut(count, "record without an altitude is left out",
                   "records without an altitude are left out");
}

}  // namespace

void HtmlPage::Begin(const std::vector<std::string>& names) {
    const std::string title = names.size() == 1
                                  ? "Track report: " + names[0]
                                  : "Track report: " + std::to_string(names.size()) + " files";
    const Units& units = style_.units;
    output_(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>" +
        HtmlText(title) + "</title>\n<style>\n" + kStyle +
        "</style>\n</head>\n<body>\n<header>\n<h1>" + HtmlText(title) +
        "</h1>\n<p>Made by trackinfo. Distances in " + (units.Metric() ? "kilometres" : "miles") +
        ", speeds in " + units.SpeedName() + ", heights in " +
        (units.Metric() ? "metres" : "feet") + "; times in " + style_.times.Zone() +
        ".</p>\n</header>\n<main>\n");
}

void HtmlPage::End() {
    output_("</main>\n</body>\n</html>\n");
}

namespace {

std::string Table(const std::vector<Row>& rows, std::size_t from, const char* caption = "") {
    std::string text = "<table>\n";
    if (caption[0] != '\0') {
        text += "<caption>" + HtmlText(caption) + "</caption>\n";
    }
    for (std::size_t k = from; k < rows.size(); ++k) {
        text += "<tr><th scope=\"row\">" + HtmlText(rows[k].label) + "</th><td>" +
                HtmlText(rows[k].value) + "</td></tr>\n";
    }
    return text + "</table>\n";
}

}  // namespace

void HtmlPage::File(const FileReport& file, const TrackDrawing* drawing) {
    const std::string id = "f" + std::to_string(++sections_);
    const std::string name = ValidUtf8(file.name);
    const std::vector<Row> splits = SplitRows(file.figures, style_);
    std::vector<Row> rows = FileRows(file, style_);
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](const Row& row) { return row.label.rfind("Split ", 0) == 0; }),
               rows.end());
    std::string text = "<section aria-labelledby=\"" + id + "\">\n<h2 id=\"" + id + "\">" +
                       HtmlText(name) + "</h2>\n" + Table(rows, 1);
    if (!splits.empty()) {
        text +=
            Table(splits, 0, style_.units.Metric() ? "Splits per kilometre" : "Splits per mile");
    }
    if (drawing != nullptr) {
        text += Plan(id + "-plan", name, *drawing) + "<div class=\"profiles\">\n" +
                ElevationProfile(id + "-elevation", name, file, *drawing) +
                SpeedProfile(id + "-speed", name, file, *drawing) +
                SensorProfile(id + "-heart-rate", "Heart rate", "bpm", file, drawing->HeartRate()) +
                SensorProfile(id + "-cadence", "Cadence", "rpm", file, drawing->Cadence()) +
                SensorProfile(id + "-power", "Power", "W", file, drawing->Power()) + "</div>\n";
    }
    output_(text + "</section>\n");
}

void HtmlPage::Failure(const FileReport& file) {
    const std::string id = "f" + std::to_string(++sections_);
    output_("<section aria-labelledby=\"" + id + "\">\n<h2 id=\"" + id + "\">" +
            HtmlText(ValidUtf8(file.name)) +
            "</h2>\n<p class=\"failure\">This file could not be read: " + HtmlText(file.error) +
            ".</p>\n</section>\n");
}

void HtmlPage::Total(const Figures& total, std::uint64_t files) {
    const std::vector<Row> rows = TotalRows(total, files, style_);
    output_("<section aria-labelledby=\"total\">\n<h2 id=\"total\">Total of " +
            HtmlText(rows[0].value) + "</h2>\n" + Table(rows, 1) + "</section>\n");
}

std::string HtmlPage::Plan(const std::string& id, const std::string& name,
                           const TrackDrawing& drawing) const {
    constexpr int kWidth = 640;
    constexpr int kHeight = 480;
    constexpr double kMargin = 24.0;
    constexpr double kBarSpace = 50.0;  // below the track, for the scale bar
    const std::vector<PlotPoint> path = drawing.Path();
    std::string svg = SvgBegin(id, kWidth, kHeight, "Plan view of " + name,
                               "The track seen from above, north up, with its start, its end "
                               "and its stops of a minute or more marked.");
    std::string caption =
        "Plan view, north up: the track in blue, its start as a green circle, "
        "its end as a vermilion square";
    if (path.empty()) {
        svg += NothingToDraw(kWidth / 2.0, kHeight / 2.0, "No position to draw.");
        return Figure(
            svg, "Plan view: no record has a position." + WithoutPosition(drawing.WithoutPlace()));
    }
    Range xs{path[0].x, path[0].x};
    Range ys{path[0].y, path[0].y};
    for (const PlotPoint& p : path) {
        xs = Range{std::min(xs.low, p.x), std::max(xs.high, p.x)};
        ys = Range{std::min(ys.low, p.y), std::max(ys.high, p.y)};
    }
    // A track that stays in one place is drawn at the scale of 100 m or so.
    const double span_x = std::max(xs.high - xs.low, 1e-3);
    const double span_y = std::max(ys.high - ys.low, 1e-3);
    const double area_w = kWidth - 2 * kMargin;
    const double area_h = kHeight - 2 * kMargin - kBarSpace;
    const double scale = std::min(area_w / span_x, area_h / span_y);
    const double cx = (xs.low + xs.high) / 2;
    const double cy = (ys.low + ys.high) / 2;
    const auto px = [&](const PlotPoint& p) {
        return PlotPoint{kWidth / 2.0 + (p.x - cx) * scale,
                         kMargin + area_h / 2 - (p.y - cy) * scale, p.begins};
    };
    std::vector<PlotPoint> line;
    line.reserve(path.size());
    for (const PlotPoint& p : path) {
        line.push_back(px(p));
    }
    for (const PlotPoint& stop : drawing.Stops()) {
        const PlotPoint p = px(stop);
        svg += "<path d=\"M" + Number(p.x) + "," + Number(p.y - 7) +
               " l7,7 l-7,7 l-7,-7 z\" fill=\"" + kStopColour +
               "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    }
    const PlotPoint start = px(*drawing.Start());
    const PlotPoint end = px(*drawing.End());
    svg += "<circle cx=\"" + Number(start.x) + "\" cy=\"" + Number(start.y) + "\" r=\"7\" fill=\"" +
           kStartColour + "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    svg += "<rect x=\"" + Number(end.x - 5) + "\" y=\"" + Number(end.y - 5) +
           "\" width=\"10\" height=\"10\" fill=\"" + kEndColour +
           "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    // The track over its markers, so that a track of one point still shows.
    svg += Line(line);
    svg += Text(kWidth - kMargin, kMargin, "N \u2191", "end", " font-weight=\"bold\"");

    // The scale bar: metres per unit of x, measured east-west at the
    // mean latitude on the ellipsoid.
    const double latitude = std::clamp(cy, -89.0, 89.0);
    const double step = 0.01;
    const double metres =
        CEarth(geodesy::Ellipsoid::kWgs84)
            .GetSurfaceDistance(CPolarCoordinate(latitude, 0.0), CPolarCoordinate(latitude, step),
                                nullptr, nullptr);
    const double metres_per_unit = metres / (step * drawing.LongitudeScale());
    if (std::isfinite(metres_per_unit) && metres_per_unit > 0) {
        const double width_units = style_.units.Distance(area_w / scale * metres_per_unit);
        double bar = NiceStep(width_units / 4, 1.0);
        if (bar > width_units / 3) {
            bar /= 2;
        }
        const double bar_px = bar / style_.units.Distance(1.0) / metres_per_unit * scale;
        const double y = kHeight - kMargin - 10;
        svg += "<path d=\"M" + Number(kMargin) + "," + Number(y - 6) + " v6 h" + Number(bar_px) +
               " v-6\" fill=\"none\" stroke=\"#000\" stroke-width=\"2\"/>\n";
        svg += Text(kMargin + bar_px + 8, y,
                    Fixed(bar, DecimalsFor(bar)) + " " + style_.units.DistanceName());
    }
    caption += drawing.StopCount() == 0
                   ? ". No stop of a minute or more"
                   : ", and " + Counted(drawing.StopCount(), "stop", "stops") +
                         " of a minute or more as purple diamonds" +
                         (drawing.Stops().size() < drawing.StopCount()
                              ? " (the first " + std::to_string(drawing.Stops().size()) + " drawn)"
                              : "");
    caption += ". Equirectangular, scaled for latitude " + Fixed(cy, 2) + "\u00b0." +
               WithoutPosition(drawing.WithoutPlace());
    return Figure(svg, caption);
}

std::string HtmlPage::ElevationProfile(const std::string& id, const std::string& name,
                                       const FileReport& file, const TrackDrawing& drawing) const {
    const ColumnEnvelope& envelope = drawing.Elevation();
    std::string svg = SvgBegin(id, Frame::kWidth, Frame::kHeight, "Elevation profile of " + name,
                               "Altitude against distance along the track.");
    const Figures& f = file.figures;
    std::string caption = "Elevation against distance along the track";
    if (envelope.Empty()) {
        svg += NothingToDraw(Frame::kWidth / 2.0, Frame::kHeight / 2.0, "No altitude to draw.");
        return Figure(svg, caption + ": no record has an altitude." +
                               WithoutAltitude(drawing.WithoutAltitude()));
    }
    Frame frame;
    frame.x = NumberAxis(0.0, style_.units.Distance(f.metres), 8);
    frame.y = NumberAxis(style_.units.Height(envelope.Values().low),
                         style_.units.Height(envelope.Values().high), 5);
    svg += Axes(frame, std::string("Distance (") + style_.units.DistanceName() + ")",
                std::string("Elevation (") + style_.units.HeightName() + ")");
    svg += EnvelopeLine(
        frame, envelope, [&](double metres) { return style_.units.Distance(metres); },
        [&](double metres) { return style_.units.Height(metres); });
    const auto height = [&](double metres) {
        return Fixed(style_.units.Height(metres), 1) + " " + style_.units.HeightName();
    };
    caption += ". Climb " + height(f.climb) + ", descent " + height(f.descent) +
               " (changes of less than " + Fixed(settings_.climb_metres, 1) +
               " m are not counted)." + WithoutAltitude(drawing.WithoutAltitude());
    return Figure(svg, caption);
}

std::string HtmlPage::SpeedProfile(const std::string& id, const std::string& name,
                                   const FileReport& file, const TrackDrawing& drawing) const {
    const ColumnEnvelope& envelope = drawing.Speeds();
    std::string svg = SvgBegin(id, Frame::kWidth, Frame::kHeight, "Speed profile of " + name,
                               "Speed of each leg against time of day, with the stop speed as a "
                               "dashed line and the fastest stretch as a band.");
    const std::string left_out =
        LeftOut(drawing.LegsNotDrawn(),
                "leg is left out (no time, time not going forward, no length, or a jump)",
                "legs are left out (no time, time not going forward, no length, or a jump)");
    if (envelope.Empty()) {
        svg += NothingToDraw(Frame::kWidth / 2.0, Frame::kHeight / 2.0, "No speed to draw.");
        return Figure(svg, "Speed against time of day: no leg has a time and a length." + left_out);
    }
    const double stop = style_.units.Speed(settings_.stop_metres_per_second);
    Frame frame;
    const TimeStyle& times = style_.times;
    frame.x = TimeAxis(envelope.XLow(), envelope.XHigh(), times);
    frame.y = NumberAxis(0.0, std::max(style_.units.Speed(envelope.Values().high), stop) * 1.05, 5);
    const std::optional<Stretch>& fastest = file.figures.fastest;
    const auto seconds = [](track::Instant time) {
        return static_cast<double>(time.Nanoseconds()) / 1e9;
    };
    const auto at = [](double seconds) {
        return track::Instant::FromSeconds(static_cast<std::int64_t>(std::floor(seconds)));
    };
    if (fastest) {
        const double x1 = frame.X(seconds(fastest->start));
        const double x2 = std::max(frame.X(seconds(fastest->end)), x1 + 2);
        svg += "<rect x=\"" + Number(x1) + "\" y=\"" + Number(Frame::kTop) + "\" width=\"" +
               Number(x2 - x1) + "\" height=\"" + Number(Frame::kBottom - Frame::kTop) +
               "\" fill=\"" + kFastestColour + "\" fill-opacity=\"0.45\"/>\n";
    }
    svg += Axes(frame, std::string("Time of day (") + times.Zone() + ")",
                std::string("Speed (") + style_.units.SpeedName() + ")");
    svg += EnvelopeLine(
        frame, envelope, [](double seconds) { return seconds; },
        [&](double metres_per_second) { return style_.units.Speed(metres_per_second); });
    const double stop_y = frame.Y(stop);
    svg += "<line x1=\"" + Number(Frame::kLeft) + "\" y1=\"" + Number(stop_y) + "\" x2=\"" +
           Number(Frame::kRight) + "\" y2=\"" + Number(stop_y) + "\" stroke=\"" + kEndColour +
           "\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"/>\n";
    std::string caption = "Speed of each leg against time of day (" + std::string(times.Zone()) +
                          "), from " + times.Text(at(envelope.XLow())) + " to " +
                          times.Text(at(envelope.XHigh())) + ". Dashed line: the stop speed, " +
                          Fixed(stop, 1) + " " + style_.units.SpeedName() + ".";
    if (fastest) {
        caption += " Orange band: the fastest stretch of 10 s or more, " +
                   Fixed(style_.units.Speed(fastest->metres_per_second), 1) + " " +
                   style_.units.SpeedName() + ", " + times.Seconds(fastest->start) + " to " +
                   times.Seconds(fastest->end) + ".";
    }
    return Figure(svg, caption + left_out);
}

std::string HtmlPage::SensorProfile(const std::string& id, const std::string& what,
                                    const std::string& unit, const FileReport& file,
                                    const ColumnEnvelope& envelope) const {
    if (envelope.Empty()) {
        return "";
    }
    static const std::pair<const char*, const char*> kColours[] = {
        {"Heart rate", kHeartColour}, {"Cadence", kCadenceColour}, {"Power", kPowerColour}};
    const char* colour = kTrackColour;
    for (const auto& [name, its_colour] : kColours) {
        colour = what == name ? its_colour : colour;
    }
    const std::string name = ValidUtf8(file.name);
    std::string svg = SvgBegin(id, Frame::kWidth, Frame::kHeight, what + " profile of " + name,
                               what + " against distance along the track.");
    Frame frame;
    frame.x = NumberAxis(0.0, style_.units.Distance(file.figures.metres), 8);
    frame.y = NumberAxis(std::min(0.0, envelope.Values().low), envelope.Values().high, 5);
    svg += Axes(frame, std::string("Distance (") + style_.units.DistanceName() + ")",
                what + " (" + unit + ")");
    svg += EnvelopeLine(
        frame, envelope, [&](double metres) { return style_.units.Distance(metres); },
        [](double value) { return value; }, colour);
    const SensorFigures& sensor = what == "Heart rate" ? file.figures.heart_rate
                                  : what == "Cadence"  ? file.figures.cadence
                                                       : file.figures.power;
    std::string caption = what + " against distance along the track";
    if (const std::optional<double> average = sensor.average.Value()) {
        caption += ": " + Fixed(*average, 0) + " " + unit + " on average";
        caption +=
            sensor.range ? ", " + Fixed(sensor.range->high, 0) + " " + unit + " at most" : "";
    }
    return Figure(svg, caption + ".");
}

}  // namespace trackinfo
