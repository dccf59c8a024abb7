#!/usr/bin/env python3
"""Fails when an #include points up the layer stack.

Each folder under src/ and include/lum/ is a layer; a file may include its
own layer and the layers below it. Prints every offending include."""
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
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"](?:lum/)?([a-z_]+)/[^>"]+[>"]', re.M)


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
    for problem in problems:
        print(problem)
    print(f"layers: {len(problems)} include(s) pointing up" if problems else "layers: every include points down")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
