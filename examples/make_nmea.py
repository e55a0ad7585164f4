#!/usr/bin/env python3
"""Writes drive.nmea: the sample drive of sample-drive.txt as a GPS receiver
logs it, one RMC and one GGA sentence per fix (times UTC with milliseconds,
speed in knots, altitude in metres above sea level), for the programs'
examples and tests of NMEA input.

    python3 make_nmea.py < sample-drive.txt > drive.nmea
"""
import sys
import time

FEET_PER_METRE = 3.281       # the listing's altitudes were made with this factor
KNOTS_PER_MPH = 1609.344 / 1852.0


def sentence(body):
    checksum = 0
    for c in body:
        checksum ^= ord(c)
    return "$%s*%02X\r\n" % (body, checksum)


def angle(value, width, positive, negative):
    hemisphere = positive if value >= 0 else negative
    value = abs(value)
    degrees = int(value)
    minutes = (value - degrees) * 60.0
    return "%0*d%07.4f" % (width, degrees, minutes), hemisphere


def main():
    out = sys.stdout
    index = 0
    for line in sys.stdin:
        if line.startswith("#") or ":" not in line:
            continue
        fields = [f.strip() for f in line.split(":", 1)[1].split(",")]
        lat, lon = float(fields[1]), float(fields[2])
        stamp = time.strptime(fields[3] + " " + fields[4], "%d-%b-%Y %H:%M:%S")
        heading, mph, feet = float(fields[5]), float(fields[6]), float(fields[7])
        clock = time.strftime("%H%M%S", stamp) + ".%03d" % ((index * 37) % 1000)
        date = time.strftime("%d%m%y", stamp)
        la, ns = angle(lat, 2, "N", "S")
        lo, ew = angle(lon, 3, "E", "W")
        out.write(sentence("GPRMC,%s,A,%s,%s,%s,%s,%.2f,%.1f,%s,,,A"
                           % (clock, la, ns, lo, ew, mph * KNOTS_PER_MPH, heading, date)))
        out.write(sentence("GPGGA,%s,%s,%s,%s,%s,1,08,0.9,%.1f,M,47.0,M,,"
                           % (clock, la, ns, lo, ew, feet / FEET_PER_METRE)))
        index += 1


if __name__ == "__main__":
    main()
