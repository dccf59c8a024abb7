#!/usr/bin/env python3
"""Fails when an #include points up the layer stack or into another layer.

Each folder under src/ and include/lum/ is a layer; a file may include its
own layer and the layers below it. What a layer shares lies in its public
headers (include/lum/<layer>/); its headers under src/<layer>/ are its own,
and public headers include no header under src/. Prints every offending
include."""
import pathlib
import re
import sys

# Bottom first. A layer may include itself and what comes before it.
LAYERS = ["platform", "text", "diagnostics", "meta", "model", "traverse", "reader", "loading", "resolve",
          "document", "uml", "json", "render", "xmi", "write", "diff", "publish"]
# Outputs stand side by side: none of them includes another.
OUTPUTS = {"json", "render", "xmi", "write", "diff", "publish"}
# Except: publishing embeds the diagram pictures.
OUTPUT_MAY_INCLUDE = {("publish", "render")}
# Platform has no public headers: those under src/platform/ are what every
# layer above it may use.
PRIVATE_SHARED = {"platform"}
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
    if other == layer:
        return True
    if layer in OUTPUTS and other in OUTPUTS:
        return (layer, other) in OUTPUT_MAY_INCLUDE
    return LAYERS.index(other) < LAYERS.index(layer)


def private_problem(path, root, layer, other):
    """Why including a private header of `other` is wrong here, or None."""
    if path.relative_to(root).parts[0] == "include":
        return "a public header includes a private header of"
    if other != layer and other not in PRIVATE_SHARED:
        return f"{layer} includes a private header of"
    return None


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
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
