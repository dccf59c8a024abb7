#!/usr/bin/env python3
"""Puts lum's drawing of each diagram of the shared real models that has a
picture drawn by the original tool beside that picture, at the same scale.

    tools/fidelity.py [--lum PATH] [--shared DIR] [--out DIR] [--keep-svg DIR]

Writes OUT/<model>-<picture>.png (default OUT: build/fidelity): the picture on
the left, lum's drawing in the middle, both multiplied over each other on the
right. All three panels show the same stretch of drawing coordinates, so a
thing drawn in the right place lies at the same height in each, and in the
right panel on top of the original. OUT/index.html lists them. Each diagram is rendered with `lum render` (SVG); the panels are put
together in one SVG that rsvg-convert (Debian package librsvg2-bin) turns
into the PNG. With --keep-svg, lum's own SVG of each diagram is kept in DIR
as <model>-<picture>.svg (docs/fidelity/ holds them). The pictures are read in place from SHARED/realworld (default:
the folder `shared` next to the project), never copied.

Exits 1 when lum cannot render a diagram of the table, 77 (skipped) when
SHARED/realworld is absent.

Scale: a picture is the screen the author saw, so one pixel is 300/dpi drawing
units at zoom 100 (the unit being 1/300 inch) and 100/zoom times that at the
diagram's stored zoom. The vending-machine pictures come from a 120 dpi screen
(2.5 units a pixel; sequence_diagram_3's diagram has zoom 90: 2.78), the
face-search ones from a 96 dpi screen (3.125). Checked by fitting the stored
centres of the filled views of each diagram to the centres of their filled
regions in the picture: off by under 3 units (one pixel). The origin of each
row is the drawing coordinate at the picture's top left pixel, from the same
fit, or (component_diagram, whose icons are not centred on their fill) from
laying the stored line vertices over the picture's line-coloured pixels.
"""

import argparse
import base64
import html
import pathlib
import re
import subprocess
import sys
import tempfile

VENDING, FACES = "vending-machine", "face-search"
MACHINES = "Logical View::State/Activity Model::"  # where the state and activity diagrams are

# model folder, picture, model file, diagram, drawing units per picture pixel, drawing x and y at its top left pixel
PICTURES = [
    (VENDING, "class_diagram.png", "class_diagram.mdl", "Logical View::Main", 2.5, -40, 12),
    (VENDING, "use_case_diagram.png", "use_case_diagram.mdl", "Logical View::Main", 2.5, -290, -49),
    (VENDING, "statechart_diagram.png", "statechart_diagrams.mdl", MACHINES + "Buying_item", 2.5, 109, -57),
    (VENDING, "activity_diagram.png", "activity_diagram.mdl", MACHINES + "Buying", 2.5, -213, -231),
    (VENDING, "sequence_diagram_2.png", "sequence_diagrams.mdl", "Logical View::Getting earned money", 2.5, 121, 119),
    (VENDING, "sequence_diagram_3.png", "sequence_diagrams.mdl", "Logical View::Returning_money", 2.5 / 0.9, -65, 67),
    (VENDING, "collaboration_diagram_1.png", "collaboration_diagrams.mdl", "Logical View::Buying_item", 2.5, -158, -119),
    (VENDING, "component_diagram.png", "component_diagram.mdl", "Component View::Automat", 2.5, -53, 51),
    (VENDING, "deployment_diagram.png", "deployment_diagram.mdl", "Deployment View", 2.5, 1, 45),
    (FACES, "use-case-Main.jpg", "yourface.mdl", "Use Case View::Main", 3.125, 332, 341),
    (FACES, "sequence-CreatePhoto.jpg", "yourface.mdl", "Logical View::CreatePhoto", 3.125, 26, 211),
    (FACES, "sequence-GetInformation.jpg", "yourface.mdl", "Logical View::GetInformation", 3.125, 17, 202),
    (FACES, "sequence-LoadPhoto.jpg", "yourface.mdl", "Logical View::LoadPhoto", 3.125, 14, 201),
    (FACES, "state-CreatePhoto_.jpg", "yourface.mdl", MACHINES + "CreatePhoto_", 3.125, 89, 39),
    (FACES, "state-GetInformation_.jpg", "yourface.mdl", MACHINES + "GetInformation_", 3.125, 102, 26),
    (FACES, "state-LoadPhoto_.jpg", "yourface.mdl", MACHINES + "LoadPhoto_", 3.125, 101, 32),
    (FACES, "activity-Create_photo.jpg", "yourface.mdl", MACHINES + "Create photo", 3.125, 693, 88),
    (FACES, "activity-Get_information.jpg", "yourface.mdl", MACHINES + "Get information", 3.125, 73, 101),
    (FACES, "activity-Load_photo.jpg", "yourface.mdl", MACHINES + "Load photo", 3.125, 744, 69),
    (FACES, "component-Main.jpg", "yourface.mdl", "Component View::Main", 3.125, 181, 271),
]

GAP = 20  # pixels between the panels


