#!/usr/bin/env python3
"""A small FIT encoder, written from the format's published facts with
struct alone, for the tests, the demo and the benchmark.

    fitencode.py cases DIR          the test files, one per case, into DIR
                                    (DIR/broken: files with a fault)
    fitencode.py drive GPX FIT      a GPX recording as a FIT activity
    fitencode.py bench COUNT FIT    an activity of COUNT records

It shares nothing with the decoder it tests: it writes definitions and data
messages byte by byte, the CRC by its nibble table.
"""
import calendar
import datetime
import math
import os
import struct
import sys
import xml.etree.ElementTree as ET

CRC_NIBBLES = [0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
               0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400]

FIT_EPOCH = 631065600  # 1989-12-31T00:00:00Z in Unix seconds


def crc16(data, crc=0):
    for byte in data:
        tmp = CRC_NIBBLES[crc & 0xF]
        crc = (crc >> 4) & 0x0FFF
        crc ^= tmp ^ CRC_NIBBLES[byte & 0xF]
        tmp = CRC_NIBBLES[crc & 0xF]
        crc = (crc >> 4) & 0x0FFF
        crc ^= tmp ^ CRC_NIBBLES[(byte >> 4) & 0xF]
    return crc


# Base types: byte -> (struct code, invalid value).
BASE = {
    0x00: ("B", 0xFF), 0x01: ("b", 0x7F), 0x02: ("B", 0xFF),
    0x83: ("h", 0x7FFF), 0x84: ("H", 0xFFFF), 0x85: ("i", 0x7FFFFFFF),
    0x86: ("I", 0xFFFFFFFF), 0x07: ("s", None), 0x88: ("f", None), 0x89: ("d", None),
    0x0A: ("B", 0), 0x8B: ("H", 0), 0x8C: ("I", 0), 0x0D: ("B", 0xFF),
    0x8E: ("q", 0x7FFFFFFFFFFFFFFF), 0x8F: ("Q", 0xFFFFFFFFFFFFFFFF), 0x90: ("Q", 0),
}
INVALID = object()  # a field's invalid value

# Messages and the record's fields: name -> (number, base type).
FILE_ID, SESSION, LAP, RECORD, EVENT = 0, 18, 19, 20, 21
RECORD_FIELDS = {
    "timestamp": (253, 0x86), "lat": (0, 0x85), "lon": (1, 0x85), "altitude": (2, 0x84),
    "heart_rate": (3, 0x02), "cadence": (4, 0x02), "distance": (5, 0x86), "speed": (6, 0x84),
    "power": (7, 0x84), "temperature": (13, 0x01), "enhanced_speed": (73, 0x86),
    "enhanced_altitude": (78, 0x86), "fractional_cadence": (53, 0x02),
}


def semicircles(degrees):
    return int(round(degrees * 2 ** 31 / 180))


def fit_time(unix_seconds):
    return int(unix_seconds) - FIT_EPOCH


def encode_value(base, size, value, big):
    """The bytes of one field: a number (or a list, an array), bytes as they
    are, INVALID for the type's invalid value; padded with 0xFF to `size`."""
    code, invalid = BASE[base]
    order = ">" if big else "<"
    if isinstance(value, (bytes, bytearray)):
        data = bytes(value)
    elif code == "s":
        data = value.encode()
    else:
        items = value if isinstance(value, list) else [value]
        data = b""
        for item in items:
            if item is INVALID:
                data += b"\xff" * struct.calcsize(code) if invalid is None else \
                    struct.pack(order + code, invalid)
            else:
                data += struct.pack(order + code, item)
    return (data + b"\xff" * size)[:size]


