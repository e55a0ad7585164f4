#include "svgchart.h"

#include <algorithm>
#include <cmath>

namespace trackinfo {
namespace svg {

std::string Number(double value) {
    return Fixed(value, 1);
}

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

int DecimalsFor(double step) {
    return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
}

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

std::string Text(double x, double y, const std::string& text, const char* anchor,
                 const std::string& extra) {
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

std::string Line(const std::vector<PlotPoint>& points, const char* colour, const char* extra) {
    std::string text;
    for (const std::vector<PlotPoint>& line : Lines(points)) {
        if (line.size() == 1) {
            text += "<circle cx=\"" + Number(line[0].x) + "\" cy=\"" + Number(line[0].y) +
                    "\" r=\"3\" fill=\"" + colour + "\"/>\n";
            continue;
        }
        text += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
                "\" stroke-width=\"2\" stroke-linejoin=\"round\"" + extra + " points=\"";
        for (std::size_t k = 0; k < line.size(); ++k) {
            text += (k > 0 ? " " : "") + Number(line[k].x) + "," + Number(line[k].y);
        }
        text += "\"/>\n";
    }
    return text;
}

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

std::string EnvelopeLine(const Frame& frame, const ColumnEnvelope& envelope,
                         const std::function<double(double)>& x,
                         const std::function<double(double)>& value, const char* colour) {
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

}  // namespace svg
}  // namespace trackinfo
