#pragma once
// A diagram's SVG for embedding in its page: the picture of the render
// layer without its XML declaration, each group of a view wrapped in a link
// to the page of the element the view shows.

#include <string>

#include "publish/site_index.h"

namespace lum::publish::detail {

std::string LinkedSvg(const tSiteIndex& site, const uml::Diagram& diagram);

}  // namespace lum::publish::detail
