#!/usr/bin/env python3
"""Runs every command of the lum tool on one real model and checks what it
writes: outline and export parse as JSON, every rendered diagram parses as an
SVG 1.1 document with one group per view, every link of the site resolves,
the model written back (with relative unit paths) reads back as the same
graph, written back as it is every file is the bytes it was read from and
with its path symbols re-pointed only the lines naming them change, and the model compared with itself has no difference. No command may
end on a signal, exit worse than `check` does, or print a diagnostic worse
than the worst `check` reports. Prints the time the commands took.

  check_realworld.py LUM ROOT ENTRY
  check_realworld.py LUM ROOT --plantuml PLANTUML ENTRY...
ENTRY is a line of models.txt: MODEL or MODEL|MAP, relative to ROOT; the
commands run in the map's folder, since its paths are relative to it. With
--plantuml the PlantUML files of every model are checked by one run of
PlantUML, whose start takes longer than the check. Exits 77 (skipped) when
ROOT is absent."""
import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "publish"))
from check_site import check_links  # noqa: E402

SEVERITIES = ["Information", "Warning", "Error", "FatalError", "InternalError"]


class Runner:
    """Runs the tool on one model; `check` first, whose exit status and worst
    diagnostic bound those of the other commands."""

    def __init__(self, lum, root, entry):
        model, _, pathmap = entry.partition("|")
        self.cwd = root / pathlib.Path(pathmap).parent if pathmap else root
        self.loading = [os.path.relpath(root / model, self.cwd)] + (["--pathmap", os.path.basename(pathmap)] * bool(pathmap))
        self.lum, self.seconds, self.failures, self.status, self.worst = lum, 0.0, [], 2, len(SEVERITIES)
        report = json.loads(self.run("check", "--format", "json").stdout)
        self.status = report["status"]
        self.worst = max([SEVERITIES.index(d["severity"]) for d in report["diagnostics"]], default=0)

    def run(self, command, *args, model=None):
        start = time.monotonic()
        done = subprocess.run([self.lum, command, *(self.loading if model is None else model), *args], cwd=self.cwd,
                              capture_output=True, text=True)
        self.seconds += time.monotonic() - start
        # A line without a severity (a message of the tool, a sanitizer's report) is worse than any.
        worse = [line for line in done.stderr.splitlines()
                 if SEVERITIES.index((re.findall(f": ({'|'.join(SEVERITIES)}): ", line) + ["InternalError"])[0]) > self.worst]
        self.failures += [f"{command}: {problem}" for problem in
                          [f"exit status {done.returncode}"] * (not 0 <= done.returncode <= self.status) + worse]
        return done


def comparable(value, key=None):
    """The export without where its files lie: the file list, the diagnostics
    (naming the files) and the folders of file names."""
    if isinstance(value, dict):
        return {k: comparable(v, k) for k, v in value.items() if k not in ("files", "diagnostics")}
    if isinstance(value, list):
        return [comparable(v) for v in value]
    return re.split(r"[\\/]", value)[-1] if key in ("fileName", "file_name") else value


def check(runner, scratch):
    json.loads(runner.run("outline", "--format", "json").stdout)
    exported = json.loads(runner.run("export").stdout)
    views = [int(line.split()[1]) for line in runner.run("render", "--list").stdout.splitlines()]
    svgs = runner.run("render", "-o", str(scratch / "svg")).stdout.splitlines()
    if len(svgs) != len(views):
        runner.failures.append(f"render: {len(svgs)} files for {len(views)} diagrams")
    for path, count in zip(svgs, views):
        try:
            svg = ET.parse(path).getroot()
            if svg.get("version") != "1.1" or len(svg.findall("{http://www.w3.org/2000/svg}g")) != count:
                runner.failures.append(f"render: {path}: not an SVG 1.1 document with {count} groups")
        except ET.ParseError as error:
            runner.failures.append(f"render: {path}: {error}")
    runner.run("plantuml", "-o", str(scratch / "puml"))
    runner.run("site", "-o", str(scratch / "site"))
    runner.failures += [f"site: {problem}" for problem in check_links(scratch / "site")[1]]
    # The main file is written first; its units get paths relative to it, so it reads back without a map.
    written = re.match(r"wrote (.*) \(\d+ bytes\)", runner.run("write", "--relative", "-o", str(scratch / "w")).stdout)
    if comparable(json.loads(runner.run("export", model=written.groups()).stdout) if written else {}) != comparable(exported):
        runner.failures.append("write: the model read back differs from the model written")
    check_kept(runner, scratch)
    same = runner.run("diff", runner.loading[0], *runner.loading, model=[])
    if same.stdout or same.returncode != 0:
        runner.failures.append(f"diff with itself: status {same.returncode}: {same.stdout[:200]}")
    return runner.failures


