// One line of the leg report: a point's position, then the heading, length
// and speed of the leg that leaves it.
#ifndef TRACKTOOLS_TOOLS_LEGSHEET_WRITEDATA_H
#define TRACKTOOLS_TOOLS_LEGSHEET_WRITEDATA_H

#include <string>

#include "tracktools/track/gpldata.h"

// Returns "latitude, longitude, heading, distance, speed" without a line end:
// the position in decimal degrees with 8 decimals, or with `degrees_minutes_seconds`
// as D:MM:SS.ssss; then Heading (width 8), `distance_miles` (width 9) and Speed
// (width 9), each with 4 decimals. A value that is not finite prints as "inf",
// "-inf" or "nan", right-aligned with blanks in its field. Each call returns a
// string of its own.
std::string WriteData(const GPL_Data_Point& point, double distance_miles,
                      bool degrees_minutes_seconds);

#endif
