#!/usr/bin/python3
"""Writes a GPL track as a GPX 1.1 file, for the benchmark's side-by-side
run: one <trkpt> per record with its elevation in metres (feet * 0.3048)
and its time in UTC.

Usage: gpl_to_gpx.py TRACK.gpl TRACK.gpx
"""
import struct
import sys
import time

RECORD = struct.Struct("<II5dII")


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as source, open(sys.argv[2], "w") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                  '<gpx version="1.1" creator="tracktools bench" '
                  'xmlns="http://www.topografix.com/GPX/1/1">\n<trk><trkseg>\n')
        while True:
            block = source.read(RECORD.size * 4096)
            whole = len(block) - len(block) % RECORD.size
            lines = []
            for at in range(0, whole, RECORD.size):
                _, _, lat, lon, feet, _, _, stamp, _ = RECORD.unpack_from(block, at)
                lines.append('<trkpt lat="%.8f" lon="%.8f"><ele>%.3f</ele><time>%s</time></trkpt>\n'
                             % (lat, lon, feet * 0.3048,
                                time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(stamp))))
            out.write("".join(lines))
            if len(block) < RECORD.size * 4096:
                break
        out.write("</trkseg></trk>\n</gpx>\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
