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

# GPX: real-shaped files of the versions and extensions the reader knows,
# and the attacks it refuses.
GPX11 = ('<?xml version="1.0" encoding="UTF-8"?>\n'
         '<gpx version="1.1" creator="seed" xmlns="http://www.topografix.com/GPX/1/1"'
         ' xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2">\n')
put("gpx_reader", "track", GPX11 + '<metadata><name>ride</name><time>2019-05-01T04:31:00Z</time></metadata>\n'
    '<trk><name>ride</name><trkseg>\n'
    '<trkpt lat="46.9481" lon="7.4474"><ele>539.8</ele><time>2019-05-01T06:31:11.250+02:00</time>'
    '<extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>121</gpxtpx:hr><gpxtpx:speed>4.2</gpxtpx:speed>'
    '<gpxtpx:course>61.5</gpxtpx:course></gpxtpx:TrackPointExtension></extensions></trkpt>\n'
    '<trkpt lat="46.9490" lon="7.4496"><ele>541.2</ele><time>2019-05-01T04:31:15Z</time></trkpt>\n'
    '</trkseg><trkseg>\n<trkpt lat="-33.8" lon="151.2"><time>1969-12-31T23:59:59-0300</time></trkpt>\n'
    '</trkseg></trk>\n</gpx>\n')
put("gpx_reader", "gpx10", '<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0"><trk><trkseg>'
    '<trkpt lat="1e1" lon="0x1p4"><course>359.9</course><speed>12</speed></trkpt>'
    '<trkpt lat="91" lon="0"/><trkpt lon="1"/></trkseg></trk></gpx>')
put("gpx_reader", "routes", GPX11 + '<wpt lat="1" lon="2"/><rte><rtept lat="3" lon="4"><ele>-5</ele></rtept>'
    '<rtept lat="5" lon="6"/></rte></gpx>')
put("gpx_reader", "bad-time", GPX11 + '<trk><trkseg><trkpt lat="1" lon="2"><time>2019-02-29T00:00:00Z</time>'
    '</trkpt></trkseg></trk></gpx>')
put("gpx_reader", "laughs", '<?xml version="1.0"?><!DOCTYPE gpx [<!ENTITY a "aa"><!ENTITY b "&a;&a;">]><gpx>&b;</gpx>')
put("gpx_reader", "cut", GPX11 + '<trk><trkseg><trkpt lat="1" lon="2"><ele>3')
put("gpx_reader", "tracks", GPX11.replace('">', '" xmlns:p="http://www.garmin.com/xmlschemas/PowerExtension/v1"'
    ' xmlns:v1="http://www.garmin.com/xmlschemas/TrackPointExtension/v1">', 1)
    + '<trk><name> Morning &amp; hike </name><trkseg><trkpt lat="1" lon="2"><ele/><extensions>'
    '<v1:TrackPointExtension><v1:atemp>-3.5</v1:atemp><v1:hr>140</v1:hr><v1:cad>88</v1:cad>'
    '</v1:TrackPointExtension><p:PowerInWatts>250</p:PowerInWatts></extensions></trkpt></trkseg><trkseg/>'
    '<trkseg><trkpt lat="1" lon="3"><time>2200-12-31T23:59:60.999999999Z</time><extensions>'
    '<x:power xmlns:x="urn:x">n/a</x:power><power>251</power></extensions></trkpt></trkseg></trk>'
    '<trk><trkseg><trkpt lat="2" lon="3"><time>1899-12-31T23:59:59Z</time></trkpt></trkseg>'
    '<name>late</name></trk></gpx>')
put("gpx_reader", "utf16", '\ufeff<gpx><trk><trkseg><trkpt lat="1" lon="2"/></trkseg></trk></gpx>'.encode("utf-16-le"))

# XML for both engines of the stream: the constructs of track files, the
# edge cases where the scanner must agree with expat or leave the document
# to it, and the GPX seeds above.
GARMIN = ('<?xml version="1.0" encoding="UTF-8"?>\r\n<gpx creator="Garmin Connect" version="1.1"'
          ' xmlns:ns3="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"'
          ' xmlns="http://www.topografix.com/GPX/1/1">\r\n<trk><name><![CDATA[Morning Ride]]></name><trkseg>\r\n')
