#pragma once
// Text of the diagram layout: stored fonts, measuring and wrapping, stored
// labels placed where the file puts them, and what an element's text says.

#include <string>
#include <string_view>
#include <vector>

#include "lum/uml/layout.h"

namespace lum::uml::detail {

// A coordinate of the file, kept within ±kFarUnits.
double Far(double value);

// The item's stored font; Arial 10 where it stores none.
TextFont FontOf(const ClumDiagramItem& item);
// The distance between lines of a font: its ascent and descent.
double LineHeight(const TextFont& font);
double TextWidth(std::string_view utf8, const TextFont& font);
// The text cut at its line breaks, each part wrapped at spaces to `maxWidth`
// (a word wider than that broken between characters; no limit when not
// positive), at most `maxLines` lines (none when not positive), the last
// one ending in "…" when text was left out.
std::vector<std::string> WrapText(std::string_view utf8, const TextFont& font, double maxWidth, int maxLines);
// One line cut to `maxWidth`, ending in "..." when cut, as compartment items are.
std::string CutLine(std::string_view utf8, const TextFont& font, double maxWidth);

std::string Utf8(const ClumIdent& ident);
std::string Utf8(const std::wstring& text);

// The label of an item: its own when it is a label, else its stored `label`
// (or `stereotype`) feature; null when it has none.
const ClumLabel* LabelOf(const ClumDiagramItem& item, bool stereotype = false);

// A stored label's text block: `text` wrapped at the label's max_width and
// nlines in its own font (else `font`), placed as stored. A label with an
// anchor is placed by that point (the middle of its nlines lines, left,
// centre or right by its justification); one without by the top left corner
// of its max_width. The lines start at the top of the nlines lines.
TextBlock PlaceLabel(const ClumLabel& label, std::string_view text, TextRole role, const TextFont& font);
// Lines set in a box from its top, `align`ed; the box's height is what they take.
TextBlock SetLines(std::vector<std::string> lines, const TextFont& font, TextRole role, Align align, double left,
                   double top, double width);

// What elements show: "name : Type = value", "name(a : T) : R", "entry/ act",
// "event [ guard ] / action ^target.send", and a stereotype between << and >>
// as the drawing tool writes it.
std::string AttributeText(const Property& property);
std::string OperationText(const Operation& operation, bool signature);
std::string ActionText(const Action& action);
std::string TransitionText(const Transition& transition);
std::string StereotypeText(const ClumIdent& stereotype);
std::string NameOf(const Element* element);
// The written type: the bound element's name, else the text.
std::string TypeText(const TypeRef& type);

}  // namespace lum::uml::detail
