#!/usr/bin/env python3
"""Renders every diagram of a model with the lum tool and checks each SVG:
it parses as XML, its root is an SVG 1.1 document, and it holds one group
per view (as `lum render --list` counts them), quids at most once each.

  check_svg.py LUM MODEL [--pathmap MAP] [--genmodel GENERATOR]
With --genmodel the model is generated first (--size 2) into a scratch
directory and MODEL is ignored."""
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"


def main(lum, model, option=None, value=None):
    with tempfile.TemporaryDirectory() as scratch:
        loading = [model] + (["--pathmap", value] if option == "--pathmap" else [])
        if option == "--genmodel":
            subprocess.run([value, "--size", "2", "--out", scratch + "/model"], check=True, capture_output=True)
            loading = [scratch + "/model/model.mdl", "--pathmap", scratch + "/model/model.map"]
        listed = subprocess.run([lum, "render", *loading, "--list"], capture_output=True, text=True)
        views = [int(line.split()[1]) for line in listed.stdout.splitlines()]
        written = subprocess.run([lum, "render", *loading, "-o", scratch + "/svg"], capture_output=True, text=True)
        files = written.stdout.splitlines()
        failures = [] if len(files) == len(views) and files else [f"{len(files)} files for {len(views)} diagrams"]
        for path, count in zip(files, views):
            root = ET.parse(path).getroot()
            groups = root.findall(f"{SVG}g")
            quids = [g.get("data-quid") for g in groups if g.get("data-quid")]
            if root.tag != f"{SVG}svg" or root.get("version") != "1.1":
                failures.append(f"{path}: not an SVG 1.1 document")
            if len(groups) != count:
                failures.append(f"{path}: {len(groups)} groups for {count} views")
            if len(quids) != len(set(quids)):
                failures.append(f"{path}: a quid appears twice")
        print("\n".join(failures + [f"{len(files)} diagrams checked, {len(failures)} failures"]))
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
