#include "htmlpage.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "formatting.h"
#include "svgchart.h"
#include "tracktools/geodesy/SurfaceDistances.h"

namespace trackinfo {
namespace {

using namespace svg;

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
    const std::vector<Row> laps = style_.laps ? LapRows(file.figures, style_) : std::vector<Row>();
    std::vector<Row> rows = FileRows(file, style_);
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](const Row& row) {
                                  return row.label.rfind("Split ", 0) == 0 ||
                                         row.label.rfind("Lap ", 0) == 0;
                              }),
               rows.end());
    std::string text = "<section aria-labelledby=\"" + id + "\">\n<h2 id=\"" + id + "\">" +
                       HtmlText(name) + "</h2>\n" + Table(rows, 1);
    if (!splits.empty()) {
        text +=
            Table(splits, 0, style_.units.Metric() ? "Splits per kilometre" : "Splits per mile");
    }
    if (!laps.empty()) {
        text += Table(laps, 0, "Laps");
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
    const std::vector<PlotPoint> routes = drawing.Routes();
    const std::vector<Marker>& waypoints = drawing.Waypoints();
    std::string svg = SvgBegin(id, kWidth, kHeight, "Plan view of " + name,
                               "The track seen from above, north up, with its start, its end "
                               "and its stops of a minute or more marked, its routes and its "
                               "waypoints.");
    std::string caption =
        path.empty() ? "Plan view, north up"
                     : "Plan view, north up: the track in blue, its start as a green circle, "
                       "its end as a vermilion square";
    if (path.empty() && routes.empty() && waypoints.empty()) {
        svg += NothingToDraw(kWidth / 2.0, kHeight / 2.0, "No position to draw.");
        return Figure(
            svg, "Plan view: no record has a position." + WithoutPosition(drawing.WithoutPlace()));
    }
    // The picture holds the track, the routes and the waypoints.
    std::optional<Range> xs;
    std::optional<Range> ys;
    const auto widen = [&](const PlotPoint& p) {
        xs = xs ? Range{std::min(xs->low, p.x), std::max(xs->high, p.x)} : Range{p.x, p.x};
        ys = ys ? Range{std::min(ys->low, p.y), std::max(ys->high, p.y)} : Range{p.y, p.y};
    };
    for (const std::vector<PlotPoint>* points : {&path, &routes}) {
        for (const PlotPoint& p : *points) {
            widen(p);
        }
    }
    for (const Marker& waypoint : waypoints) {
        widen(waypoint.at);
    }
    // A track that stays in one place is drawn at the scale of 100 m or so.
    const double span_x = std::max(xs->high - xs->low, 1e-3);
    const double span_y = std::max(ys->high - ys->low, 1e-3);
    const double area_w = kWidth - 2 * kMargin;
    const double area_h = kHeight - 2 * kMargin - kBarSpace;
    const double scale = std::min(area_w / span_x, area_h / span_y);
    const double cx = (xs->low + xs->high) / 2;
    const double cy = (ys->low + ys->high) / 2;
    const auto px = [&](const PlotPoint& p) {
        return PlotPoint{kWidth / 2.0 + (p.x - cx) * scale,
                         kMargin + area_h / 2 - (p.y - cy) * scale, p.begins};
    };
    const auto projected = [&](const std::vector<PlotPoint>& points) {
        std::vector<PlotPoint> line;
        line.reserve(points.size());
        for (const PlotPoint& p : points) {
            line.push_back(px(p));
        }
        return line;
    };
    // Routes under the track: a plan is drawn dashed, the recording over it.
    if (!routes.empty()) {
        svg += Line(projected(routes), kRouteColour, " stroke-dasharray=\"8 5\"");
        caption += std::string(path.empty() ? ": " : ", ") +
                   Counted(drawing.RouteCount(), "route as a dashed black line",
                           "routes as dashed black lines");
    }
    for (const PlotPoint& stop : drawing.Stops()) {
        const PlotPoint p = px(stop);
        svg += "<path d=\"M" + Number(p.x) + "," + Number(p.y - 7) +
               " l7,7 l-7,7 l-7,-7 z\" fill=\"" + kStopColour +
               "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    }
    if (!path.empty()) {
        const PlotPoint start = px(*drawing.Start());
        const PlotPoint end = px(*drawing.End());
        svg += "<circle cx=\"" + Number(start.x) + "\" cy=\"" + Number(start.y) +
               "\" r=\"7\" fill=\"" + kStartColour + "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
        svg += "<rect x=\"" + Number(end.x - 5) + "\" y=\"" + Number(end.y - 5) +
               "\" width=\"10\" height=\"10\" fill=\"" + kEndColour +
               "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
        // The track over its markers, so that a track of one point still shows.
        svg += Line(projected(path));
    }
    // Waypoints on top, each a triangle with its name as its title.
    for (const Marker& waypoint : waypoints) {
        const PlotPoint p = px(waypoint.at);
        svg +=
            "<path d=\"M" + Number(p.x) + "," + Number(p.y - 8) + " l6,10 h-12 z\" fill=\"" +
            kWaypointColour + "\" stroke=\"#000\" stroke-width=\"1\">" +
            (waypoint.name.empty() ? ""
                                   : "<title>" + HtmlText(ValidUtf8(waypoint.name)) + "</title>") +
            "</path>\n";
    }
    if (drawing.WaypointCount() > 0) {
        caption += std::string(path.empty() && routes.empty() ? ": " : ", ") +
                   Counted(drawing.WaypointCount(), "waypoint as a yellow triangle",
                           "waypoints as yellow triangles") +
                   (waypoints.size() < drawing.WaypointCount()
                        ? " (the first " + std::to_string(waypoints.size()) + " drawn)"
                        : "");
    }
    svg += Text(kWidth - kMargin, kMargin, "N \u2191", "end", " font-weight=\"bold\"");

    // The scale bar: metres per unit of x, measured east-west at the
    // mean latitude on the ellipsoid.
    const double latitude = std::clamp(cy, -89.0, 89.0);
    const double step = 0.01;
    const double metres = geodesy::SurfaceDistances().Metres(latitude, 0.0, latitude, step);
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
    caption += path.empty() ? ""
               : drawing.StopCount() == 0
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
