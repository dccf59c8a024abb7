#pragma once
// Text metrics of the diagram layout: how wide a label's text is in its
// stored font, how high its lines are, how it wraps at the label's width and
// line count, and the SVG font family that draws it. Lengths are drawing
// units, 1/300 inch. Widths are those of the metric-compatible Liberation
// faces and, for CJK, Hangul, kana and full-width forms, of Noto Sans CJK,
// from tables built into the library: no font file is read. No kerning.

#include <string>
#include <string_view>
#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum::uml {

inline constexpr double kUnitsPerPoint = 300.0 / 72.0;

// A label's font as the file stores it: the face's name (UTF-8, any case),
// the size in points, bold and italic (underline changes no width).
struct Font {
    std::string face = "Arial";
    double points = 10;
    bool bold = false;
    bool italic = false;
};

// The metric-compatible family a face is measured with.
enum class FontFamily { Sans, Serif, Mono };

// Faces naming Courier, Consolas, Lucida Console, Fixedsys or "mono" are Mono;
// then those naming "sans" are Sans; Times, Georgia, Garamond, Palatino,
// Century, Cambria or "serif" / "roman" are Serif; every other face is Sans.
FontFamily FamilyOf(std::string_view face);
// "Liberation Sans", "Liberation Serif" or "Liberation Mono".
const char* MetricFace(FontFamily family);

// The advance width of UTF-8 text on one line (invalid bytes measure as U+FFFD).
double TextWidth(std::string_view utf8, const Font& font);
// The distance between two lines' baselines: the family's ascent, descent and line gap.
double LineHeight(const Font& font);

// The text broken into lines no wider than `maxWidth`: the text's own line
// breaks are kept, lines break at spaces (dropped there) and around CJK
// characters, and a word wider than a line breaks between characters. When
// more than `maxLines` lines result, the last one kept ends in "..." (three
// full stops, as the tool cut text), shortened until that fits (the mark
// alone when nothing does). Trailing empty lines are dropped. No wrapping
// when maxWidth is 0 or less, no limit when maxLines is.
std::vector<std::string> WrapText(std::string_view utf8, const Font& font, double maxWidth, int maxLines);

// The CSS font-family list for a stored face: the face itself, its Liberation
// face, the CJK face and the generic family, e.g.
// 'Arial', 'Liberation Sans', 'Noto Sans CJK SC', sans-serif. Quotes and
// backslashes in the face are escaped for CSS; XML escaping is the caller's.
std::string SvgFontFamily(std::string_view face);

}  // namespace lum::uml
LUM_API_END
