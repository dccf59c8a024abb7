#include "xmi/ids.h"

#include <type_traits>
#include <vector>

#include "lum/text/utf8.h"
#include "lum/traverse/utility_functions.h"

namespace lum::xmi::detail {

tIds::tIds(const uml::View& view) {
    std::size_t count = 0;
    for (int k = 0; k < uml::kKindCount; ++k) count += view.Count(static_cast<uml::Kind>(k));
    m_ids.reserve(count);
    m_place.reserve(count);
    m_taken.reserve(count);
    for (int k = 0; k < uml::kKindCount; ++k) {
        for (const uml::Element* element : view.All(static_cast<uml::Kind>(k))) {
            for (std::size_t i = 0; i < element->members.size(); ++i) m_place.emplace(element->members[i], i);
        }
    }
    for (const uml::Package* model : view.Models()) Of(model);
    for (int k = 0; k < uml::kKindCount; ++k) {
        for (const uml::Element* element : view.All(static_cast<uml::Kind>(k))) Of(element);
    }
}

namespace {

// One byte of a name's UTF-8 form into an id: letters, digits and '.' as they are, the rest as _XX.
void AppendIdByte(std::string& out, char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.') {
        out += c;
        return;
    }
    const auto byte = static_cast<unsigned char>(c);
    ((out += '_') += kHex[byte >> 4]) += kHex[byte & 0xF];
}

}  // namespace

void tIds::AppendEscaped(std::string& out, std::wstring_view text) {
    // ASCII, most names whole, a character a byte; from the first other character on, the UTF-8 form.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<std::make_unsigned_t<wchar_t>>(text[i]) >= 0x80) {
            for (const char c : ToUtf8(text.substr(i))) AppendIdByte(out, c);
            return;
        }
        AppendIdByte(out, static_cast<char>(text[i]));
    }
}

void tIds::Alias(const uml::Element* alias, const uml::Element* element) { m_ids[alias] = Of(element); }

const std::string& tIds::Of(const uml::Element* element) {
    if (auto found = m_ids.find(element); found != m_ids.end()) return found->second;
    // The chain up to an element whose id is known or can come from its quid, then down again.
    std::vector<const uml::Element*> chain;
    std::string id;
    for (const uml::Element* at = element; at != nullptr; at = at->owner) {
        if (auto found = m_ids.find(at); found != m_ids.end()) {
            id = found->second;
            break;
        }
        chain.push_back(at);
        const ClumIdent quid = ClumUtilityFunctions::GetQuid(at->raw);
        if (quid.GetLength() != 0) {
            std::string candidate = "_";
            AppendEscaped(candidate, std::wstring_view(quid.c_str(), quid.GetLength()));
            if (m_taken.insert(candidate).second) {
                id = std::move(candidate);
                chain.pop_back();
                m_ids.emplace(at, id);
                break;
            }
        }
    }
    if (id.empty() && !chain.empty()) {
        // Nothing above has an id: the top of the chain is numbered on its own.
        id = "lum-e" + std::to_string(m_orphans++);
        m_ids.emplace(chain.back(), id);
        chain.pop_back();
    }
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
        if (id.size() > kMaxDerived) {
            // Deep below the last quid: numbered on its own rather than by an ever longer path.
            id = "lum-e" + std::to_string(m_orphans++);
        } else {
            const auto place = m_place.find(*at);
            id += "-m";
            id += std::to_string(place != m_place.end() ? place->second : 0);
        }
        m_ids.emplace(*at, id);
    }
    return m_ids.find(element)->second;
}

}  // namespace lum::xmi::detail
