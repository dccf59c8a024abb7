#!/usr/bin/env python3
"""Counts the lines of hand-written code and of tests and prints their ratio.

    tools/test_ratio.py [--root DIR] [--files]

A counted line is one that holds something besides blanks and comments
(// and /* */ in C++, # in Python, shell and CMake scripts).

Code: include/, src/, cli/ and python/ (where present), less what
tools/generate_catalogue.py and tools/generate_font_widths.py generate (they
are asked for their outputs) and the Python module's tests. Tests: everything in tests/ and python/tests/,
and in fuzz/ the targets and their support code
(C++), not the corpora, dictionaries, regression inputs or the script that
runs the fuzzers. Build files (CMakeLists.txt) count on neither side.

A report: it always exits 0 when it can count. --files lists every file
with its count.
"""

import argparse
import os
import sys

CODE_DIRS = ["include", "src", "cli", "python"]
TEST_DIRS = ["tests", "python/tests", "fuzz"]
PYTHON_TESTS = os.path.join("python", "tests")
C_LIKE = {".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp", ".inl"}
HASH_COMMENTS = {".py", ".sh", ".cmake"}
FUZZ_DATA = {"corpus", "dict", "regressions"}


def count_c_like(text):
    """Lines with code outside comments; string and character literals are code."""
    counted = 0
    in_block = False
    raw_end = None  # the closing sequence of a raw string running over lines
    for line in text.splitlines():
        has_code = False
        i, n = 0, len(line)
        while i < n:
            if raw_end is not None:
                has_code = True
                end = line.find(raw_end, i)
                if end < 0:
                    i = n
                    continue
                i = end + len(raw_end)
                raw_end = None
                continue
            if in_block:
                end = line.find("*/", i)
                if end < 0:
                    i = n
                    continue
                in_block = False
                i = end + 2
                continue
            c = line[i]
            if c in " \t\r\f\v":
                i += 1
            elif line.startswith("//", i):
                break
            elif line.startswith("/*", i):
                in_block = True
                i += 2
            elif line.startswith('R"', i) and (i == 0 or not (line[i - 1].isalnum() or line[i - 1] == "_")
                                               or line[i - 1] in "LuU8"):
                has_code = True
                open_paren = line.find("(", i + 2)
                delimiter = line[i + 2:open_paren] if open_paren >= 0 else ""
                raw_end = ")" + delimiter + '"'
                i = open_paren + 1 if open_paren >= 0 else n
            elif c in "\"'":
                has_code = True
                i += 1
                while i < n and line[i] != c:
                    i += 2 if line[i] == "\\" else 1
                i += 1
            else:
                has_code = True
                i += 1
        counted += has_code
    return counted


def count_hash(text):
    return sum(1 for line in text.splitlines() if line.strip() and not line.strip().startswith("#"))


def count_file(path):
    ext = os.path.splitext(path)[1]
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    if ext in C_LIKE:
        return count_c_like(text)
    if ext in HASH_COMMENTS:
        return count_hash(text)
    return None


def generated_files(root):
    """The files the generators write, relative to root, and the catalogue's folders."""
    sys.path.insert(0, os.path.join(root, "tools"))
    try:
        import generate_catalogue as gen
        import generate_font_widths
    finally:
        sys.path.pop(0)
    classes = gen.read_catalogue(os.path.join(root, gen.CATALOGUE))
    files = set(os.path.normpath(p) for p in gen.outputs(classes, gen.check(classes)))
    files.add(os.path.normpath(generate_font_widths.OUTPUT))
    return files, [os.path.normpath(d) for d in gen.generated_dirs()]


def walk(root, top, skip):
    base = os.path.join(root, top)
    for folder, dirs, names in os.walk(base):
        dirs.sort()
        relative_folder = os.path.relpath(folder, root)
        dirs[:] = [d for d in dirs if not skip(os.path.join(relative_folder, d), d)]
        for name in sorted(names):
            yield os.path.normpath(os.path.join(relative_folder, name))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--files", action="store_true", help="list every counted file")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    generated, generated_dirs = generated_files(root)

    def skip_code(relative, name):
        return relative in generated_dirs or relative == PYTHON_TESTS

    def skip_tests(relative, name):
        return relative.split(os.sep)[0] == "fuzz" and name in FUZZ_DATA

    def counted_test(relative):
        return relative.split(os.sep)[0] != "fuzz" or os.path.splitext(relative)[1] in C_LIKE

    totals = {}
    per_file = []
    for side, tops, skip in (("code", CODE_DIRS, skip_code), ("tests", TEST_DIRS, skip_tests)):
        total = 0
        for top in tops:
            if not os.path.isdir(os.path.join(root, top)):
                continue
            for relative in walk(root, top, skip):
                if relative in generated or (side == "tests" and not counted_test(relative)):
                    continue
                lines = count_file(os.path.join(root, relative))
                if lines is None:
                    continue
                total += lines
                per_file.append((side, relative, lines))
        totals[side] = total

    if args.files:
        for side, relative, lines in per_file:
            print("%-5s %6d  %s" % (side, lines, relative))
    code, tests = totals["code"], totals["tests"]
    print("code:  %6d lines (include/ src/ cli/ python/, generated files left out)" % code)
    print("tests: %6d lines (tests/, python/tests/, fuzz targets and support code)" % tests)
    print("ratio: %.3f tests per line of code (the measure: 0.25 to 0.35)" % (tests / code if code else 0.0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
