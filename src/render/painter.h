#pragma once
// The painter draws a diagram's layout onto a canvas: each figure's shape,
// its rules, its route with its ends, and its text, in drawing order.

#include "lum/uml/layout.h"
#include "render/canvas.h"

namespace lum::render::detail {

void Paint(const uml::DiagramLayout& layout, tCanvas& canvas);

}  // namespace lum::render::detail
