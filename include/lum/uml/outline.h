#pragma once
// The UML view written for people and for programs: an indented outline in
// UTF-8 text, and one JSON document (format "lum-outline/1", described by
// schema/lum-outline-1.schema.json). Both walk the view with their own stack,
// so any nesting depth is written; the text stops indenting further after
// kOutlineIndentLevels levels.

#include <ostream>

#include "lum/export.h"
#include "lum/uml/view.h"

LUM_API_BEGIN
namespace lum::uml {

inline constexpr int kOutlineIndentLevels = 64;

// Each false when the stream failed.
bool WriteOutline(const View& view, std::ostream& out);
bool WriteOutlineJson(const View& view, std::ostream& out);

}  // namespace lum::uml
LUM_API_END
