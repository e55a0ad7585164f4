#!/usr/bin/python3
"""Writes a GPL track as CSV with the sensor columns, for the benchmark's
run with heart rate, cadence and power present: the same points twice, the
sensor cells empty or filled as a watch would fill them.

Usage: gpl_to_csv.py TRACK.gpl TRACK.csv [--sensors]
"""
import struct
import sys
import time

RECORD = struct.Struct("<II5dII")
HEADER = ("point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,"
          "segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c\n")


def main():
    if len(sys.argv) not in (3, 4) or sys.argv[3:] not in ([], ["--sensors"]):
        print(__doc__, file=sys.stderr)
        return 2
    sensors = len(sys.argv) == 4
    with open(sys.argv[1], "rb") as source, open(sys.argv[2], "w") as out:
        out.write(HEADER)
        number = 0
        while True:
            block = source.read(RECORD.size * 4096)
            whole = len(block) - len(block) % RECORD.size
            lines = []
            for at in range(0, whole, RECORD.size):
                number += 1
                _, _, lat, lon, feet, heading, mph, stamp, tag = RECORD.unpack_from(block, at)
                extra = (",%d,%d,%d," % (120 + number % 40, 80 + number % 15, 150 + number % 200)
                         if sensors else ",,,,")
                lines.append("%d,%s,%.8f,%.8f,%.3f,%.1f,%.2f,%d,0%s\n"
                             % (number, time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(stamp)),
                                lat, lon, feet, heading, mph, tag, extra))
            out.write("".join(lines))
            if len(block) < RECORD.size * 4096:
                break
    return 0


if __name__ == "__main__":
    sys.exit(main())
