#include "publish/site_index.h"

#include <algorithm>

namespace lum::publish::detail {

bool tSiteIndex::HasPage(const uml::Element& element) {
    switch (element.kind) {
        case uml::Kind::Package:
        case uml::Kind::Classifier:
        case uml::Kind::UseCase:
        case uml::Kind::Component:
        case uml::Kind::Node:
        case uml::Kind::Diagram: return true;
        default: return false;
    }
}

tSiteIndex::tSiteIndex(const Model& model) : model(model), view(uml::View::Of(model)) {
    // Pages in the order of the model, owners first; an explicit stack, as models nest deep.
    std::vector<const uml::Element*> stack(view.Models().rbegin(), view.Models().rend());
    while (!stack.empty()) {
        const uml::Element* element = stack.back();
        stack.pop_back();
        if (HasPage(*element)) {
            m_pageOf.emplace(element, static_cast<long>(pages.size()));
            pages.push_back(element);
        }
        for (auto member = element->members.rbegin(); member != element->members.rend(); ++member) stack.push_back(*member);
    }
    for (const uml::Element* element : view.All(uml::Kind::Relationship)) {
        const auto* relationship = uml::As<uml::Relationship>(element);
        if (relationship->supplier.element != nullptr) m_incoming[relationship->supplier.element].push_back(element);
    }
    for (const uml::Element* association : view.All(uml::Kind::Association))
        for (const uml::AssociationEnd* end : association->Members<uml::AssociationEnd>())
            if (end->type.element != nullptr) {
                auto& list = m_associations[end->type.element];
                if (list.empty() || list.back() != association) list.push_back(association);
            }
    for (const uml::Element* diagram : view.All(uml::Kind::Diagram))
        for (const uml::Shown& shown : uml::As<uml::Diagram>(diagram)->shown) {
            auto& list = m_diagrams[shown.element];
            if (list.empty() || list.back() != diagram) list.push_back(diagram);
        }
    for (const uml::Element* note : view.All(uml::Kind::Note))
        for (const uml::Element* annotated : uml::As<uml::Note>(note)->annotated) m_notes[annotated].push_back(note);
}

long tSiteIndex::PageOf(const uml::Element* element) const {
    const auto found = m_pageOf.find(element);
    return found == m_pageOf.end() ? -1 : found->second;
}

std::string tSiteIndex::Anchor(const uml::Element& member) {
    const auto& siblings = member.owner->members;
    std::string anchor(1, 'm');
    return anchor += std::to_string(std::find(siblings.begin(), siblings.end(), &member) - siblings.begin());
}

std::string tSiteIndex::Href(const uml::Element* element) const {
    if (element == nullptr) return {};
    if (const long page = PageOf(element); page >= 0) return std::to_string(page) + ".html";
    // Attributes, operations, state machines and interactions have a row on their owner's page.
    const uml::Element* owner = element->owner;
    const bool row = element->kind == uml::Kind::Property || element->kind == uml::Kind::Operation ||
                     element->kind == uml::Kind::StateMachine || element->kind == uml::Kind::Interaction;
    if (row && owner != nullptr && (owner->kind == uml::Kind::Classifier || element->kind == uml::Kind::StateMachine ||
                                    element->kind == uml::Kind::Interaction) && PageOf(owner) >= 0)
        return std::to_string(PageOf(owner)) + ".html#" + Anchor(*element);
    for (; owner != nullptr; owner = owner->owner)
        if (const long page = PageOf(owner); page >= 0 && owner->kind != uml::Kind::Diagram)
            return std::to_string(page) + ".html";
    return {};
}

const std::vector<const uml::Element*>& tSiteIndex::Get(const tLists& lists, const uml::Element& element) {
    static const std::vector<const uml::Element*> none;
    const auto found = lists.find(&element);
    return found == lists.end() ? none : found->second;
}

const std::vector<const uml::Element*>& tSiteIndex::Incoming(const uml::Element& element) const {
    return Get(m_incoming, element);
}
const std::vector<const uml::Element*>& tSiteIndex::Associations(const uml::Element& element) const {
    return Get(m_associations, element);
}
const std::vector<const uml::Element*>& tSiteIndex::Diagrams(const uml::Element& element) const {
    return Get(m_diagrams, element);
}
const std::vector<const uml::Element*>& tSiteIndex::Notes(const uml::Element& element) const {
    return Get(m_notes, element);
}

}  // namespace lum::publish::detail
