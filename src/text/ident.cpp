#include "lum/text/ident.h"

#include <cwchar>

#include "text/ident_pool.h"

namespace lum {

ClumIdent::ClumIdent() : m_pText(detail::Intern(L"", 0)) {}

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

const wchar_t* ClumIdent::c_str() const { return m_pText == nullptr ? L"" : m_pText; }

void ClumIdent::Encode(const ClumIdent& value, WString& out) { out = value.c_str(); }

}  // namespace lum
