// The units trackinfo reports in: the suite's miles, miles per hour, feet and
// degrees Fahrenheit, or kilometres, kilometres per hour, metres and degrees
// Celsius. Every figure is computed in
// SI units and converted only when printed, with exact factors (the
// international mile and foot), not the rounded ones of the leg reports.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_REPORTUNITS_H
#define TRACKTOOLS_TOOLS_TRACKINFO_REPORTUNITS_H

#include "tracktools/track/units.h"  // the track library's exact factors

namespace trackinfo {

constexpr double kMetresPerMile = track::kMetersPerMile;
constexpr double kMetresPerFoot = track::kMetersPerFoot;
using track::kSecondsPerHour;
// A leg faster than 700 mph is a jump of the receiver, not a journey.
constexpr double kJumpMetresPerSecond = 700.0 * kMetresPerMile / kSecondsPerHour;

class Units {
  public:
    explicit Units(bool metric) : metric_(metric) {}

    bool Metric() const { return metric_; }
    const char* DistanceName() const { return metric_ ? "km" : "mi"; }
    const char* SpeedName() const { return metric_ ? "km/h" : "mph"; }
    const char* HeightName() const { return metric_ ? "m" : "ft"; }
    const char* TemperatureName() const { return metric_ ? "\u00b0C" : "\u00b0F"; }
    // "/km" or "/mi", after a pace.
    const char* PaceName() const { return metric_ ? "/km" : "/mi"; }

    double Distance(double metres) const { return metres / (metric_ ? 1000.0 : kMetresPerMile); }
    double Speed(double metres_per_second) const {
        return Distance(metres_per_second) * kSecondsPerHour;
    }
    double Height(double metres) const { return metric_ ? metres : metres / kMetresPerFoot; }
    double Temperature(double celsius) const { return metric_ ? celsius : celsius * 1.8 + 32.0; }
    // The metres of a kilometre or a mile: the length of a split, the
    // distance of a pace.
    double UnitMetres() const { return metric_ ? 1000.0 : kMetresPerMile; }
    // Seconds to go a kilometre or a mile at a speed.
    double PaceSeconds(double metres_per_second) const { return UnitMetres() / metres_per_second; }
    // A speed given in the report's unit (-stop), in metres per second.
    double SpeedToSi(double speed) const {
        return speed * (metric_ ? 1000.0 : kMetresPerMile) / kSecondsPerHour;
    }
    // The stop speed when -stop is not given: 1 mph, or 1.6 km/h.
    double DefaultStopSpeed() const { return metric_ ? 1.6 : 1.0; }

  private:
    bool metric_;
};

}  // namespace trackinfo

#endif
