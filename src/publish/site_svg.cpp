#include "publish/site_svg.h"

#include <string_view>

#include "lum/render/svg.h"
#include "lum/text/markup.h"

namespace lum::publish::detail {

namespace {

// The value of attribute `name` in one start tag, as written (escaped).
std::string_view AttributeOf(std::string_view tag, std::string_view name) {
    std::string needle(1, ' ');
    (needle += name) += "=\"";
    const std::size_t at = tag.find(needle);
    if (at == std::string_view::npos) return {};
    const std::size_t start = at + needle.size();
    const std::size_t end = tag.find('"', start);
    return end == std::string_view::npos ? std::string_view() : tag.substr(start, end - start);
}

}  // namespace

std::string LinkedSvg(const tSiteIndex& site, const uml::Diagram& diagram) {
    // Each view group carries its item's quid (data-quid) and the quid of the
    // element shown (data-element); the item's quid is looked up among what
    // the diagram shows, the element's through the model.
    std::unordered_map<std::string, const uml::Element*> byItem;
    for (const uml::Shown& shown : diagram.shown)
        if (shown.item != nullptr && shown.item->quid.Get().GetLength() != 0)
            byItem.emplace(Markup(shown.item->quid.Get().View()), shown.element);

    const std::string svg = render::RenderSvg(diagram);
    std::string_view rest(svg);
    if (rest.starts_with("<?xml")) rest.remove_prefix(std::min(rest.size(), rest.find('\n') + 1));
    std::string out;
    out.reserve(rest.size() + rest.size() / 4);
    std::vector<bool> linked;  // per open group: wrapped in a link
    while (!rest.empty()) {
        const std::size_t open = rest.find('<');
        out += rest.substr(0, open);
        if (open == std::string_view::npos) break;
        rest.remove_prefix(open);
        const std::size_t close = rest.find('>');
        const std::string_view tag = rest.substr(0, close == std::string_view::npos ? rest.size() : close + 1);
        rest.remove_prefix(tag.size());
        if (tag.starts_with("<g ") || tag == "<g>") {
            const uml::Element* element = nullptr;
            if (const auto found = byItem.find(std::string(AttributeOf(tag, "data-quid"))); found != byItem.end())
                element = found->second;
            if (element == nullptr && !AttributeOf(tag, "data-element").empty())
                if (const ClumVellumEntity* raw = site.model.FindByQuid(AttributeOf(tag, "data-element")))
                    element = site.view.Find(raw);
            // A role line leads to the classifier at its end.
            if (const auto* end = uml::As<uml::AssociationEnd>(element); end != nullptr && end->type.element != nullptr)
                element = end->type.element;
            const std::string href = site.Href(element);
            linked.push_back(!href.empty());
            if (!href.empty()) out += "<a href=\"" + href + "\">";
            out += tag;
        } else if (tag == "</g>") {
            out += tag;
            if (!linked.empty()) {
                if (linked.back()) out += "</a>";
                linked.pop_back();
            }
        } else {
            out += tag;
        }
    }
    return out;
}

}  // namespace lum::publish::detail
