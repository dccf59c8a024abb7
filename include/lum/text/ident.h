#pragma once
// ClumIdent: an interned identifier. Equal texts share one copy in a
// process-wide pool that is never shrunk, so equality, hashing and ordering
// compare pointers. The order is stable within a process but not alphabetical.

#include <cstddef>
#include <string_view>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumIdent {
public:
    ClumIdent();  // the empty text
    ClumIdent(const wchar_t* text);  // text must not be null
    ClumIdent(const WString& text);
    ClumIdent(const wchar_t* text, std::size_t length);  // the first `length` code units of text
    ClumIdent(const ClumIdent&) = default;

    ClumIdent& operator=(const wchar_t* text);
    ClumIdent& operator=(const WString& text);
    ClumIdent& operator=(const ClumIdent&) = default;

    bool operator==(const ClumIdent& other) const { return m_pText == other.m_pText; }
    bool operator!=(const ClumIdent& other) const { return m_pText != other.m_pText; }
    bool operator<(const ClumIdent& other) const { return Key() < other.Key(); }
    bool operator<=(const ClumIdent& other) const { return Key() <= other.Key(); }
    bool operator>(const ClumIdent& other) const { return Key() > other.Key(); }
    bool operator>=(const ClumIdent& other) const { return Key() >= other.Key(); }

    // Text comparison; false if either side is null.
    bool operator==(const wchar_t* text) const;
    bool operator!=(const wchar_t* text) const { return !(*this == text); }

    unsigned long Hash() const { return Key(); }
    std::size_t GetLength() const;  // kept with the text: no count of its characters
    const wchar_t* c_str() const { return m_pText == nullptr ? L"" : m_pText; }
    std::wstring_view View() const;
    // True only for an identifier that was never constructed (null text).
    bool operator!() const { return m_pText == nullptr; }

    static void Encode(const ClumIdent& value, WString& out);

private:
    unsigned long Key() const { return reinterpret_cast<unsigned long>(m_pText); }

    const wchar_t* m_pText;
};

}  // namespace lum
LUM_API_END

template <>
struct std::hash<lum::ClumIdent> {
    std::size_t operator()(const lum::ClumIdent& id) const noexcept { return id.Hash(); }
};