class Fit:
    """One FIT file: definitions and data messages, then the header and CRC."""

    def __init__(self, header_size=14):
        self.header_size = header_size
        self.body = bytearray()
        self.types = {}  # local type -> (fields, big-endian, developer sizes)

    def define(self, local, message, fields, big=False, developer=()):
        """fields: (number, size, base type) each; developer: sizes."""
        header = 0x40 | local | (0x20 if developer else 0)
        self.body += bytes([header, 0, 1 if big else 0])
        self.body += struct.pack(">H" if big else "<H", message)
        self.body += bytes([len(fields)])
        for number, size, base in fields:
            self.body += bytes([number, size, base])
        if developer:
            self.body += bytes([len(developer)])
            for index, size in enumerate(developer):
                self.body += bytes([index, size, 0])
        self.types[local] = (list(fields), big, list(developer))

    def data(self, local, values, compressed=None, developer_bytes=None):
        """values: one per field of the definition. compressed: the time
        offset (0-31) of a compressed-timestamp header."""
        fields, big, developer = self.types[local]
        if compressed is None:
            self.body.append(local)
        else:
            self.body.append(0x80 | (local << 5) | (compressed & 0x1F))
        for (number, size, base), value in zip(fields, values):
            self.body += encode_value(base, size, value, big)
        for index, size in enumerate(developer):
            self.body += (developer_bytes or bytes(range(256)))[:size].ljust(size, b"\0")

    def record_type(self, local, names, big=False):
        """Defines `local` as a record with the named fields."""
        fields = [(RECORD_FIELDS[name][0], struct.calcsize(BASE[RECORD_FIELDS[name][1]][0]),
                   RECORD_FIELDS[name][1]) for name in names]
        self.define(local, RECORD, fields, big)

    def file_id(self, local=0, file_type=4):
        self.define(local, FILE_ID, [(0, 1, 0x00), (1, 2, 0x84), (4, 4, 0x86)])
        self.data(local, [file_type, 255, fit_time(1700000000)])

    def event(self, local, time, event_type, event=0):
        self.define(local, EVENT, [(253, 4, 0x86), (0, 1, 0x00), (1, 1, 0x00)])
        self.data(local, [time, event, event_type])

    def session(self, local, sport):
        self.define(local, SESSION, [(253, 4, 0x86), (5, 1, 0x00)])
        self.data(local, [0, sport])

    def lap(self, local, start, end, trigger):
        self.define(local, LAP, [(253, 4, 0x86), (2, 4, 0x86), (24, 1, 0x00)])
        self.data(local, [end, start, trigger])

    def timed_session(self, local, start, end, sport, sub_sport):
        self.define(local, SESSION, [(253, 4, 0x86), (2, 4, 0x86), (5, 1, 0x00), (6, 1, 0x00)])
        self.data(local, [end, start, sport, sub_sport])

    def bytes(self, data_size=None, header_crc=True, crc=None):
        size = len(self.body) if data_size is None else data_size
        header = struct.pack("<BBHI4s", self.header_size, 0x20, 2132, size, b".FIT")
        if self.header_size == 14:
            header += struct.pack("<H", crc16(header) if header_crc else 0)
        whole = header + bytes(self.body)
        return whole + struct.pack("<H", crc16(whole) if crc is None else crc)


START = fit_time(calendar.timegm((2024, 5, 4, 7, 30, 0)))


def ride(count, start=START, every=1):
    """Records of a ride near Bern: every value the reader takes."""
    for i in range(count):
        yield {
            "timestamp": start + i * every,
            "lat": semicircles(46.9481 + i * 1.3e-4), "lon": semicircles(7.4474 + i * 0.9e-4),
            "altitude": int(round((540 + i * 0.4 + 500) * 5)), "heart_rate": 90 + i % 60,
            "cadence": 80 + i % 11, "distance": i * 1350, "speed": 6000 + i * 7 % 900,
            "power": 150 + i * 13 % 200, "temperature": 21 - i % 5,
        }


def records(fit, local, names, rows, **options):
    fit.record_type(local, names, **options)
    for row in rows:
        fit.data(local, [row.get(name, INVALID) for name in names])


ALL = ["timestamp", "lat", "lon", "altitude", "heart_rate", "cadence", "distance", "speed",
       "power", "temperature"]


def case_basic():
    fit = Fit()
    fit.file_id()
    fit.event(1, START, 0)
    records(fit, 2, ALL, ride(30))
    fit.event(1, START + 30, 4)
    fit.session(3, 1)
    return fit.bytes()


