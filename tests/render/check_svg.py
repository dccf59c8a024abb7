#!/usr/bin/env python3
"""Renders every diagram of a model with the lum tool and checks each SVG:
it parses as XML, its root is an SVG 1.1 document, and it holds one group
per view (as `lum render --list` counts them), quids at most once each.

  check_svg.py LUM MODEL [--pathmap MAP] [--genmodel GENERATOR]
With --genmodel the model is generated first (--size 2) into a scratch
directory and MODEL is ignored."""
import argparse
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lum")
    parser.add_argument("model")
    parser.add_argument("--pathmap")
    parser.add_argument("--genmodel")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        model, pathmap = args.model, args.pathmap
        if args.genmodel:
            subprocess.run([args.genmodel, "--size", "2", "--out", scratch + "/model"], check=True, capture_output=True)
            model, pathmap = scratch + "/model/model.mdl", scratch + "/model/model.map"
        loading = [model] + (["--pathmap", pathmap] if pathmap else [])
        listed = subprocess.run([args.lum, "render", *loading, "--list"], capture_output=True, text=True)
        views = [int(line.split()[1]) for line in listed.stdout.splitlines()]
        written = subprocess.run([args.lum, "render", *loading, "-o", scratch + "/svg"], capture_output=True, text=True)
        files = written.stdout.splitlines()
        failures = []
        if len(files) != len(views) or not files:
            failures.append(f"{len(files)} files written for {len(views)} diagrams listed")
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
        for failure in failures:
            print(failure)
        print(f"{len(files)} diagrams checked, {len(failures)} failures")
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
