#pragma once
// What every page of a site knows of the whole model: the page number of
// each element that has a page, and, per element, the relationships and
// associations that lead to it, the diagrams that show it and the notes
// attached to it. Built once, in one pass over the view.

#include <string>
#include <unordered_map>
#include <vector>

#include "lum/document/model.h"
#include "lum/uml/view.h"

namespace lum::publish::detail {

class tSiteIndex {
public:
    explicit tSiteIndex(const Model& model);

    const Model& model;
    const uml::View& view;
    // The elements with a page, by page number, owners before what they own.
    std::vector<const uml::Element*> pages;

    // True for the kinds that get a page of their own.
    static bool HasPage(const uml::Element& element);
    // The page number of an element with a page, else -1.
    long PageOf(const uml::Element* element) const;
    // Where an element is shown, relative to a page in e/: its page, else
    // its row on its owner's page, else its nearest owner's page; empty when none.
    std::string Href(const uml::Element* element) const;
    // The anchor of a member's row on its owner's page ("m3").
    static std::string Anchor(const uml::Element& member);

    const std::vector<const uml::Element*>& Incoming(const uml::Element& element) const;  // relationships
    const std::vector<const uml::Element*>& Associations(const uml::Element& element) const;
    const std::vector<const uml::Element*>& Diagrams(const uml::Element& element) const;
    const std::vector<const uml::Element*>& Notes(const uml::Element& element) const;

private:
    using tLists = std::unordered_map<const uml::Element*, std::vector<const uml::Element*>>;
    static const std::vector<const uml::Element*>& Get(const tLists& lists, const uml::Element& element);
    std::unordered_map<const uml::Element*, long> m_pageOf;
    tLists m_incoming, m_associations, m_diagrams, m_notes;
};

}  // namespace lum::publish::detail