put("xml_paths", "garmin", GARMIN + '<trkpt lat="47.3769425" lon="8.5417680">\r\n<ele>407.6</ele>\r\n'
    '<time>2021-06-05T07:12:04.000Z</time>\r\n<extensions>\r\n<ns3:TrackPointExtension>\r\n'
    '<ns3:hr>109</ns3:hr>\r\n<ns3:cad>78</ns3:cad>\r\n</ns3:TrackPointExtension>\r\n</extensions>\r\n'
    '</trkpt>\r\n</trkseg>\r\n</trk>\r\n</gpx>\r\n')
put("xml_paths", "tcx", '\ufeff<?xml version="1.0" encoding="UTF-8" standalone="no" ?>\n'
    '<TrainingCenterDatabase xmlns="http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2">'
    '<Activities><Activity Sport="Biking"><Lap StartTime="2020-01-01T00:00:00Z"><Track><Trackpoint>'
    '<Time>2020-01-01T00:00:01Z</Time><Position><LatitudeDegrees>1.5</LatitudeDegrees>'
    '<LongitudeDegrees>2.5</LongitudeDegrees></Position><HeartRateBpm><Value>99</Value></HeartRateBpm>'
    '</Trackpoint></Track></Lap></Activity></Activities></TrainingCenterDatabase>'.encode("utf-8"))
put("xml_paths", "cdata-number", GPX11 + '<trk><trkseg><trkpt lat="1" lon="2"><ele><![CDATA[ 12.5 ]]></ele>'
    '<time>2019-05-01T<![CDATA[04:31:00]]>Z</time></trkpt></trkseg></trk></gpx>')
put("xml_paths", "entity-name", GPX11 + '<trk><name>R&amp;R &lt;&#x10FFFF;&#233;&apos;&quot;&gt;</name><trkseg>'
    '<trkpt lat="&#49;" lon="2&#x2E;5"/></trkseg></trk></gpx>')
put("xml_paths", "prefix-bound-twice", '<gpx xmlns:a="urn:x" xmlns:b="urn:x"><a:t b:v="1" a:w="2"/>'
    '<t xmlns:a="urn:y" a:v="1"/><a:t a:v="1" b:v="2"/></gpx>')
put("xml_paths", "end-other-prefix", '<gpx xmlns:a="urn:x" xmlns:b="urn:x"><a:trk></b:trk></gpx>')
put("xml_paths", "char-max", '<gpx><name>&#x10FFFF;&#x110000;</name></gpx>')
put("xml_paths", "overlong", b'<gpx><name>\xc0\xaf\xe0\x80\xaf\xf0\x80\x80\xaf</name></gpx>')
put("xml_paths", "nul", b'<gpx lat="1"><name>a\x00b</name></gpx>')
put("xml_paths", "comments", '<?xml version="1.0"?><!-- a --><?pi x?>\n<gpx><!--b--><?p?>\r<e/>\r\n<f a="x\ty\r\nz"\n/></gpx>\n<!--c-->')
put("xml_paths", "not-utf8", '<?xml version="1.0" encoding="ISO-8859-1"?><gpx><name>\xe9</name></gpx>')
for name in ("track", "gpx10", "routes", "laughs", "cut"):
    with open(os.path.join(HERE, "corpus", "gpx_reader", name), "rb") as seed:
        put("xml_paths", "gpx-" + name, seed.read())


def sentence(body):
    checksum = 0
    for c in body:
        checksum ^= ord(c)
    return "$%s*%02X\r\n" % (body, checksum)


