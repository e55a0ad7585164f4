// The pieces of the page's pictures: inline SVG figures, lines, and the
// axes of profiles with round ticks of numbers or times of day.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_SVGCHART_H
#define TRACKTOOLS_TOOLS_TRACKINFO_SVGCHART_H

#include <functional>
#include <string>
#include <vector>

#include "formatting.h"
#include "plot.h"

namespace trackinfo {
namespace svg {

// Colours of the Okabe-Ito set, told apart with the common colour-vision
// deficiencies; the markers differ in shape as well.
constexpr char kTrackColour[] = "#0072B2";    // blue
constexpr char kStartColour[] = "#009E73";    // bluish green, a circle
constexpr char kEndColour[] = "#D55E00";      // vermilion, a square
constexpr char kStopColour[] = "#CC79A7";     // reddish purple, a diamond
constexpr char kFastestColour[] = "#E69F00";  // orange, a band
constexpr char kGuideColour[] = "#555555";
constexpr char kHeartColour[] = "#CC0033";     // heart rate
constexpr char kCadenceColour[] = "#56B4E9";   // sky blue
constexpr char kPowerColour[] = "#E69F00";     // orange
constexpr char kRouteColour[] = "#000000";     // black, dashed
constexpr char kWaypointColour[] = "#F0E442";  // yellow, a triangle

// A number as the pictures write it: one decimal.
std::string Number(double value);
// A round step of about `span` / `count`: 1, 2 or 5 times a power of ten.
double NiceStep(double span, double count);
// Decimals enough to tell steps of `step` apart.
int DecimalsFor(double step);

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

Axis NumberAxis(double low, double high, double count);
// Time of day in seconds since 1970, ticks on round times of the day in
// UTC or in local time (the offset of the track's start).
Axis TimeAxis(double low, double high, const TimeStyle& times);

// The head of an inline SVG picture with its title and description.
std::string SvgBegin(const std::string& id, int width, int height, const std::string& title,
                     const std::string& description);
std::string Text(double x, double y, const std::string& text, const char* anchor = "start",
                 const std::string& extra = "");
std::string NothingToDraw(double x, double y, const std::string& what);
// The picture (begun with SvgBegin) closed, in a figure with its caption.
std::string Figure(const std::string& svg, const std::string& caption);
// A polyline through each line of `points`, or a dot for a line of one;
// `extra` attributes for the polylines (a dash).
std::string Line(const std::vector<PlotPoint>& points, const char* colour = kTrackColour,
                 const char* extra = "");

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
std::string Axes(const Frame& frame, const std::string& x_label, const std::string& y_label);
// The envelope's columns as a line in the frame, values converted by `value`.
std::string EnvelopeLine(const Frame& frame, const ColumnEnvelope& envelope,
                         const std::function<double(double)>& x,
                         const std::function<double(double)>& value,
                         const char* colour = kTrackColour);

}  // namespace svg
}  // namespace trackinfo

#endif
