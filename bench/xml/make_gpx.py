#!/usr/bin/env python3
"""Writes a synthetic GPX ride for the XML benchmarks.

  make_gpx.py garmin POINTS FILE   points with elevation, time, heart rate and
                                   cadence in Garmin's TrackPointExtension, laid
                                   out as Garmin Connect exports them
  make_gpx.py plain BYTES FILE     points with elevation and time only, indented,
                                   until the file holds about BYTES bytes

The track is a deterministic random walk, so every run writes the same file.
"""
import random
import sys

HEAD_GARMIN = """<?xml version="1.0" encoding="UTF-8"?>
<gpx creator="Garmin Connect" version="1.1"
  xsi:schemaLocation="http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/11.xsd"
  xmlns:ns3="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
  xmlns="http://www.topografix.com/GPX/1/1"
  xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
  xmlns:ns2="http://www.garmin.com/xmlschemas/GpxExtensions/v3">
<metadata>
<link href="connect.garmin.com"><text>Garmin Connect</text></link>
<time>2021-06-05T07:12:03.000Z</time>
</metadata>
<trk>
<name>Morning Ride</name>
<type>cycling</type>
<trkseg>
"""
HEAD_PLAIN = """<?xml version="1.0" encoding="UTF-8" standalone="no" ?>
<gpx xmlns="http://www.topografix.com/GPX/1/1" version="1.1" creator="bench">
  <trk>
    <name>Plain ride</name>
    <trkseg>
"""


def walk(rng):
    lat, lon, ele, t = 47.3769, 8.5417, 408.0, 1622877123
    hr, cad = 110, 80
    while True:
        lat += rng.uniform(-1e-4, 1e-4)
        lon += rng.uniform(-1e-4, 1e-4)
        ele = max(0.0, ele + rng.uniform(-0.6, 0.6))
        t += 1
        hr = min(190, max(60, hr + rng.randint(-2, 2)))
        cad = min(120, max(0, cad + rng.randint(-3, 3)))
        yield lat, lon, ele, t, hr, cad


def iso(seconds, millis):
    # Seconds since 1970 as UTC, without the time module's locale.
    days, rest = divmod(seconds, 86400)
    hour, rest = divmod(rest, 3600)
    minute, second = divmod(rest, 60)
    z = days + 719468
    era = z // 146097
    doe = z - era * 146097
    yoe = (doe - doe // 1460 + doe // 36524 - doe // 146096) // 365
    doy = doe - (365 * yoe + yoe // 4 - yoe // 100)
    mp = (5 * doy + 2) // 153
    day = doy - (153 * mp + 2) // 5 + 1
    month = mp + 3 if mp < 10 else mp - 9
    year = yoe + era * 400 + (month <= 2)
    fraction = ".000" if millis else ""
    return "%04d-%02d-%02dT%02d:%02d:%02d%sZ" % (year, month, day, hour, minute, second, fraction)


def main():
    kind, amount, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    rng = random.Random(24)
    points = walk(rng)
    with open(path, "w", encoding="ascii", newline="\n") as out:
        if kind == "garmin":
            out.write(HEAD_GARMIN)
            for _ in range(amount):
                lat, lon, ele, t, hr, cad = next(points)
                out.write('<trkpt lat="%.7f" lon="%.7f">\n<ele>%.1f</ele>\n<time>%s</time>\n'
                          "<extensions>\n<ns3:TrackPointExtension>\n<ns3:hr>%d</ns3:hr>\n"
                          "<ns3:cad>%d</ns3:cad>\n</ns3:TrackPointExtension>\n</extensions>\n"
                          "</trkpt>\n" % (lat, lon, ele, iso(t, True), hr, cad))
        elif kind == "plain":
            out.write(HEAD_PLAIN)
            while out.tell() < amount:
                lat, lon, ele, t, _, _ = next(points)
                out.write('      <trkpt lat="%.7f" lon="%.7f">\n        <ele>%.1f</ele>\n'
                          "        <time>%s</time>\n      </trkpt>\n" % (lat, lon, ele, iso(t, False)))
        else:
            sys.exit("usage: make_gpx.py garmin POINTS FILE | plain BYTES FILE")
        out.write("</trkseg>\n</trk>\n</gpx>\n")


if __name__ == "__main__":
    main()
