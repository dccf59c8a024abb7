#pragma once
// The texts the diff compares: an element's label (its name, or for unnamed
// elements what identifies them among their siblings), its noun, and its
// fields as (name, value) pairs in a fixed order per kind.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lum/uml/elements.h"

namespace lum::diff::detail {

using tFields = std::vector<std::pair<std::string, std::string>>;

// The parts appended one after another (no temporaries: GCC 12 misreads
// "text" + std::string chains as overlapping copies).
template <class... T>
std::string Cat(const T&... parts) {
    std::string out;
    ((out += std::string_view(parts)), ...);
    return out;
}

// The name; for an unnamed element a descriptor such as "end at Copy",
// "generalization to Item", "transition to Closed on return" or "initial".
std::string Label(const uml::Element& element);
// "class", "actor", "property", "operation", ... .
std::string Noun(const uml::Element& element);
// The quid of the raw object, or empty (also for an all-zero quid); a view
// of the model's own text.
std::wstring_view Quid(const uml::Element& element);
// The fields compared, the documentation (compared as read, the longest
// text), the shown elements and geometry of diagrams aside, in place of
// what `fields` held (its room is kept for the next element).
void Fields(const uml::Element& element, tFields& fields);
// A text as shown (uml::ShownText); empty for none.
std::string Shown(const WString* text);

}  // namespace lum::diff::detail
