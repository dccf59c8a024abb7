#pragma once
// The HTML of a site: the home page with the package tree, and one page
// per element that has a page. Every model text goes through Markup().

#include <ostream>
#include <string>

#include "publish/site_index.h"

namespace lum::publish::detail {

// What an element is, for people: "class", "use case", "state diagram", ...
std::string KindWord(const uml::Element& element);
// The element's name, or "(unnamed KIND)".
std::string DisplayName(const uml::Element& element);

void WriteHome(const tSiteIndex& site, std::ostream& out);
void WritePage(const tSiteIndex& site, long page, std::ostream& out);

}  // namespace lum::publish::detail
