#!/usr/bin/python3
"""Loads a page in headless Chromium through its DevTools pipe and checks it
as a person would see it: no error on the console, a page that is not blank,
and the track's colour inside the plan view of each file.

Usage: browser_check.py PAGE [--sections N] [--expect-console-error]
                        [--screenshot OUT.png]

Prints what it found as one JSON line. Exit status 0 when the checks pass,
1 when they fail, 77 when Chromium is not installed.
"""
import base64
import fcntl
import json
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

CHROMIUM = "/usr/bin/chromium"
TRACK_COLOUR = (0x00, 0x72, 0xB2)
TIME_LIMIT = float(os.environ.get("BROWSER_TIME_LIMIT", "60"))


def decode_png(data):
    """The RGB(A) pixels of an 8-bit, non-interlaced PNG as rows of bytes."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG kind"
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                line[i] = (line[i] + line[i - channels]) & 0xFF
        elif kind == 2:
            line = bytearray((a + b) & 0xFF for a, b in zip(line, previous))
        elif kind == 3:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                line[i] = (line[i] + (left + previous[i]) // 2) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = line[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        rows.append(line)
        previous = line
    return width, height, channels, rows


def pixels(png):
    width, height, channels, rows = decode_png(png)
    for row in rows:
        for x in range(width):
            yield tuple(row[x * channels:x * channels + 3])


class Browser:
    """Chromium driven over --remote-debugging-pipe: messages of JSON, each
    ended by a zero byte, written to its fd 3 and read from its fd 4."""

    def __init__(self, profile):
        to_child_r, self.to_child = os.pipe()
        self.from_child, from_child_w = os.pipe()

        def arrange():
            # Through numbers above 4 first, so that neither end is overwritten.
            high_r = fcntl.fcntl(to_child_r, fcntl.F_DUPFD, 10)
            high_w = fcntl.fcntl(from_child_w, fcntl.F_DUPFD, 10)
            os.dup2(high_r, 3)
            os.dup2(high_w, 4)

        self.process = subprocess.Popen(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--user-data-dir=" + profile, "--remote-debugging-pipe",
             "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=arrange, pass_fds=(3, 4))
        os.close(to_child_r)
        os.close(from_child_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.send("Browser.close")
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def receive(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.from_child], [], [], left)[0]:
                raise TimeoutError("no answer from Chromium")
            chunk = os.read(self.from_child, 1 << 20)
            if not chunk:
                raise EOFError("Chromium closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.to_child, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + TIME_LIMIT
        while True:
            answer = self.receive(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(method + ": " + json.dumps(answer["error"]))
                return answer.get("result", {})
            self.events.append(answer)

    def wait_for(self, method):
        deadline = time.monotonic() + TIME_LIMIT
        while not any(e.get("method") == method for e in self.events):
            self.events.append(self.receive(deadline))


def console_errors(events):
    errors = []
    for event in events:
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            errors.append(json.dumps(params.get("args")))
        elif method == "Runtime.exceptionThrown":
            errors.append(json.dumps(params.get("exceptionDetails", {}).get("text")))
        elif method == "Log.entryAdded" and params.get("entry", {}).get("level") == "error":
            errors.append(params["entry"].get("text", ""))
    return errors


def check(page, sections, screenshot):
    profile = tempfile.mkdtemp(prefix="trackinfo-chromium-")
    browser = Browser(profile)
    try:
        target = next(t for t in browser.send("Target.getTargets")["targetInfos"]
                      if t["type"] == "page")
        session = browser.send("Target.attachToTarget", targetId=target["targetId"],
                               flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            browser.send(domain + ".enable", session)
        browser.send("Emulation.setDeviceMetricsOverride", session, width=1000, height=900,
                     deviceScaleFactor=1, mobile=False)
        browser.send("Page.navigate", session, url="file://" + os.path.abspath(page))
        browser.wait_for("Page.loadEventFired")
        # A moment for late messages, then one round trip to collect them.
        time.sleep(0.3)
        browser.send("Runtime.evaluate", session, expression="1")
        found = {"console_errors": console_errors(browser.events), "plans": []}

        def capture(clip, scale=1.0):
            clip = dict(clip, scale=scale)
            shot = browser.send("Page.captureScreenshot", session, format="png", clip=clip,
                                captureBeyondViewport=True)
            return base64.b64decode(shot["data"])

        size = browser.send("Runtime.evaluate", session, returnByValue=True, expression=(
            "[document.documentElement.scrollWidth, document.documentElement.scrollHeight]"
        ))["result"]["value"]
        whole = capture({"x": 0, "y": 0, "width": size[0], "height": size[1]}, 0.25)
        if screenshot:
            with open(screenshot, "wb") as out:
                out.write(capture({"x": 0, "y": 0, "width": size[0],
                                   "height": min(size[1], 2400)}))
        colours, ink, count = set(), 0, 0
        for rgb in pixels(whole):
            colours.add(rgb)
            ink += rgb != (255, 255, 255)
            count += 1
        found["distinct_colours"] = len(colours)
        found["ink_fraction"] = ink / count
        for section in range(1, sections + 1):
            rect = browser.send("Runtime.evaluate", session, returnByValue=True, expression=(
                "(() => { const t = document.getElementById('f%d-plan-title');"
                " if (!t) return null; const r = t.parentNode.getBoundingClientRect();"
                " return {x: r.x + scrollX, y: r.y + scrollY, width: r.width,"
                " height: r.height}; })()" % section))["result"].get("value")
            if rect is None:
                found["plans"].append(None)
                continue
            track = sum(1 for rgb in pixels(capture(rect))
                        if all(abs(a - b) <= 16 for a, b in zip(rgb, TRACK_COLOUR)))
            found["plans"].append(track)
        return found
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    page, sections, expect_error, screenshot = args[0], 1, False, None
    rest = args[1:]
    while rest:
        option = rest.pop(0)
        if option == "--sections":
            sections = int(rest.pop(0))
        elif option == "--expect-console-error":
            expect_error = True
        elif option == "--screenshot":
            screenshot = rest.pop(0)
        else:
            print("unknown option " + option, file=sys.stderr)
            return 2
    if not os.access(CHROMIUM, os.X_OK):
        print("Chromium is not installed (Debian chromium)")
        return 77
    found = check(page, sections, screenshot)
    print(json.dumps(found))
    failures = []
    if expect_error != bool(found["console_errors"]):
        failures.append("console errors: %s" % found["console_errors"])
    if found["distinct_colours"] < 8 or found["ink_fraction"] < 0.01:
        failures.append("the page looks blank")
    for section, track in enumerate(found["plans"], 1):
        if track is None:
            failures.append("section %d has no plan view" % section)
        elif track < 20:
            failures.append("section %d: the track's colour is not in the plan view" % section)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