def case_compressed():
    """A full time, then compressed offsets 7 s apart that roll over the
    32-second window several times, one in the same second as the one
    before; a second full time, more offsets 31 s apart."""
    fit = Fit()
    fit.file_id()
    names = ["lat", "lon", "heart_rate"]
    fit.record_type(1, ["timestamp"] + names)
    fit.record_type(2, names)  # the compressed records carry no time field
    base = START + 29  # low five bits near the end of a window
    fit.data(1, [base, semicircles(46.9), semicircles(7.4), 100])
    for i in range(1, 16):
        t = base + 7 * i
        fit.data(2, [semicircles(46.9 + i * 1e-4), semicircles(7.4), 100 + i], compressed=t)
    fit.data(2, [semicircles(46.9), semicircles(7.4), 116], compressed=t)  # the same second
    later = base + 1000
    fit.data(1, [later, semicircles(47.0), semicircles(7.5), 130])
    for i in range(1, 6):
        fit.data(2, [semicircles(47.0), semicircles(7.5 + i * 1e-4), 130 + i],
                 compressed=later + 31 * i)
    return fit.bytes()


def case_big_endian():
    fit = Fit()
    fit.file_id()
    records(fit, 3, ALL + ["enhanced_altitude", "enhanced_speed"],
            ({**row, "enhanced_altitude": row["altitude"] * 10 + 3, "enhanced_speed": 12345 + i}
             for i, row in enumerate(ride(12))), big=True)
    fit.define(4, SESSION, [(5, 1, 0x00)], big=True)
    fit.data(4, [2])
    return fit.bytes()


def case_developer():
    fit = Fit()
    fit.file_id()
    # developer_data_id and field_description messages, as devices write them
    fit.define(1, 207, [(3, 1, 0x02)])
    fit.data(1, [0])
    fit.define(2, 206, [(0, 1, 0x02), (1, 1, 0x02), (2, 1, 0x02), (3, 8, 0x07)])
    fit.data(2, [0, 0, 0x84, "Power2"])
    names = ["timestamp", "lat", "lon", "power"]
    fit.record_type(3, names)
    fields, big, _ = fit.types[3]
    fit.define(3, RECORD, fields, developer=(2, 5))
    for row in ride(8):
        fit.data(3, [row[n] for n in names], developer_bytes=b"\x01\x02\x03\x04\x05")
    return fit.bytes()


def case_redefined():
    """Local type 0 is a record, then an event, then a record again with
    other fields in another order."""
    fit = Fit()
    rows = list(ride(9))
    records(fit, 0, ["timestamp", "lat", "lon", "altitude"], rows[:3])
    fit.event(0, rows[3]["timestamp"], 0)
    records(fit, 0, ["heart_rate", "lon", "lat", "timestamp", "enhanced_altitude"],
            ({**row, "enhanced_altitude": 2 ** 20 + i} for i, row in enumerate(rows[3:])))
    return fit.bytes()


def case_chained_tail():
    """The second file of the chained one, alone."""
    second = Fit(header_size=12)
    second.file_id()
    records(second, 5, ["timestamp", "lat", "lon", "heart_rate"], ride(4, START + 3600))
    return second.bytes()


def case_chained():
    first = Fit()
    first.file_id()
    records(first, 1, ALL, ride(5))
    return first.bytes() + case_chained_tail()


def case_invalid():
    """Each value invalid in turn; fields of the z types, whose invalid value
    is 0, where the record's fields have others; a position off the globe."""
    fit = Fit()
    rows = []
    for i, row in enumerate(ride(len(ALL))):
        row[ALL[i]] = INVALID
        rows.append(row)
    records(fit, 0, ALL, rows)
    fit.define(1, RECORD, [(253, 4, 0x8C), (3, 1, 0x0A), (7, 2, 0x8B)])
    fit.data(1, [START + 50, 0, 200])
    fit.data(1, [START + 51, 140, 0])
    fit.data(1, [0, 141, 201])
    records(fit, 2, ["timestamp", "lat", "lon", "heart_rate"],
            [{"timestamp": START + 52, "lat": semicircles(100), "lon": semicircles(7.4),
              "heart_rate": 150}])  # a latitude beyond the pole
    return fit.bytes()


def case_no_gps():
    """An indoor ride: no position in any record."""
    fit = Fit()
    fit.file_id()
    records(fit, 1, ["timestamp", "heart_rate", "cadence", "power", "distance", "speed"],
            ride(20))
    fit.session(2, 2)
    return fit.bytes()


