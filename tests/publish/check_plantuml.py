#!/usr/bin/env python3
"""Writes the PlantUML files of a model with the lum tool and has PlantUML
check every one (plantuml -checkonly); names the files it refuses.

  check_plantuml.py LUM PLANTUML MODEL [--pathmap MAP]
  check_plantuml.py LUM PLANTUML --genmodel GENERATOR --size MB
With --genmodel the model is generated first into a scratch directory."""
import argparse
import pathlib
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lum")
    parser.add_argument("plantuml")
    parser.add_argument("model", nargs="?")
    parser.add_argument("--pathmap")
    parser.add_argument("--genmodel")
    parser.add_argument("--size", default="10")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        loading = [args.model] + (["--pathmap", args.pathmap] if args.pathmap else [])
        if args.genmodel:
            subprocess.run([args.genmodel, "--size", args.size, "--out", scratch + "/model"], check=True,
                           capture_output=True)
            loading = [scratch + "/model/model.mdl", "--pathmap", scratch + "/model/model.map"]
        written = subprocess.run([args.lum, "plantuml", *loading, "-o", scratch + "/puml"], capture_output=True,
                                 text=True)
        files = written.stdout.splitlines()
        refused = []
        for start in range(0, len(files), 500):
            batch = files[start:start + 500]
            if subprocess.run([args.plantuml, "-checkonly", *batch], capture_output=True).returncode != 0:
                refused += [f for f in batch if subprocess.run([args.plantuml, "-checkonly", f],
                                                               capture_output=True).returncode != 0]
    for path in refused:
        print("refused:", pathlib.Path(path).name)
    print(f"plantuml: {len(files)} files, {len(refused)} refused")
    return 1 if refused or not files or written.returncode not in (0, 1) else 0


if __name__ == "__main__":
    sys.exit(main())
