#!/usr/bin/env python3
"""Times `lum check` against libxml2's streaming reader over the same content.

    compare_xmllint.py --lum build/cli/lum --to-xml build/bench/lum_to_xml \\
        --model DIR/model.mdl [--pathmap DIR/model.map] [--rounds 5] [--xml-dir DIR] \\
        [--baseline OLD/lum] [--touch build/bench/lum_touch_memory] [--export]

The model's files are written as XML by lum_to_xml (into --xml-dir, or a
scratch folder), then, round after round in the same run, `lum check` (one
thread per core), `lum check --threads 1`, the same with a --baseline build
of lum (the before of a change), and `xmllint --stream --noout` over every
XML file are run, each alone. With --touch, lum_touch_memory then takes and
touches as much fresh memory as `lum check` peaked at, the floor of a run
that needs that memory. Prints the median wall time and the peak resident
memory of each, and lum's time as a share of xmllint's. With --export, the
rounds also run `lum export --compact` (with the baseline's too, and with
--threads 1) into a scratch file, and its time is given as a multiple of
`lum check`'s.
"""
import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run(command):
    """Wall seconds and peak resident KB of one run of `command`."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) not in (0, 1):
        sys.exit(f"failed: {' '.join(command)}")
    return elapsed, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--lum", required=True)
    parser.add_argument("--to-xml", required=True)
    parser.add_argument("--model", required=True)
    parser.add_argument("--pathmap")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--xml-dir")
    parser.add_argument("--baseline")
    parser.add_argument("--touch")
    parser.add_argument("--export", action="store_true")
    args = parser.parse_args()

    model = pathlib.Path(args.model)
    scratch = None
    xml_dir = args.xml_dir
    if xml_dir is None:
        scratch = tempfile.TemporaryDirectory(prefix="lum-xml-")
        xml_dir = scratch.name
    if not any(pathlib.Path(xml_dir).rglob("*.xml")):
        subprocess.run([args.to_xml, str(model.parent), xml_dir], check=True, stdout=subprocess.DEVNULL)
    xml_files = sorted(str(p) for p in pathlib.Path(xml_dir).rglob("*.xml"))
    model_bytes = sum(p.stat().st_size for p in model.parent.rglob("*") if p.suffix.lower() in (".mdl", ".cat", ".sub"))
    xml_bytes = sum(os.path.getsize(f) for f in xml_files)

    check = [args.lum, "check", str(model)] + (["--pathmap", args.pathmap] if args.pathmap else [])
    commands = {
        "lum check": check,
        "lum check --threads 1": check + ["--threads", "1"],
    }
    if args.baseline:
        commands["baseline check"] = [args.baseline] + check[1:]
    commands["xmllint --stream"] = ["xmllint", "--stream", "--noout"] + xml_files
    if args.export:
        scratch = tempfile.mkdtemp(prefix="lum-export-")
        export = ["export", "--compact", "-o", os.path.join(scratch, "model.json")] + check[2:]
        commands["lum export --compact"] = [args.lum] + export
        commands["lum export --threads 1"] = [args.lum] + export + ["--threads", "1"]
        if args.baseline:
            commands["baseline export"] = [args.baseline] + export
    results = {name: [] for name in commands}
    # The order turns from round to round: a run that follows one which
    # freed much memory finds it warm, and no command should always be first.
    names = list(commands)
    for number in range(args.rounds):
        turn = number % len(names)
        for name in names[turn:] + names[:turn]:
            results[name].append(run(commands[name]))
    if args.touch:
        megabytes = max(m for _, m in results["lum check"]) // 1024
        results[f"touching {megabytes} MB"] = [run([args.touch, str(megabytes)]) for _ in range(args.rounds)]

    print(f"model: {model_bytes / 1e6:.1f} MB in {len(xml_files)} files; as XML {xml_bytes / 1e6:.1f} MB; "
          f"{args.rounds} rounds")
    median = {}
    for name, runs in results.items():
        median[name] = statistics.median(t for t, _ in runs)
        peak = max(m for _, m in runs) * 1024
        print(f"{name:24} {median[name]:6.2f} s  (min {min(t for t, _ in runs):.2f})  "
              f"peak {peak / 1e6:6.0f} MB = {peak / model_bytes:.2f} x input")
    print(f"lum check / xmllint --stream: {median['lum check'] / median['xmllint --stream']:.2f}")
    if args.export:
        print(f"lum export --compact / lum check: {median['lum export --compact'] / median['lum check']:.2f}")
        shutil.rmtree(scratch)


if __name__ == "__main__":
    main()
