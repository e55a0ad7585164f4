#!/usr/bin/python3
"""gpxpy's simplify on a GPX file: prints the points kept, the seconds the
parsing and the simplification took, and how far the farthest point it
dropped lies from the line between the points kept around it (measured on a
sphere of 6371008.8 m in the plane tangent at the line's start: within a
fraction of a percent at these lengths).

Usage: gpxpy_simplify.py FILE METRES
"""
import math
import sys
import time

import gpxpy

RADIUS = 6371008.8


def off_line(a, b, p):
    """Metres from p to the segment a-b, in the plane tangent at a."""
    scale = math.cos(math.radians(a[0]))
    bx, by = math.radians(b[1] - a[1]) * scale * RADIUS, math.radians(b[0] - a[0]) * RADIUS
    px, py = math.radians(p[1] - a[1]) * scale * RADIUS, math.radians(p[0] - a[0]) * RADIUS
    length2 = bx * bx + by * by
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, (px * bx + py * by) / length2))
    return math.hypot(px - t * bx, py - t * by)


def main():
    tolerance = float(sys.argv[2])
    start = time.perf_counter()
    with open(sys.argv[1]) as source:
        gpx = gpxpy.parse(source)
    parsing = time.perf_counter() - start
    before = [[(p.latitude, p.longitude) for p in s.points] for t in gpx.tracks for s in t.segments]
    sys.setrecursionlimit(100000)
    start = time.perf_counter()
    gpx.simplify(tolerance)
    seconds = time.perf_counter() - start
    after = [[(p.latitude, p.longitude) for p in s.points] for t in gpx.tracks for s in t.segments]
    worst, beyond = 0.0, 0
    for points, kept in zip(before, after):
        at = 0
        for a, b in zip(kept, kept[1:]):
            while points[at] != a:
                at += 1
            end = at + 1
            while points[end] != b:
                end += 1
            for p in points[at + 1:end]:
                off = off_line(a, b, p)
                worst = max(worst, off)
                beyond += off > tolerance
            at = end
    print("%d %.3f %.3f %.2f %d" % (sum(map(len, after)), parsing, seconds, worst, beyond))


main()
