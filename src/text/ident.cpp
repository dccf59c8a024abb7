#include "lum/text/ident.h"

#include <cwchar>

#include "text/ident_pool.h"

namespace lum {

namespace {

// The empty text, asked of the pool once: identifiers are default-made
// often, as out-parameters.
const wchar_t* EmptyText() {
    static const wchar_t* const empty = detail::Intern(L"", 0);
    return empty;
}

}  // namespace

ClumIdent::ClumIdent() : m_pText(EmptyText()) {}

ClumIdent::ClumIdent(const wchar_t* text) : m_pText(detail::Intern(text, std::wcslen(text))) {}

ClumIdent::ClumIdent(const WString& text) : m_pText(detail::Intern(text.data(), text.size())) {}

ClumIdent::ClumIdent(const wchar_t* text, std::size_t length) : m_pText(detail::Intern(text, length)) {}

ClumIdent& ClumIdent::operator=(const wchar_t* text) {
    m_pText = detail::Intern(text, std::wcslen(text));
    return *this;
}

ClumIdent& ClumIdent::operator=(const WString& text) {
    m_pText = detail::Intern(text.data(), text.size());
    return *this;
}

bool ClumIdent::operator==(const wchar_t* text) const {
    if (m_pText == text) return true;
    if (m_pText == nullptr || text == nullptr) return false;
    return std::wcscmp(m_pText, text) == 0;
}

std::size_t ClumIdent::GetLength() const { return m_pText == nullptr ? 0 : detail::InternedLength(m_pText); }

std::wstring_view ClumIdent::View() const { return {c_str(), GetLength()}; }

void ClumIdent::Encode(const ClumIdent& value, WString& out) { out.assign(value.c_str(), value.GetLength()); }

}  // namespace lum
