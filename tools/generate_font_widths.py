#!/usr/bin/python3
"""Writes src/uml/font_widths.cpp, the advance widths that labels are measured with.

    tools/generate_font_widths.py [--check]

Reads the installed Liberation 2 fonts (Debian fonts-liberation2: Sans,
Serif and Mono, each regular, bold, italic and bold italic, metric for
metric the faces a diagram's labels name) and Noto Sans CJK SC (Debian
fonts-noto-cjk, regular and bold) with fontTools (Debian
python3-fonttools, hence Debian's own interpreter above). Each face's
widths are written as runs of consecutive code points of one advance, block
by block, so that the ideograph blocks take a line each. Code points the
font lacks are left out, except control, format and combining characters,
which draw nothing (width 0), and the rest of the CJK blocks, which are a
whole em wide.

--check compares the file with what it would write and fails when it is
stale; it exits 77 (skipped) when the fonts or fontTools are not installed.
"""

import argparse
import os
import sys
import unicodedata

OUTPUT = os.path.join("src", "uml", "font_widths.cpp")
LIBERATION = "/usr/share/fonts/truetype/liberation2/Liberation%s-%s.ttf"
NOTO_CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-%s.ttc"
NOTO_CJK_FACE = "Noto Sans CJK SC"  # the collection's member for simplified Chinese
SKIP = 77

FAMILIES = ["Sans", "Serif", "Mono"]
STYLES = ["Regular", "Bold", "Italic", "BoldItalic"]  # the order of FontStyleIndex in font_widths.h

# Measured with the family's own face: Latin-1 with its controls, Latin
# Extended-A, the combining marks, Greek, Cyrillic, general punctuation, and
# the few other characters of code pages 1251 and 1252.
LATIN_BLOCKS = [
    (0x0000, 0x00FF, "Basic Latin and Latin-1"),
    (0x0100, 0x017F, "Latin Extended-A"),
    (0x0192, 0x0192, "florin sign"),
    (0x02C6, 0x02C6, "modifier circumflex"),
    (0x02DC, 0x02DC, "small tilde"),
    (0x0300, 0x036F, "combining diacritical marks"),
    (0x0370, 0x03FF, "Greek"),
    (0x0400, 0x04FF, "Cyrillic"),
    (0x2000, 0x206F, "general punctuation"),
    (0x20AC, 0x20AC, "euro sign"),
    (0x2116, 0x2116, "numero sign"),
    (0x2122, 0x2122, "trade mark sign"),
]

# Measured with the CJK face in every family: Hangul, the CJK radicals,
# symbols, kana, bopomofo, ideographs and compatibility forms, and the
# half- and full-width forms.
CJK_BLOCKS = [
    (0x1100, 0x11FF, "Hangul Jamo"),
    (0x2E80, 0x2FDF, "CJK and Kangxi radicals"),
    (0x2FF0, 0x2FFF, "ideographic description"),
    (0x3000, 0x303F, "CJK symbols and punctuation"),
    (0x3040, 0x30FF, "hiragana and katakana"),
    (0x3100, 0x312F, "bopomofo"),
    (0x3130, 0x318F, "Hangul compatibility jamo"),
    (0x3190, 0x31FF, "kanbun, bopomofo extended, CJK strokes, katakana extensions"),
    (0x3200, 0x33FF, "enclosed CJK letters, CJK compatibility"),
    (0x3400, 0x4DBF, "CJK ideographs extension A"),
    (0x4E00, 0x9FFF, "CJK ideographs"),
    (0xA960, 0xA97F, "Hangul Jamo extended-A"),
    (0xAC00, 0xD7AF, "Hangul syllables"),
    (0xD7B0, 0xD7FF, "Hangul Jamo extended-B"),
    (0xF900, 0xFAFF, "CJK compatibility ideographs"),
    (0xFE10, 0xFE1F, "vertical forms"),
    (0xFE30, 0xFE6F, "CJK compatibility forms, small form variants"),
    (0xFF00, 0xFFEF, "half-width and full-width forms"),
    (0x20000, 0x2FA1F, "CJK ideographs extensions B to F, compatibility supplement"),
]

DRAWS_NOTHING = {"Cc", "Cf", "Mn", "Zl", "Zp"}
RUNS_PER_LINE_WIDTH = 120


