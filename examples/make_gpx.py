#!/usr/bin/env python3
"""Writes drive.gpx: the sample drive of sample-drive.txt as a phone's GPX
1.1 recording would hold it, for the demo's first step.

The phone logs in local time (+02:00 in June at Bern) with milliseconds,
elevation in metres, and speed (metres per second) and course in Garmin's
TrackPointExtension v2. The driver's watch, paired with the phone, adds the
air temperature, heart rate and cadence the way a watch writes them, in
TrackPointExtension v1: the heart rate rises on the climb and at speed, and
the cadence follows the speed (0 while the car stands). The recording was
paused while the car stood at the viewpoint, so the track has two segments
and lacks the fixes of that stop.

    python3 make_gpx.py < sample-drive.txt > drive.gpx
"""
import math
import sys
import time

FEET_PER_METRE = 3.281       # the listing's altitudes were made with this factor
METRES_PER_SECOND_PER_MPH = 0.44704
OFFSET = 2 * 3600            # Central European Summer Time


def fixes(lines):
    for line in lines:
        if line.startswith("#") or ":" not in line:
            continue
        fields = [f.strip() for f in line.split(":", 1)[1].split(",")]
        lat, lon = float(fields[1]), float(fields[2])
        stamp = time.strptime(fields[3] + " " + fields[4], "%d-%b-%Y %H:%M:%S")
        utc = int(time.mktime(stamp)) - time.timezone
        heading, speed, feet = float(fields[5]), float(fields[6]), float(fields[7])
        yield lat, lon, feet / FEET_PER_METRE, utc, heading, speed


def viewpoint(points):
    """The longest run of standing fixes that is neither at the start nor at the end."""
    best, start = (0, 0), None
    for i, point in enumerate(points + [(0, 0, 0, 0, 0, 1)]):
        if point[5] == 0.0 and start is None:
            start = i
        elif point[5] != 0.0 and start is not None:
            if start > 0 and i < len(points) and i - start > best[1] - best[0]:
                best = (start, i)
            start = None
    return best


def local(utc, millis):
    return time.strftime("%Y-%m-%dT%H:%M:%S", time.gmtime(utc + OFFSET)) + ".%03d+02:00" % millis


def main():
    points = list(fixes(sys.stdin))
    paused_from, paused_to = viewpoint(points)
    out = sys.stdout
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
              '<gpx version="1.1" creator="a phone app"\n'
              '     xmlns="http://www.topografix.com/GPX/1/1"\n'
              '     xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"\n'
              '     xmlns:gpxtpx2="http://www.garmin.com/xmlschemas/TrackPointExtension/v2"\n'
              '     xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"\n'
              '     xsi:schemaLocation="http://www.topografix.com/GPX/1/1'
              ' http://www.topografix.com/GPX/1/1/gpx.xsd">\n'
              '  <metadata>\n    <name>Sample drive</name>\n'
              '    <time>%s</time>\n  </metadata>\n' % local(points[0][3], 0))
    out.write('  <trk>\n    <name>Sample drive</name>\n    <type>driving</type>\n    <trkseg>\n')
    for i, (lat, lon, metres, utc, heading, mph) in enumerate(points):
        if paused_from <= i < paused_to:
            if i == paused_from:
                out.write('    </trkseg>\n    <trkseg>\n')
            continue
        out.write('      <trkpt lat="%.8f" lon="%.8f">\n' % (lat, lon))
        out.write('        <ele>%.1f</ele>\n' % metres)
        out.write('        <time>%s</time>\n' % local(utc, (i * 37) % 1000))
        climb = metres - points[max(i - 5, 0)][2]
        heart_rate = 74 + 0.45 * mph + 2.0 * max(climb, 0.0) + 3 * math.sin(i / 7.0)
        cadence = 0 if mph == 0 else 55 + 0.9 * mph + 4 * math.sin(i / 5.0)
        out.write('        <extensions>\n          <gpxtpx:TrackPointExtension>\n'
                  '            <gpxtpx:atemp>%.1f</gpxtpx:atemp>\n'
                  '            <gpxtpx:hr>%d</gpxtpx:hr>\n'
                  '            <gpxtpx:cad>%d</gpxtpx:cad>\n'
                  '          </gpxtpx:TrackPointExtension>\n'
                  '          <gpxtpx2:TrackPointExtension>\n'
                  '            <gpxtpx2:speed>%.2f</gpxtpx2:speed>\n'
                  '            <gpxtpx2:course>%.1f</gpxtpx2:course>\n'
                  '          </gpxtpx2:TrackPointExtension>\n        </extensions>\n'
                  % (21.5 + i / 100.0, round(heart_rate), round(cadence),
                     mph * METRES_PER_SECOND_PER_MPH, heading))
        out.write('      </trkpt>\n')
    out.write('    </trkseg>\n  </trk>\n</gpx>\n')


if __name__ == "__main__":
    main()
