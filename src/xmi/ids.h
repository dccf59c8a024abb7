#pragma once
// tIds: the xmi:id of every element of a view. An element with a quid of
// its own gets "_" and the quid; one without a quid, or whose quid an
// element before it already took, gets its owner's id, "-m" and its place
// among the owner's members. Characters other than letters, digits and '.'
// are written as "_XX" (their UTF-8 bytes in hex), so ids are XML names and
// a '-' only ever starts a suffix: parts the writer adds under an element
// ("-lower", "-ret", ...) never meet another element's id. Ids that would
// grow longer than kMaxDerived (quid-less elements nested deep) and
// elements with nothing above them are numbered "lum-eN" in the order the
// ids are made, which is the same for the same model.

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "lum/uml/view.h"

namespace lum::xmi::detail {

class tIds {
public:
    explicit tIds(const uml::View& view);
    const std::string& Of(const uml::Element* element);
    // Makes `alias` answer the id of `element` (an association written as its association class).
    void Alias(const uml::Element* alias, const uml::Element* element);

    // A name made into the tail of an id, by the rule above.
    static void AppendEscaped(std::string& out, std::wstring_view text);

private:
    std::unordered_map<const uml::Element*, std::string> m_ids;
    std::unordered_map<const uml::Element*, std::size_t> m_place;
    std::unordered_set<std::string> m_taken;
    static constexpr std::size_t kMaxDerived = 200;
    std::size_t m_orphans = 0;
};

}  // namespace lum::xmi::detail