def written_files(runner, out, *options):
    """Writes the model into `out`: each file written, with the file it was read from."""
    report = runner.run("write", "-o", str(out), *options).stdout
    moved = {os.path.basename(source): runner.cwd / source
             for source in re.findall(r"^unit '.*' from (.*) is written next to the main file$", report, re.M)}
    main_dir = (runner.cwd / runner.loading[0]).parent
    for target in re.findall(r"^wrote (.*) \(\d+ bytes\)$", report, re.M):
        relative = os.path.relpath(target, out)
        yield relative, pathlib.Path(target).read_bytes(), pathlib.Path(moved.get(relative, main_dir / relative)).read_bytes()


def check_kept(runner, scratch):
    """Written back unchanged, every file is the bytes it was read from; each
    path symbol re-pointed changes only the lines that name it."""
    runner.failures += [f"write: {name} is not the bytes it was read from"
                        for name, written, read in written_files(runner, scratch / "same") if written != read]
    if "--pathmap" not in runner.loading:
        return
    symbols = [line.split("=")[0] for line in (runner.cwd / runner.loading[-1]).read_text().splitlines() if "=" in line]
    relocations = sum([["--relocate", f"{symbol}=$MOVED_{symbol}"] for symbol in symbols], [])
    for name, written, read in written_files(runner, scratch / "moved", *relocations):
        changed = [old for old, new in zip(read.splitlines(), written.splitlines()) if old != new]
        named = [line for line in changed if any(f"${symbol}".lower().encode() in line.lower() for symbol in symbols)]
        if len(changed) != len(named) or len(read.splitlines()) != len(written.splitlines()):
            runner.failures.append(f"write --relocate: {name}: {len(changed) - len(named)} lines changed that name no symbol")


def check_plantuml(lum, plantuml, root, entries, scratch):
    """The failures of `lum plantuml` on each model, and the files PlantUML refuses."""
    runners = [Runner(lum, root, entry) for entry in entries]
    files = [r.run("plantuml", "-o", str(scratch / str(i))).stdout.splitlines() for i, r in enumerate(runners)]
    def refused(paths):  # halves the files PlantUML refuses until it names each
        if not paths or not subprocess.run([plantuml, "-checkonly", *paths], capture_output=True).returncode:
            return []
        return paths if len(paths) == 1 else refused(paths[:len(paths) // 2]) + refused(paths[len(paths) // 2:])
    return [f"{entry}: {failure}" for entry, runner in zip(entries, runners) for failure in runner.failures] + \
        [f"PlantUML refuses {path}" for path in refused(sum(files, []))]


def main(lum, root, *entries):
    lum, root, start = os.path.abspath(lum), pathlib.Path(root).resolve(), time.monotonic()
    if not root.is_dir():
        print(f"skipped: {root} is absent")
        return 77
    with tempfile.TemporaryDirectory() as scratch:
        if entries[0] == "--plantuml":
            failures = check_plantuml(lum, entries[1], root, entries[2:], pathlib.Path(scratch))
            summary = f"{len(entries) - 2} models"
        else:
            runner = Runner(lum, root, entries[0])
            failures = check(runner, pathlib.Path(scratch))
            summary = f"{entries[0].partition('|')[0]}: the commands took {runner.seconds:.2f} s"
    print("\n".join(failures + [f"{summary} ({time.monotonic() - start:.2f} s in all), {len(failures)} failure(s)"]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
