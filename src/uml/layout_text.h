#pragma once
// Text of the diagram layout: stored fonts, measuring and wrapping, stored
// labels placed where the file puts them, and names as symbols show them.

#include <string>
#include <string_view>
#include <vector>

#include "lum/uml/layout.h"
#include "lum/uml/presentation.h"

namespace lum::uml::detail {

// A coordinate of the file, kept within ±kFarUnits.
double Far(double value);

// The item's stored font; Arial 10 where it stores none.
TextFont FontOf(const ClumDiagramItem& item);
// Text as the drawing tool set it on screen: lines 1.08 em apart, and
// glyphs 0.92 of the faces' advances wide (measured on its pictures).
double LineSpacing(const TextFont& font);
double ScreenWidth(std::string_view utf8, const TextFont& font);
// Wrapped at `maxWidth` in those widths, at most `maxLines` lines (see
// uml::WrapText): the one place the layout wraps.
std::vector<std::string> Wrap(std::string_view utf8, const TextFont& font, double maxWidth, int maxLines);
// One line cut to `maxWidth` between characters, ending in "..." when cut,
// as compartment items are.
std::string CutLine(std::string_view utf8, const TextFont& font, double maxWidth);

// The label of an item: its own when it is a label, else its stored `label`
// (or `stereotype`) feature; null when it has none.
const ClumLabel* LabelOf(const ClumDiagramItem& item, bool stereotype = false);

// A stored label's text block: `text` wrapped at the label's max_width and
// nlines in its own font (else `font`), placed as stored. A label with an
// anchor is placed by that point (the middle of its nlines lines, left,
// centre or right by its justification); one without by the top left corner
// of its max_width. The lines start at the top of the nlines lines, which
// are the block's box.
TextBlock PlaceLabel(const ClumLabel& label, std::string_view text, TextRole role, const TextFont& font);
// Lines set in a box from its top, `align`ed; the box's height is what they take.
TextBlock SetLines(std::vector<std::string> lines, const TextFont& font, TextRole role, Align align, double left,
                   double top, double width);

// What elements show is uml/presentation.h's, shared with every output.
std::string NameOf(const Element* element);
// The element's name; a view that shows nothing bound its own stored name
// (the last part of a qualified one), never the placeholder of an unnamed one.
std::string ShownName(const Element* element, const ClumDiagramItem& item);

}  // namespace lum::uml::detail
