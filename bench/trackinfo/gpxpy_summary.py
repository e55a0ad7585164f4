#!/usr/bin/python3
"""The summary a GPX user gets from gpxpy, computed with gpxpy's own API as
its command-line summary does (Debian's python3-gpxpy ships the library
only): points, duration, 2D and 3D length, moving and stopped time and
distance, max speed, uphill and downhill, elevation extremes and bounds.

Usage: gpxpy_summary.py TRACK.gpx
"""
import sys

import gpxpy


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1]) as source:
        gpx = gpxpy.parse(source)
    moving = gpx.get_moving_data()
    uphill, downhill = gpx.get_uphill_downhill()
    extremes = gpx.get_elevation_extremes()
    bounds = gpx.get_bounds()
    print("points", gpx.get_points_no())
    print("duration_s", gpx.get_duration())
    print("length_2d_m", gpx.length_2d())
    print("length_3d_m", gpx.length_3d())
    print("moving_time_s", moving.moving_time, "stopped_time_s", moving.stopped_time)
    print("moving_distance_m", moving.moving_distance,
          "stopped_distance_m", moving.stopped_distance)
    print("max_speed_m_s", moving.max_speed)
    print("uphill_m", uphill, "downhill_m", downhill)
    print("elevation_m", extremes.minimum, extremes.maximum)
    print("bounds", bounds.min_latitude, bounds.max_latitude, bounds.min_longitude,
          bounds.max_longitude)
    return 0


if __name__ == "__main__":
    sys.exit(main())
