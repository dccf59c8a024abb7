#pragma once
// Diagrams as pictures: one diagram of the UML view drawn as an SVG 1.1
// document, as its layout (lum/uml/layout.h) places it, in drawing units
// (1/300 inch), at 96 pixels to the inch.
// Every diagram item (and every role view of an association view, every
// focus of control of an object in a sequence diagram) becomes
// one SVG group carrying the item's class (data-view), its own quid when it
// has one (data-quid) and the quid of the element it shows (data-element). Texts are escaped; bad geometry (missing, zero,
// negative or huge sizes and coordinates) gives a picture, never a crash.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "lum/export.h"
#include "lum/uml/elements.h"
#include "lum/uml/layout.h"

LUM_API_BEGIN
namespace lum::render {

// Writes a diagram of a UML view as one SVG document; false when the stream failed.
bool WriteSvg(const uml::Diagram& diagram, std::ostream& out, const uml::LayoutOptions& options = {});
std::string RenderSvg(const uml::Diagram& diagram, const uml::LayoutOptions& options = {});

// The number of views WriteSvg draws: the diagram's items, the role views
// of its association views and the foci of control of its objects.
std::size_t ViewCount(const uml::Diagram& diagram);

}  // namespace lum::render
LUM_API_END
