#!/usr/bin/env python3
"""Fails when an #include points up the layer stack or into another layer.

The layers and what each uses are listed in cmake/layers.txt, which CMake
reads too: a layer may include itself and every layer it reaches through
that list. What a layer shares lies in its public headers
(include/lum/<layer>/); its headers under src/<layer>/ are its own, except
for a layer with no public headers (platform), whose src/ headers are what
it offers. Public headers include no header under src/. Prints every
offending include; the build refuses them as well, this only says why
sooner and more plainly."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def read_layers(path):
    """The layers, bottom first, each with the set of layers it may include."""
    reaches = {}
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        match = re.fullmatch(r"([a-z_]+)\s*(?::\s*([a-z_\s]*))?", line)
        if match is None:
            sys.exit(f"{path}:{number}: cannot read '{raw}'")
        layer, uses = match.group(1), (match.group(2) or "").split()
        reach = {layer}
        for used in uses:
            if used not in reaches:
                sys.exit(f"{path}:{number}: {layer} uses {used}, which is not a layer below it")
            reach |= reaches[used]
        reaches[layer] = reach
    return reaches


REACHES = read_layers(ROOT / "cmake" / "layers.txt")
LAYERS = list(REACHES)
PRIVATE_SHARED = {layer for layer in LAYERS if not (ROOT / "include" / "lum" / layer).is_dir()}
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*[<"](?:lum/)?([a-z_]+)/[^>"]+[>"]', re.M)
# A header under src/ (the private include path): no "lum/" in front.
PRIVATE_INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*[<"](?!lum/)([a-z_]+)/[^>"]+[>"]', re.M)


def layer_of(path, root):
    parts = path.relative_to(root).parts
    if parts[0] == "include":
        parts = parts[2:]
    elif parts[0] == "src":
        parts = parts[1:]
    else:
        return None
    return parts[0] if len(parts) > 1 and parts[0] in LAYERS else None


def may_include(layer, other):
    return other in REACHES[layer]


def private_problem(path, root, layer, other):
    """Why including a private header of `other` is wrong here, or None."""
    if path.relative_to(root).parts[0] == "include":
        return "a public header includes a private header of"
    if other != layer and (other not in PRIVATE_SHARED or not may_include(layer, other)):
        return f"{layer} includes a private header of"
    return None


def main():
    root = ROOT
    problems = []
    for base in (root / "src", root / "include" / "lum"):
        for path in sorted(base.rglob("*")):
            if path.suffix not in (".h", ".cpp", ".def") or not path.is_file():
                continue
            layer = layer_of(path, root)
            if layer is None:
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                other = match.group(1)
                if other in LAYERS and not may_include(layer, other):
                    line = text.count("\n", 0, match.start()) + 1
                    problems.append(f"{path.relative_to(root)}:{line}: {layer} includes {other}")
            for match in PRIVATE_INCLUDE.finditer(text):
                other = match.group(1)
                why = private_problem(path, root, layer, other) if other in LAYERS else None
                if why is not None:
                    line = text.count("\n", 0, match.start()) + 1
                    problems.append(f"{path.relative_to(root)}:{line}: {why} {other}")
    for problem in problems:
        print(problem)
    print(f"layers: {len(problems)} include(s) pointing up or into another layer" if problems
          else "layers: every include points down, to public headers or the layer's own")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