class Face:
    """One font's name, version, vertical metrics and widths by block."""

    def __init__(self, name, font, blocks, missing_width):
        self.name = name
        self.version = font["name"].getDebugName(5).split(";")[0]
        self.units_per_em = font["head"].unitsPerEm
        hhea = font["hhea"]
        self.line_height = hhea.ascent - hhea.descent + hhea.lineGap
        cmap, hmtx = font.getBestCmap(), font["hmtx"]
        # The width of what the tables leave out: in the CJK blocks an em, else the
        # one advance of a monospaced face or half an em, an average letter's.
        if missing_width is not None:
            self.default = missing_width
        elif font["post"].isFixedPitch:
            self.default = hmtx[cmap[0x20]][0]
        else:
            self.default = self.units_per_em // 2
        self.blocks = []
        for first, last, title in blocks:
            widths = {}
            for code in range(first, last + 1):
                if code in cmap:
                    widths[code] = hmtx[cmap[code]][0]
                elif missing_width is not None:
                    widths[code] = missing_width
                elif unicodedata.category(chr(code)) in DRAWS_NOTHING:
                    widths[code] = 0
            self.blocks.append((title, runs(widths)))

    def run_count(self):
        return sum(len(block_runs) for _, block_runs in self.blocks)


def runs(widths):
    """[first, last, advance] for each stretch of consecutive code points of one advance."""
    out = []
    for code in sorted(widths):
        if out and out[-1][1] == code - 1 and out[-1][2] == widths[code]:
            out[-1][1] = code
        else:
            out.append([code, code, widths[code]])
    return out


def identifier(family, style):
    return "k%s%s" % (family, style)


def load_faces():
    """The Liberation faces by (family, style) and the CJK faces by weight; None when something is missing."""
    try:
        from fontTools.ttLib import TTCollection, TTFont
    except ImportError:
        return None
    paths = [LIBERATION % (f, s) for f in FAMILIES for s in STYLES] + [NOTO_CJK % w for w in ("Regular", "Bold")]
    if not all(os.path.exists(p) for p in paths):
        return None
    latin = {}
    for family in FAMILIES:
        for style in STYLES:
            name = "Liberation %s %s" % (family, style.replace("BoldItalic", "Bold Italic"))
            latin[family, style] = Face(name, TTFont(LIBERATION % (family, style)), LATIN_BLOCKS, None)
    cjk = {}
    for weight in ("Regular", "Bold"):
        collection = TTCollection(NOTO_CJK % weight)
        font = next(f for f in collection.fonts if f["name"].getDebugName(1) == NOTO_CJK_FACE)
        cjk[weight] = Face("%s %s" % (NOTO_CJK_FACE, weight), font, CJK_BLOCKS, font["head"].unitsPerEm)
    return latin, cjk


def write_runs(out, name, face):
    out.append("// %s, %s: %d runs, %d units to the em." % (face.name, face.version, face.run_count(),
                                                            face.units_per_em))
    out.append("constexpr WidthRun %s[] = {" % name)
    for title, block_runs in face.blocks:
        if not block_runs:
            continue
        out.append("    // %s" % title)
        line = "   "
        for first, last, advance in block_runs:
            item = " {0x%04X, 0x%04X, %d}," % (first, last, advance)
            if len(line) + len(item) > RUNS_PER_LINE_WIDTH:
                out.append(line)
                line = "   "
            line += item
        out.append(line)
    out.append("};")
    out.append("")


def metrics_entry(name, face):
    return "    {%d, %d, %d, %s}," % (face.units_per_em, face.line_height, face.default, name)


def generate(latin, cjk):
    out = [
        "// Generated by tools/generate_font_widths.py from the installed Liberation 2 and Noto Sans CJK fonts:",
        "// do not edit.",
        '#include "uml/font_widths.h"',
        "",
        "namespace lum::uml::detail {",
        "",
        "namespace {",
        "",
    ]
    for family in FAMILIES:
        for style in STYLES:
            write_runs(out, identifier(family, style), latin[family, style])
    for weight, face in cjk.items():
        write_runs(out, "kCjk%s" % weight, face)
    out.append("}  // namespace")
    out.append("")
    out.append("const FaceMetrics kLatinFaces[kFamilyCount][kStyleCount] = {")
    for family in FAMILIES:
        out.append("    {")
        for style in STYLES:
            out.append("    " + metrics_entry(identifier(family, style), latin[family, style]))
        out.append("    },")
    out.append("};")
    out.append("")
    out.append("const FaceMetrics kCjkFaces[2] = {")
    for weight, face in cjk.items():
        out.append(metrics_entry("kCjk%s" % weight, face))
    out.append("};")
    out.append("")
    out.append("}  // namespace lum::uml::detail")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true", help="fail if the generated file is stale")
    args = parser.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    faces = load_faces()
    if faces is None:
        print("needs fontTools (python3-fonttools) and the fonts of fonts-liberation2 and fonts-noto-cjk",
              file=sys.stderr)
        return SKIP if args.check else 1
    text = generate(*faces)
    path = os.path.join(root, OUTPUT)
    if args.check:
        with open(path, encoding="utf-8") as f:
            if f.read() != text:
                print("%s is stale: run tools/generate_font_widths.py" % OUTPUT, file=sys.stderr)
                return 1
        return 0
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