def picture_size(data):
    """Width and height in pixels of a PNG or baseline/progressive JPEG."""
    if data.startswith(b"\x89PNG"):
        return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")
    at = 2
    while at < len(data):
        marker, length = data[at + 1], int.from_bytes(data[at + 2:at + 4], "big")
        if marker in (0xC0, 0xC1, 0xC2):
            return int.from_bytes(data[at + 7:at + 9], "big"), int.from_bytes(data[at + 5:at + 7], "big")
        at += 2 + length
    raise ValueError("no picture size found")


def data_uri(kind, data):
    return f"data:{kind};base64,{base64.b64encode(data).decode()}"


def side_by_side(picture, svg, scale, x0, y0):
    """One SVG of three panels: the picture, ours, both multiplied over each other."""
    width, height = picture_size(picture)
    kind = "image/png" if picture.startswith(b"\x89PNG") else "image/jpeg"
    ours = [float(v) for v in re.search(rb'viewBox="([^"]+)"', svg).group(1).split()]
    left, top = min(x0, ours[0]), min(y0, ours[1])
    right = max(x0 + width * scale, ours[0] + ours[2])
    bottom = max(y0 + height * scale, ours[1] + ours[3])
    panel_w, panel_h = (right - left) / scale, (bottom - top) / scale
    original = (f'<image x="{x0}" y="{y0}" width="{width * scale}" height="{height * scale}" '
                f'preserveAspectRatio="none" href="{data_uri(kind, picture)}"/>')
    drawing = (f'<image x="{ours[0]}" y="{ours[1]}" width="{ours[2]}" height="{ours[3]}" '
               f'href="{data_uri("image/svg+xml", svg)}"/>')
    panels = [original, drawing, f'{drawing}<g style="mix-blend-mode:multiply">{original}</g>']
    body = "".join(f'<svg x="{i * (panel_w + GAP)}" width="{panel_w}" height="{panel_h}" '
                   f'viewBox="{left} {top} {right - left} {bottom - top}">'
                   f'<rect x="{left}" y="{top}" width="100%" height="100%" fill="#fff" stroke="#888"/>{panel}</svg>'
                   for i, panel in enumerate(panels))
    total = 3 * panel_w + 2 * GAP
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{total:.0f}" height="{panel_h:.0f}">'
            f'<rect width="100%" height="100%" fill="#ddd"/>{body}</svg>')


def render(lum, model, diagram, directory):
    """lum's SVG of the diagram, or None when it draws none."""
    done = subprocess.run([lum, "render", str(model), "--diagram", diagram, "-o", directory],
                          capture_output=True, text=True)
    written = done.stdout.split("\n")[0]
    if done.returncode not in (0, 1) or not written or not pathlib.Path(written).is_file():
        print(f"fidelity: lum render {model} --diagram '{diagram}' drew nothing: {done.stderr.strip()}")
        return None
    return pathlib.Path(written).read_bytes()


def main():
    project = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--lum", default=str(project / "build" / "cli" / "lum"))
    parser.add_argument("--shared", default=str(project.parent / "shared"))
    parser.add_argument("--out", default=str(project / "build" / "fidelity"))
    parser.add_argument("--keep-svg", help="also keep lum's SVG of each diagram in this directory")
    options = parser.parse_args()
    realworld, out = pathlib.Path(options.shared) / "realworld", pathlib.Path(options.out)
    if not realworld.is_dir():
        print(f"fidelity: no {realworld}; skipped")
        return 77
    out.mkdir(parents=True, exist_ok=True)
    failed, rows = 0, []
    for folder, picture, model, diagram, scale, x0, y0 in PICTURES:
        with tempfile.TemporaryDirectory() as directory:
            svg = render(options.lum, realworld / folder / model, diagram, directory)
            if svg is None:
                failed += 1
                continue
            name = f"{folder}-{pathlib.Path(picture).stem}.png"
            if options.keep_svg:
                pathlib.Path(options.keep_svg).mkdir(parents=True, exist_ok=True)
                (pathlib.Path(options.keep_svg) / name).with_suffix(".svg").write_bytes(svg)
            composite = pathlib.Path(directory) / "side_by_side.svg"
            composite.write_text(side_by_side((realworld / folder / "pictures" / picture).read_bytes(),
                                              svg, scale, x0, y0))
            subprocess.run(["rsvg-convert", "--format=png", f"--output={out / name}", str(composite)], check=True)
        rows.append(f'<h2>{html.escape(name)}</h2><p>{html.escape(folder)}/{html.escape(model)}, diagram '
                    f'<code>{html.escape(diagram)}</code>, {scale:.3f} units a pixel</p><img src="{name}">')
    (out / "index.html").write_text(
        '<!DOCTYPE html><html><head><meta charset="utf-8"><title>lum beside the original pictures</title>'
        '<style>img{max-width:100%;border:1px solid #888}</style></head><body>'
        '<h1>The original picture, lum, both over each other</h1>' + "".join(rows) + "</body></html>\n")
    print(f"fidelity: {len(rows)} pictures in {out / 'index.html'}" + (f", {failed} diagrams not drawn" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
