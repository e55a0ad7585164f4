#!/usr/bin/env python3
"""Writes GPL tracks of random legs for comparing two builds of the programs.

    make_legs.py legs N OUT.gpl       N legs: GPS-scale steps, standing fixes
                                       and long jumps (never nearly antipodal)
    make_legs.py antipodal N OUT.gpl  N legs, each from a point to one near
                                       its antipode

Every consecutive pair of records is one leg. The seed is fixed, so the same
arguments give the same file.
"""

import math
import random
import struct
import sys

RECORD = struct.Struct("<IIdddddII")  # Tag, Reserved1, lat, lon, alt, heading, speed, Time, Reserved2


def central_angle(lat1, lon1, lat2, lon2):
    p1, p2, dl = math.radians(lat1), math.radians(lat2), math.radians(lon2 - lon1)
    c = math.sin(p1) * math.sin(p2) + math.cos(p1) * math.cos(p2) * math.cos(dl)
    return math.degrees(math.acos(max(-1.0, min(1.0, c))))


def random_point(rnd):
    return rnd.uniform(-90, 90), rnd.uniform(-180, 180)


def gps(rnd, value):
    # Half the points as a receiver writes them (6 decimals), half raw doubles.
    return round(value, 6) if rnd.random() < 0.5 else value


def legs(rnd, count):
    lat, lon = random_point(rnd)
    yield lat, lon
    for _ in range(count):
        kind = rnd.random()
        if kind < 0.05:
            pass  # standing: the same fix again
        elif kind < 0.12:
            while True:  # a long jump, kept clear of the nearly antipodal region
                nlat, nlon = random_point(rnd)
                if central_angle(lat, lon, nlat, nlon) < 170:
                    break
            lat, lon = nlat, nlon
        else:
            step = rnd.choice([1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 2e-2])
            lat = max(-90.0, min(90.0, gps(rnd, lat + rnd.uniform(-step, step))))
            lon = gps(rnd, lon + rnd.uniform(-step, step))
            if lon > 540 or lon < -540:
                lon = math.remainder(lon, 360)
        yield lat, lon


def antipodal(rnd, count):
    lat, lon = random_point(rnd)
    yield lat, lon
    for _ in range(count):
        lat = -lat + rnd.uniform(-0.8, 0.8)
        lat = max(-89.0, min(89.0, lat))
        lon = math.remainder(lon + 180 + rnd.uniform(-0.8, 0.8), 360)
        yield lat, lon


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("legs", "antipodal"):
        sys.exit(__doc__)
    kind, count, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    rnd = random.Random(1975 if kind == "legs" else 176)
    points = (legs if kind == "legs" else antipodal)(rnd, count)
    time = 1700000000
    with open(path, "wb") as out:
        for tag, (lat, lon) in enumerate(points):
            altitude = rnd.uniform(-300, 30000)
            out.write(RECORD.pack(tag, 0, lat, lon, altitude, rnd.uniform(0, 360),
                                  rnd.uniform(0, 80), time, 0))
            time = (time + rnd.choice([0, 1, 1, 5, 30, 3600])) % 2**32


if __name__ == "__main__":
    main()
