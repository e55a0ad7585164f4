#!/usr/bin/python3
"""Checks a report page with parsers of its own: it must parse as HTML5
(html5lib) without a single parse error, each inline SVG picture must be
well-formed XML, and the page must load nothing from anywhere else.

Usage: page_check.py PAGE

Prints what it found as one JSON line: the number of sections and pictures,
the most vertices of any line, and the page's size. Exit status 0 when the
checks pass, 1 when they fail, 77 when html5lib is not installed.
"""
import json
import re
import sys
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        import html5lib
    except ImportError:
        print("html5lib is not installed (Debian python3-html5lib)")
        return 77
    with open(sys.argv[1], "rb") as page:
        data = page.read()
    failures = []
    parser = html5lib.HTMLParser(strict=False, namespaceHTMLElements=False)
    document = parser.parse(data)
    for position, error, values in parser.errors:
        failures.append("HTML5 parse error at %s: %s %s" % (position, error, values or ""))
    if document.get("lang") is None:
        failures.append("no lang on <html>")
    if document.find("head/title") is None or not document.find("head/title").text:
        failures.append("no <title>")
    # Nothing that would load from elsewhere: no script, no link, no image,
    # no url() in a style.
    for tag in ("script", "link", "img", "iframe", "object", "embed"):
        if any(True for _ in document.iter(tag)):
            failures.append("<%s> in the page" % tag)
    text = data.decode("utf-8")
    if re.search(r"url\(|@import|https?://(?!www\.w3\.org/2000/svg\")", text):
        failures.append("a reference to another resource")

    pictures = re.findall(r"<svg\b.*?</svg>", text, re.S)
    most_vertices = 0
    for number, picture in enumerate(pictures, 1):
        try:
            svg = ElementTree.fromstring(picture)
        except ElementTree.ParseError as error:
            failures.append("picture %d is not well-formed XML: %s" % (number, error))
            continue
        if svg.get("role") != "img":
            failures.append("picture %d has no role=img" % number)
        labels = (svg.get("aria-labelledby") or "").split()
        titles = [svg.find(SVG + kind) for kind in ("title", "desc")]
        if any(t is None or not (t.text or "").strip() for t in titles):
            failures.append("picture %d lacks a title or a description" % number)
        elif [t.get("id") for t in titles] != labels:
            failures.append("picture %d is not labelled by its title and description" % number)
        for line in svg.iter(SVG + "polyline"):
            most_vertices = max(most_vertices, len(line.get("points").split()))
    found = {
        "sections": len(re.findall(r"<section\b", text)),
        "pictures": len(pictures),
        "most_vertices": most_vertices,
        "bytes": len(data),
    }
    print(json.dumps(found))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