def case_fractional_cadence():
    """A run whose cadence has its fraction in 128ths of a stride."""
    fit = Fit()
    fit.file_id()
    rows = list(ride(12))
    for i, row in enumerate(rows):
        row["fractional_cadence"] = i * 16 % 128 if i != 3 else INVALID
    records(fit, 1, ["timestamp", "lat", "lon", "cadence", "fractional_cadence"], rows)
    fit.session(2, 1)
    return fit.bytes()


def case_odd_sizes():
    """Fields whose size is no multiple of their type, arrays, a field too
    short for its type, a string without its terminator, other base types
    for the record's values, a field given twice."""
    fit = Fit()
    fields = [(253, 4, 0x86), (0, 4, 0x85), (1, 4, 0x85),
              (2, 3, 0x84),  # altitude: 3 bytes of a uint16
              (3, 4, 0x02),  # heart rate: an array of 4
              (7, 6, 0x84),  # power: an array of 3
              (6, 5, 0x84),  # speed: 5 bytes of uint16s
              (4, 1, 0x84),  # cadence: 1 byte of a uint16, too short
              (250, 7, 0x07),  # text of 7 bytes, no terminator
              (5, 8, 0x89),  # distance as a float64
              (13, 2, 0x83),  # temperature as a sint16
              (3, 1, 0x02)]  # heart rate again
    fit.define(0, RECORD, fields)
    for i, row in enumerate(ride(6)):
        fit.data(0, [row["timestamp"], row["lat"], row["lon"],
                     struct.pack("<H", row["altitude"]) + b"\x07",
                     [row["heart_rate"], 1, 2, 3], [row["power"], 7, 8],
                     struct.pack("<HH", row["speed"], 9) + b"\x01", 200, "abcdefg",
                     float(row["distance"]) + 0.25, -7 - i, 180 - i])
    return fit.bytes()


def case_pauses():
    """Timer stops (stop, then stop_all) between runs of records, and a
    start that breaks nothing."""
    fit = Fit()
    fit.file_id()
    rows = list(ride(12))
    fit.event(1, START, 0)
    records(fit, 2, ALL, rows[:4])
    fit.event(1, rows[3]["timestamp"], 1)
    fit.event(1, rows[4]["timestamp"], 0)
    for row in rows[4:8]:
        fit.data(2, [row[name] for name in ALL])
    fit.event(1, rows[7]["timestamp"], 4)
    fit.event(1, rows[8]["timestamp"], 0)
    for row in rows[8:]:
        fit.data(2, [row[name] for name in ALL])
    return fit.bytes()


def case_system_time():
    """Times below 0x10000000 count from the device's power-on."""
    fit = Fit()
    records(fit, 0, ["timestamp", "lat", "lon"], ride(5, start=1000))
    return fit.bytes()


def case_huge_definition():
    """255 fields and 255 developer fields of 255 bytes each, a message of
    that size, then an ordinary record."""
    fit = Fit()
    fit.define(0, 60000, [(i, 255, 0x0D) for i in range(255)], developer=[255] * 255)
    fit.data(0, [bytes([i]) * 255 for i in range(255)], developer_bytes=b"\x55" * 255)
    records(fit, 1, ["timestamp", "lat", "lon"], ride(1))
    return fit.bytes()


def case_sport_other():
    fit = Fit()
    records(fit, 0, ["timestamp", "lat", "lon"], ride(3))
    fit.session(1, 5)  # swimming
    return fit.bytes()


def case_device_pauses():
    """Pauses as devices write them: a record stamped at the stop after the
    stop event; a stop_disable_all without a start; a start without a stop."""
    fit = Fit()
    fit.file_id()
    fit.event(1, START, 0)
    rows = list(ride(6)) + list(ride(6, START + 100)) + list(ride(4, START + 300))
    fit.record_type(2, ALL)
    put = lambda row: fit.data(2, [row[name] for name in ALL])
    for row in rows[:5]:
        put(row)
    fit.event(1, rows[4]["timestamp"], 1)
    put(rows[5] | {"timestamp": rows[4]["timestamp"]})  # stamped at the stop
    fit.event(1, rows[6]["timestamp"], 0)
    for row in rows[6:12]:
        put(row)
    fit.event(1, rows[11]["timestamp"], 9)
    for row in rows[12:14]:
        put(row)
    fit.event(1, rows[13]["timestamp"], 0)  # a start with no stop before
    for row in rows[14:]:
        put(row)
    fit.session(3, 2)
    return fit.bytes()


