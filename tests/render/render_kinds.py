#!/usr/bin/env python3
"""Renders the sample holding one diagram of each kind with the lum tool and
takes a picture of every SVG in headless Chromium: each kind is there once,
and each picture comes out at the size its SVG declares.

  render_kinds.py LUM CHROMIUM MODEL [--images DIR]
With --images the pictures are kept as DIR/diagram-<kind>.png (use-case for
useCase; the ones the documentation shows). Exits 77 (skipped) when CHROMIUM is not there."""
import argparse
import math
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

KINDS = ["class", "useCase", "state", "activity", "sequence", "collaboration", "component", "deployment"]


def png_size(path):
    data = path.read_bytes()[:24]
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", data[16:24])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lum")
    parser.add_argument("chromium")
    parser.add_argument("model")
    parser.add_argument("--images")
    args = parser.parse_args()
    if shutil.which(args.chromium) is None:
        print("chromium not found: skipped")
        return 77
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        written = subprocess.run([args.lum, "render", args.model, "-o", scratch], capture_output=True, text=True)
        files = [pathlib.Path(line) for line in written.stdout.splitlines()]
        kinds = {}
        for path in files:
            root = ET.parse(path).getroot()
            kinds.setdefault(root.get("data-kind"), []).append((path, root))
        for kind in KINDS:
            if len(kinds.get(kind, [])) != 1:
                failures.append(f"{len(kinds.get(kind, []))} {kind} diagrams, expected 1")
                continue
            path, root = kinds[kind][0]
            width, height = (math.ceil(float(root.get(side))) for side in ("width", "height"))
            stem = "diagram-" + "".join("-" + c.lower() if c.isupper() else c for c in kind)
            picture = pathlib.Path(scratch) / f"{stem}.png"
            subprocess.run([args.chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                            f"--window-size={width},{height}", f"--screenshot={picture}", path.resolve().as_uri()],
                           capture_output=True, timeout=120)
            if not picture.exists() or png_size(picture) != (width, height):
                failures.append(f"{kind}: no picture of {width}x{height}")
            elif args.images:
                shutil.copy(picture, pathlib.Path(args.images) / picture.name)
    print("\n".join(failures + [f"{len(KINDS)} kinds pictured, {len(failures)} failures"]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
