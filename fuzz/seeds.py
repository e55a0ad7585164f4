#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

Run from anywhere; the files are small and committed. The fuzzers add their
own finds under the build directory, never here; an input that found a fault
is copied here by hand with a name that says what it found.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def record(lat, lon, alt=0.0, heading=0.0, speed=0.0, time=0, tag=0, r1=0, r2=0):
    return struct.pack("<IIdddddII", tag, r1, lat, lon, alt, heading, speed, time, r2)


def doubles(*values):
    return struct.pack("<%dd" % len(values), *values)


NAN = float("nan")
INF = float("inf")

# Text lines as a listing holds them, and near misses.
put("text_line", "written", "7:3, 40.50000000, -75.25000000, 12-Sep-2002, 10:20:30,  90.00, 12.34500, 1234.50000\n")
put("text_line", "packed", "7:3,40.5,-75.25,12-Sep-2002,10:20:30,90,12.345,1234.5")
put("text_line", "listing", "# a heading line\n\n1:1, 46.9481, 7.4474, 14-Jun-2025, 09:30:00,  60.00,  0.00000, 1771.00000\r\n"
    "2:2, 46.9482, 7.4475, 14-jun-2025 09:30:02 61.0, 3.5, 1772\n")
put("text_line", "short", "7:3,40.5\n7:3,40.5,-75.25\n7:3,40.5,-75.25,1-Sep-2002,\n")
put("text_line", "numbers", "0x1F:-4294967296, nan, -inf, 31-DEC-99999999999, 25:61:61, 1e308, -0, 4.9e-324\n")
put("text_line", "dst", "1:1, 0, 0, 09-Mar-2025, 02:30:00, 0, 0, 0\n2:2, 0, 0, 02-Nov-2025, 01:30:00, 0, 0, 0\n")
put("text_line", "long", "1:1, 1, 1, 01-Jan-2000, 00:00:00, 1, 1, 1" + " " * 480 + "2:2, 2, 2\n3:3, 3, 3")
put("text_line", "zero", "1:1, 2\x003, 4\n")

# Records: a short track, odd values, a partial record.
track = b"".join(record(46.9481 + i * 1e-4, 7.4474 + i * 1e-4, 1771.0, 60.0, 30.0, 1749893400 + 2 * i, i)
                 for i in range(3))
put("record", "track", track)
put("record", "partial", track + b"\x01" * 20)
put("record", "odd", record(NAN, -INF, INF, -0.0, 5e-324, 0xFFFFFFFF, 0xFFFFFFFF, 1, 2)
    + record(1e308, -1e308, 123456789.123456789, -123.456, 12.345, 2**31, 3))
put("record", "empty", b"")

# Geodesy: operation byte, ellipsoid byte, then doubles.
put("geodesy", "short-leg", bytes([0, 25]) + doubles(46.9481, 7.4474, 500.0, 46.9482, 7.4476, 500.0, 0, 0))
put("geodesy", "quarter", bytes([0, 25]) + doubles(0.0, 0.0, 0.0, 0.0, 90.0, 0.0, 0, 0))
put("geodesy", "antipodal", bytes([0, 25]) + doubles(0.5, 0.0, 0.0, -0.5, 179.7, 0.0, 0, 0))
put("geodesy", "pole", bytes([0, 4]) + doubles(90.0, 0.0, 0.0, -90.0, 45.0, 0.0, 0, 0))
put("geodesy", "convert", bytes([1, 25]) + doubles(42.5, -71.25, 100.0, 0, 0, 0, 0, 0))
put("geodesy", "cartesian", bytes([2, 25]) + doubles(6378137.0, 0.0, 0.0, 0, 0, 0, 0, 0))
put("geodesy", "move", bytes([3, 25]) + doubles(42.5, -71.25, 0.0, 0, 0, 0, 100000.0, 45.0))
put("geodesy", "line-of-sight", bytes([4, 25]) + doubles(42.5, -71.25, 10.0, 0, 0, 20.0, 5000.0, 90.0))
put("geodesy", "radii", bytes([5, 30]) + doubles(6378137.0, 6356752.0, 6378137.0, 0.0, 0.0, 0.0, 0.0, 6378137.0, 0, 0))
put("geodesy", "flattening", bytes([6, 31]) + doubles(6378137.0, 1 / 298.257223563, 6378137.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1e6, 10.0))
put("geodesy", "course", bytes([7, 25]) + doubles(1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0))
put("geodesy", "not-a-number", bytes([3, 25]) + doubles(NAN, 0.0, 0.0, 0, 0, 0, INF, NAN))

# Report lines: a record and a distance.
put("writedata", "worked", record(42.12345678, -71.5, 0.0, 45.1234, 12.3456) + doubles(0.0123))
put("writedata", "dms", record(42.5, -71.25, 0.0, 0.0, 0.0) + doubles(0.0))
put("writedata", "round-up", record(-0.5, 10.999999986, 0.0, 359.99995, -1e-9) + doubles(1e6))
put("writedata", "not-finite", record(NAN, -INF, 0.0, INF, -NAN) + doubles(-INF))

# Numbers for %g.
put("vrml_number", "plain", doubles(0.0, -0.0, 1.0, 0.5, 123456.0, 1234567.0, 1e-4, 9.99999e-5))
put("vrml_number", "edges", doubles(NAN, -NAN, INF, -INF, 5e-324, 1.7976931348623157e308, 999999.5, 0.000099999995))
put("vrml_number", "rounding", doubles(2.5, 0.15, 1e15 + 0.5, -3.2e-7, 100000.49999999999, math.pi))

# Scenes: six factors, a vertex count, a repeat count, then the file name.
put("vrml_scene", "one", doubles(1, 1, 1, 1, 1, 1) + bytes([1, 0]) + b"track.gpl")
put("vrml_scene", "many", doubles(2, 1, 1, 1, 1, 1) + bytes([31, 1]) + b"a name\rwith\nline ends" * 4)
put("vrml_scene", "none", doubles(0, -0.0, NAN, INF, 1e-300, 1e300) + bytes([0, 3]) + b"x" * 3000)