def case_multisport():
    """A swim, a transition, a ride and a run, laps by distance and at each
    session's end, and every session message at the end of the file; heart
    rates of 0 where no strap was paired; the run's cadence as strides."""
    fit = Fit()
    fit.file_id()
    fit.record_type(1, ["timestamp", "lat", "lon", "heart_rate", "cadence", "distance"])
    sessions = [(5, 17, 3, 2), (3, 0, 1, 4), (2, 7, 2, 3), (1, 0, 3, 5)]  # sport, sub, laps, length
    at = START
    spans = []
    along = 0
    for sport, sub_sport, laps, length in sessions:
        begin = at
        for lap in range(laps):
            lap_start = at
            for i in range(length):
                along += 500
                fit.data(1, [at, semicircles(46.9 + at % 1000 * 1e-5), semicircles(7.4),
                             0 if sport == 5 else 120 + i, 88 if sport == 1 else 60, along])
                at += 1
            fit.lap(2, lap_start, at - 1, 7 if lap == laps - 1 else 2)
        spans.append((begin, at - 1, sport, sub_sport))
        at += 2
    for begin, end, sport, sub_sport in spans:
        fit.timed_session(3, begin, end, sport, sub_sport)
    return fit.bytes()


def case_workout():
    fit = Fit()
    fit.file_id(file_type=5)
    fit.define(1, 26, [(8, 10, 0x07)])  # the workout's name
    fit.data(1, ["intervals"])
    return fit.bytes()


def case_course_relative():
    """A course whose times count from its start."""
    fit = Fit()
    fit.file_id(file_type=6)
    records(fit, 1, ["timestamp", "lat", "lon", "altitude"], ride(5, start=0))
    return fit.bytes()


def case_course_without_position():
    fit = Fit()
    fit.file_id(file_type=6)
    records(fit, 1, ["timestamp", "altitude", "distance"], ride(5))
    return fit.bytes()


CASES = {
    "device-pauses": case_device_pauses, "multisport": case_multisport,
    "workout": case_workout, "course-relative": case_course_relative,
    "course-without-position": case_course_without_position,
    "basic": case_basic, "compressed": case_compressed, "big-endian": case_big_endian,
    "developer": case_developer, "redefined": case_redefined, "chained": case_chained,
    "chained-tail": case_chained_tail,
    "invalid": case_invalid, "no-gps": case_no_gps, "odd-sizes": case_odd_sizes,
    "pauses": case_pauses, "system-time": case_system_time,
    "huge-definition": case_huge_definition, "sport-other": case_sport_other,
    "fractional-cadence": case_fractional_cadence,
}


def broken_cases():
    """Files with a fault, and where it lies (the byte offset the reader
    names)."""
    good = case_basic()
    size = len(good)
    flipped = bytearray(good)
    flipped[size - 5] ^= 0x10  # the session's time
    header = bytearray(good)
    header[0] = 13
    no_mark = bytearray(good)
    no_mark[8:12] = b".FTI"
    bad_header_crc = bytearray(good)
    bad_header_crc[12] ^= 1
    # A data size that ends the records inside the first message after the
    # header: the file_id definition is 6 + 3 * 3 bytes.
    short = Fit()
    short.file_id()
    short_bytes = short.bytes(data_size=10)
    past_end = Fit()
    past_end.file_id()
    undefined = Fit()
    undefined.body += b"\x03" + b"\0" * 4
    # a compressed timestamp with no time before it to count from
    compressed_first = Fit()
    compressed_first.record_type(0, ["lat", "lon"])
    compressed_first.data(0, [semicircles(46.8), semicircles(7.4)], compressed=3)
    architecture = Fit()
    architecture.body += bytes([0x40, 0, 7, 20, 0, 0])
    return {
        "cut-in-record": (good[: size - 20], size - 20),
        "cut-before-crc": (good[: size - 1], size - 1),
        "cut-in-header": (good[:9], 9),
        "size-past-end": (past_end.bytes(data_size=len(past_end.body) + 100)[:-2],
                          14 + len(past_end.body)),
        "bad-crc": (bytes(flipped), size - 2),
        "bad-header-size": (bytes(header), 0),
        "no-fit-mark": (bytes(no_mark), 0),
        "bad-header-crc": (bytes(bad_header_crc), 12),
        "message-past-records": (short_bytes, 14),
        "undefined-type": (undefined.bytes(), 14),
        "bad-architecture": (architecture.bytes(), 16),
        "compressed-first": (compressed_first.bytes(), 14 + 12),
        "garbage-after-file": (good + b"\0" * 20, size),
    }


