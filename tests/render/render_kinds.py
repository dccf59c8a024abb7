#!/usr/bin/env python3
"""render_kinds.py LUM CHROMIUM MODEL [IMAGES]: pictures, in headless Chromium, the
SVG the tool draws of each kind of diagram in MODEL (a tier diagram's is "other";
each kind there once, each picture at its SVG's size); kept in IMAGES when given.
Exits 77 (skipped) without CHROMIUM."""
import math
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

KINDS = ["class", "useCase", "state", "activity", "sequence", "collaboration", "component", "deployment", "other"]
NAMES = {"useCase": "use-case", "other": "tier"}  # picture names where they differ from the kind


def main(lum, chromium, model, images=None):
    if shutil.which(chromium) is None:
        return 77
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        kinds = {}
        written = subprocess.run([lum, "render", model, "-o", scratch], capture_output=True, text=True).stdout
        for path in map(pathlib.Path, written.splitlines()):
            root = ET.parse(path).getroot()
            kinds.setdefault(root.get("data-kind"), []).append((path, root))
        for kind in KINDS:
            if len(kinds.get(kind, [])) != 1:
                failures.append(f"{len(kinds.get(kind, []))} {kind} diagrams, expected 1")
                continue
            path, root = kinds[kind][0]
            size = tuple(math.ceil(float(root.get(side))) for side in ("width", "height"))
            picture = pathlib.Path(scratch) / f"diagram-{NAMES.get(kind, kind)}.png"
            subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                            "--window-size=%d,%d" % size, f"--screenshot={picture}", path.resolve().as_uri()],
                           capture_output=True, timeout=120)
            header = picture.read_bytes()[:24] if picture.exists() else b""
            if header[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", header[16:24]) != size:
                failures.append(f"{kind}: no picture of {size[0]}x{size[1]}")
            elif images:
                shutil.copy(picture, pathlib.Path(images) / picture.name)
    print("\n".join(failures + [f"{len(KINDS)} kinds pictured, {len(failures)} failures"]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
