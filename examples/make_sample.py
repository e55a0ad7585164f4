#!/usr/bin/env python3
"""Writes sample-drive.txt: a synthetic drive of a few hundred GPS fixes,
two seconds apart, in the text listing that logpack reads.

The drive leaves a car park (repeated positions while standing), stops at a
traffic light, climbs a hill road with switchbacks to a viewpoint, stops
there, and comes back down into town. It is fully reproducible: the noise
comes from a fixed seed.

    python3 make_sample.py > sample-drive.txt
"""
import math
import random
import time

STEP_SECONDS = 2
FEET_PER_METRE = 3.281
START = time.mktime((2025, 6, 14, 9, 30, 0, 0, 0, 0)) - time.timezone  # UTC


def main():
    rng = random.Random(20250614)
    lat, lon, alt = 46.948100, 7.447400, 1771.0  # feet
    heading, speed = 60.0, 0.0
    t = int(START)
    rows = []

    def fix(reported_speed, reported_heading):
        rows.append((lat, lon, alt, reported_heading, reported_speed, t))

    # (seconds, target speed mph, heading degrees, climb feet per second, note)
    plan = [
        (24, 0, 60, 0.0, "standing in the car park"),
        (60, 28, 60, 0.0, "out of town"),
        (40, 35, 75, 0.1, "main road"),
        (28, 0, 75, 0.0, "traffic light"),
        (80, 45, 120, 0.3, "valley road"),
        (60, 25, 40, 7.0, "hill road"),
        (48, 22, 210, 7.5, "switchback"),
        (60, 24, 35, 6.5, "switchback"),
        (60, 0, 35, 0.0, "viewpoint"),
        (70, 27, 215, -6.0, "down again"),
        (90, 38, 280, -0.6, "back towards town"),
        (20, 0, 280, 0.0, "junction"),
        (80, 30, 250, -0.2, "into town"),
        (32, 0, 250, 0.0, "parked"),
    ]
    for seconds, target, new_heading, climb, _note in plan:
        for _ in range(seconds // STEP_SECONDS):
            # Speed and heading move towards the plan, as a driver would.
            speed += max(-6.0, min(4.0, target - speed))
            if target == 0 and speed < 1.0:
                speed = 0.0
            turn = (new_heading - heading + 540.0) % 360.0 - 180.0
            heading = (heading + max(-20.0, min(20.0, turn))) % 360.0
            if speed > 0.0:
                metres = speed * 0.44704 * STEP_SECONDS
                wobble = rng.uniform(-4.0, 4.0)
                h = math.radians(heading + wobble)
                lat += metres * math.cos(h) / 111132.0
                lon += metres * math.sin(h) / (111320.0 * math.cos(math.radians(lat)))
                alt += climb * STEP_SECONDS + rng.uniform(-1.5, 1.5)
                reported = max(0.0, speed + rng.uniform(-0.8, 0.8))
                fix(reported, (heading + wobble) % 360.0)
            else:
                fix(0.0, heading)  # a standing receiver repeats its position
            t += STEP_SECONDS

    print("# Sample drive for tracktools: number:tag, latitude, longitude, date, time,")
    print("# heading, speed (mph), altitude (feet); times are UTC.")
    for number, (la, lo, al, hd, sp, ts) in enumerate(rows, start=1):
        stamp = time.strftime("%d-%b-%Y, %H:%M:%S", time.gmtime(ts))
        print(f"{number}:{number}, {la:.8f}, {lo:.8f}, {stamp}, {hd:6.2f}, {sp:8.5f}, {al:.5f}")


if __name__ == "__main__":
    main()