def write_cases(directory):
    """DIR/<case>.fit, and DIR/broken/<case>.fit with DIR/broken/offsets.txt:
    a line "<case> <offset>" each."""
    broken = os.path.join(directory, "broken")
    os.makedirs(broken, exist_ok=True)
    for name, make in CASES.items():
        with open(os.path.join(directory, name + ".fit"), "wb") as out:
            out.write(make())
    with open(os.path.join(broken, "offsets.txt"), "w") as listing:
        for name, (data, offset) in broken_cases().items():
            with open(os.path.join(broken, name + ".fit"), "wb") as out:
                out.write(data)
            listing.write("%s %d\n" % (name, offset))


def drive(gpx_path, fit_path):
    """The GPX recording's track points as records: position, elevation,
    time (whole seconds), speed and air temperature; a timer stop and start
    between segments."""
    ns = {"g": "http://www.topografix.com/GPX/1/1",
          "x": "http://www.garmin.com/xmlschemas/TrackPointExtension/v2"}
    fit = Fit()
    fit.file_id()
    names = ["timestamp", "lat", "lon", "altitude", "speed", "temperature"]
    fit.record_type(2, names)
    last = None
    for segment in ET.parse(gpx_path).getroot().iterfind(".//g:trkseg", ns):
        for number, point in enumerate(segment.iterfind("g:trkpt", ns)):
            when = gpx_time(point.find("g:time", ns).text)
            if number == 0 and last is not None:
                fit.event(1, last, 4)
                fit.event(1, when, 0)
            speed = point.find(".//x:speed", ns)
            temperature = point.find(".//x:atemp", ns)
            fit.data(2, [
                when, semicircles(float(point.get("lat"))), semicircles(float(point.get("lon"))),
                int(round((float(point.find("g:ele", ns).text) + 500) * 5)),
                INVALID if speed is None else int(round(float(speed.text) * 1000)),
                INVALID if temperature is None else int(round(float(temperature.text)))])
            last = when
    fit.session(3, 0)
    with open(fit_path, "wb") as out:
        out.write(fit.bytes())


def gpx_time(text):
    """FIT seconds of an ISO time with a fraction and an offset."""
    return fit_time(datetime.datetime.fromisoformat(text.replace("Z", "+00:00")).timestamp())


def bench(count, fit_path):
    """COUNT records of every value the reader takes, a time field in each."""
    fit = Fit()
    fit.file_id()
    fit.record_type(1, ALL)
    pack = struct.Struct("<B I i i H B B I H H b").pack
    chunks = []
    for i in range(count):
        lat = semicircles(46.9 + math.sin(i / 5000.0) * 0.05)
        lon = semicircles(7.4 + math.cos(i / 5000.0) * 0.07)
        chunks.append(pack(1, START + i, lat, lon, 2700 + i % 500, 100 + i % 80,
                           70 + i % 30, i * 300, 5000 + i % 3000, 100 + i % 300, 15 + i % 10))
    fit.body += b"".join(chunks)
    fit.session(2, 2)
    with open(fit_path, "wb") as out:
        out.write(fit.bytes())


def main(argv):
    if len(argv) == 3 and argv[1] == "cases":
        write_cases(argv[2])
    elif len(argv) == 4 and argv[1] == "drive":
        drive(argv[2], argv[3])
    elif len(argv) == 4 and argv[1] == "bench":
        bench(int(argv[2]), argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
