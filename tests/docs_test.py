#!/usr/bin/env python3
"""Checks the documents: every relative link in a Markdown file reaches a file
that exists (and, with a "#", a heading there), and every picture in
docs/images is a PNG of a size a screen shows.

    docs_test.py REPOSITORY
"""

import os
import re
import struct
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
SMALLEST, LARGEST = 100, 2000  # pixels a side


def anchors(path):
    """The anchors GitHub makes of a file's headings."""
    found = set()
    for line in open(path, encoding="utf-8"):
        if line.startswith("#"):
            title = line.lstrip("#").strip().lower()
            found.add(re.sub(r"[^\w\- ]", "", title).replace(" ", "-"))
    return found


def check_links(repo):
    problems = []
    for folder, _, files in os.walk(repo):
        if any(part in folder for part in ("/build", "/.git", "/dist")):
            continue
        for name in files:
            if not name.endswith(".md"):
                continue
            source = os.path.join(folder, name)
            for target in LINK.findall(open(source, encoding="utf-8").read()):
                if re.match(r"[a-z]+:", target):
                    continue
                path, _, anchor = target.partition("#")
                reached = os.path.normpath(os.path.join(folder, path)) if path else source
                if not os.path.exists(reached):
                    problems.append("%s links to %s, which does not exist" % (source, target))
                elif anchor and reached.endswith(".md") and anchor not in anchors(reached):
                    problems.append("%s links to %s, which has no such heading" % (source, target))
    return problems


def check_pictures(repo):
    problems = []
    images = os.path.join(repo, "docs", "images")
    for name in sorted(os.listdir(images)):
        data = open(os.path.join(images, name), "rb").read()
        if not name.endswith(".png") or data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
            problems.append("%s is no PNG picture" % name)
            continue
        width, height = struct.unpack(">II", data[16:24])
        if not (SMALLEST <= width <= LARGEST and 40 <= height <= LARGEST):
            problems.append("%s is %dx%d pixels, no screenshot" % (name, width, height))
    return problems


if __name__ == "__main__":
    found = check_links(sys.argv[1]) + check_pictures(sys.argv[1])
    for problem in found:
        print("FAILED: " + problem)
    print("%d problems" % len(found))
    sys.exit(1 if found else 0)