# NMEA: fixes in both orders of RMC and GGA, talkers, a lost fix, midnight,
# damaged sentences and noise.
put("nmea_reader", "receiver",
    sentence("GPGGA,235959,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
    + sentence("GPRMC,235959,A,4807.038,N,01131.000,E,022.4,084.4,311299,003.1,W")
    + sentence("GNRMC,000000.50,A,4807.040,N,01131.010,E,10.0,,010100,,,A")
    + sentence("GNGGA,000000.50,4807.040,N,01131.010,E,2,12,0.7,-12.5,M,22.1,M,,")
    + sentence("GPRMC,000001,V,,,,,,,010100,,,N")
    + sentence("GPGGA,000001,,,,,0,00,99.9,,,,,,")
    + "logger> " + sentence("BDRMC,120000,A,1000.0000,S,17959.9999,W,,,010180,,,D")
    + "$GPRMC,120001,A,1000.0000,N,00000.0000,E,1,2,311279,,\n"
    + sentence("GPRMC,235960.999999999,A,1000.0000,N,00000.0000,E,1,2,311279,,"))
put("nmea_reader", "damaged",
    sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")[:-6] + "*00\r\n"
    + "$GPRMC,123519,A,4807.0$GPGSA,A,3,04,05,,09*00\n\x00\xff$\x01\n"
    + sentence("GPRMC,246060,A,9107.038,N,01131.000,X,fast,,320194,,,A"))

# CSV: the writer's form, a spreadsheet's, and broken ones.
put("csv_reader", "written",
    "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag\n"
    "1,2019-05-01T04:31:11Z,46.9481,7.4474,1771,60,0,1\n"
    "2,,-0,5e-324,-inf,nan,-nan,4294967295\n")
put("csv_reader", "segments",
    "point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,"
    "segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c\n"
    "1,2019-05-01T04:31:11.25Z,46.9481,7.4474,,60,,1,1,120,80,250,-2.5\n"
    "2,1899-12-31T23:59:59Z,,7.5,1771,,0,2,2,,,,\n"
    "3,2200-12-31T23:59:60.5Z,1,2,,,,3,,nan,-inf,,\n")
put("csv_reader", "spreadsheet",
    "\ufeffNotes,Speed_MPH,LONGITUDE,\"latitude\",time\r\n"
    "\"a, \"\"b\"\"\nc\",+1.5, 7.25 ,46.5,2019-05-01T06:31:11+02:00\r\n\r\n,,1,2,\r\n".encode("utf-8"))
put("csv_reader", "broken", "latitude,longitude,tag\n1,2,3\n1,2\n\"1,2,3\n")

# trackedit: two bytes of options, twelve of values, then four per point
# (latitude step, longitude step, seconds, flags).
def wander(count, seed):
    out, state = b"", seed
    for i in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        flags = (state >> 8) & 0x7F if i % 7 == 0 else 0
        out += struct.pack("<bbbB", (state >> 16) % 21 - 10, (state >> 20) % 21 - 10, 4, flags)
    return out


put("trackedit", "every-edit", struct.pack("<H", 0x0DFF) + bytes([3, 200, 20, 5, 40, 30, 12, 9, 140, 0, 0, 0])
    + bytes([140, 200]) + wander(300, 1))
put("trackedit", "simplify", struct.pack("<H", 0x0080) + bytes([0, 0, 0, 0, 0, 0, 20, 10, 0, 0, 0, 0])
    + bytes([60, 10]) + wander(600, 2))
put("trackedit", "start-join-name", struct.pack("<H", 0x0E10) + bytes([5, 9, 0, 0, 80, 0, 0, 0, 0, 0, 0, 0])
    + bytes([250, 5]) + wander(120, 3))

# FIT: the test encoder's cases (tests/fit/fitencode.py) but the largest,
# which is past the fuzzers' input size.
import sys  # noqa: E402
sys.path.insert(0, os.path.join(HERE, "..", "tests", "fit"))
import fitencode  # noqa: E402
for name, make in fitencode.CASES.items():
    if name != "huge-definition":
        put("fit_reader", name, make())
put("fit_reader", "cut", fitencode.case_basic()[:200])

# TCX: an activity with every value and two laps, a course, and damaged ones.
TCX_ROOT = ('<TrainingCenterDatabase xmlns="http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2"'
            ' xmlns:x="http://www.garmin.com/xmlschemas/ActivityExtension/v2">')
TCX_POINT = ("<Trackpoint><Time>2020-03-06T00:23:46.000Z</Time><Position><LatitudeDegrees>49.27"
             "</LatitudeDegrees><LongitudeDegrees>-123.1</LongitudeDegrees></Position>"
             "<AltitudeMeters>71.6</AltitudeMeters><DistanceMeters>7.98</DistanceMeters>"
             "<HeartRateBpm><Value>120</Value></HeartRateBpm><Cadence>63</Cadence><Extensions>"
             "<x:TPX><x:Speed>4.44</x:Speed><x:Watts>160</x:Watts><x:RunCadence>80</x:RunCadence>"
             "</x:TPX></Extensions></Trackpoint>\n")
put("tcx_reader", "activity",
    '<?xml version="1.0" encoding="UTF-8"?>\n' + TCX_ROOT + '<Activities><Activity Sport="Biking">'
    "<Id>2020-03-06T00:23:46Z</Id><Lap StartTime=\"2020-03-06T00:23:46Z\"><Track>" + TCX_POINT * 2
    + "</Track></Lap><Lap><Track>" + TCX_POINT + "<Trackpoint><Time>2020-03-06T00:24:00Z</Time>"
    "</Trackpoint></Track></Lap></Activity></Activities></TrainingCenterDatabase>\n")
put("tcx_reader", "course",
    TCX_ROOT + "<Courses><Course><Name>c</Name><Track>" + TCX_POINT
    + "</Track></Course></Courses></TrainingCenterDatabase>")
put("tcx_reader", "damaged",
    TCX_ROOT + "<Activities><Activity><Lap><Track>" + TCX_POINT.replace("71.6", "high")
    + TCX_POINT[:150])

# IGC: a dated log across midnight with valid and invalid fixes, an undated
# one, the long date header, and damaged B records.
IGC_FIXES = ("B2359584710500N00805000EA0123401300\n"
             "B0000024710600N00805100EV0123501310\n"
             "B0000064710700S00805200WA0123601320\n")
put("igc_reader", "midnight", "AXXX001 logger\nHFDTE150725\nHFPLTPILOT:someone\n" + IGC_FIXES
    + "LXXX a comment\nE000010PEV\n")
put("igc_reader", "long-date", "AXXX001\r\nHFDTEDATE:010199,01\r\n" + IGC_FIXES.replace("\n", "\r\n"))
put("igc_reader", "undated", "AXXX001\n" + IGC_FIXES)
put("igc_reader", "damaged", "AXXX001\nHFDTE320225\nB12345\nB1234564799999N18099999EA99999\n"
    + IGC_FIXES[:20])

# gzip: the first byte says whether the rest is packed by the target (odd)
# or is the gzip file itself (even).
import gzip  # noqa: E402
import io  # noqa: E402
import zipfile  # noqa: E402
GPX = ('<?xml version="1.0"?><gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1">'
       '<trk><trkseg><trkpt lat="46.9" lon="7.4"><ele>500</ele><time>2025-06-14T09:30:00Z</time>'
       '</trkpt><trkpt lat="46.91" lon="7.41"/></trkseg></trk></gpx>\n')
put("gzip_reader", "packed-gpx", b"\x01" + GPX.encode())
put("gzip_reader", "packed-igc", b"\x01" + ("AXXX001\nHFDTE150725\n" + IGC_FIXES).encode())
put("gzip_reader", "gpx-gz", b"\x00" + gzip.compress(GPX.encode(), mtime=0))
put("gzip_reader", "two-members", b"\x00" + gzip.compress(GPX[:90].encode(), mtime=0)
    + gzip.compress(GPX[90:].encode(), mtime=0))
put("gzip_reader", "cut", b"\x00" + gzip.compress(GPX.encode(), mtime=0)[:-6])


def zipped(members):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, body in members:
            info = zipfile.ZipInfo(name, date_time=(2025, 6, 14, 9, 30, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, body)
    return out.getvalue()


KML = ('<?xml version="1.0"?><kml xmlns="http://www.opengis.net/kml/2.2"><Placemark><name>t</name>'
       '<LineString><coordinates>7.4,46.9,500 7.41,46.91,510</coordinates></LineString></Placemark></kml>')
put("zip_reader", "kmz", zipped([("doc.kml", KML), ("files/photo.jpg", b"\xff\xd8\xff")]))
put("zip_reader", "gpx", zipped([("ride.gpx", GPX)]))
put("zip_reader", "two-tracks", zipped([("a.gpx", GPX), ("b.gpx", GPX)]))
