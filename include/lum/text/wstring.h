#pragma once
// WString: the library's wide string. A std::wstring with conversion from
// 8-bit text through a code page (process-wide, or the calling thread's), printf-style formatting in
// which %s takes a wide text, case folding, trimming, splitting and number
// syntax tests.

#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <string>
#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class WString : public std::wstring {
public:
    WString() = default;
    WString(const WString&) = default;
    WString(WString&&) noexcept = default;
    WString(const std::wstring& other) : std::wstring(other) {}
    WString(std::wstring&& other) noexcept : std::wstring(std::move(other)) {}
    WString(const wchar_t* text) : std::wstring(text) {}
    WString(const wchar_t* text, size_type length) : std::wstring(text, length) {}
    // Converted from the code page GetLocalePage(); a null pointer gives "".
    WString(const char* text);
    // One byte converted from the code page GetLocalePage().
    explicit WString(char byte);

    WString& operator=(const WString&) = default;
    WString& operator=(WString&&) noexcept = default;
    WString& operator=(const std::wstring& other);
    WString& operator=(const wchar_t* text);
    WString& operator=(const char* text);
    WString& operator=(wchar_t ch);

    WString& operator+=(wchar_t ch);
    WString& operator+=(char byte);
    WString& operator+=(const WString& other);
    WString& operator+=(const wchar_t* text);

    // Replaces the contents by the formatted text. %s takes a wide text,
    // %hs a narrow one, %d an int, %f a double; numbers ignore the C locale.
    WString& Format(const wchar_t* format, ...);
    WString& FormatV(const wchar_t* format, va_list args);

    // towlower / towupper on every code unit, in place.
    WString& MakeLower();
    WString& MakeUpper();

    // Whole-text equality, optionally folding case; false if either is null.
    static bool Match(const wchar_t* a, const wchar_t* b, bool caseSensitive);
    static bool Match(const WString& a, const wchar_t* b, bool caseSensitive);
    static bool Match(const WString& a, const WString& b, bool caseSensitive);

    // The text without leading and trailing white space (iswspace).
    static WString Trim(const WString& text);
    // Appends the trimmed, non-empty pieces of `text` cut at any of the
    // single-character separators; with no separators appends `text` whole.
    static void Split(const WString& text, std::vector<WString>& out, const wchar_t* separators);

    // [+-]digits, nothing else.
    static bool IsIntegerNumber(const WString& text);
    // [+-] then digits with at most one '.', at least one digit.
    static bool IsRealNumber(const WString& text);

    // The text codec of string-valued features: out = value.
    static void Encode(const WString& value, WString& out);

    // The process-wide code page of 8-bit text.
    static void SetLocalePage(unsigned int codePage);
    // The calling thread's code page where one is set, else the process-wide one.
    static unsigned int GetLocalePage();
    // Sets the code page for the calling thread only; 0 follows the
    // process-wide one again. Models read on several threads use this.
    static void SetThreadLocalePage(unsigned int codePage);

private:
    static std::atomic<unsigned int> m_nLocalePage;
};

// Order and equality by unsigned code unit value, case-sensitive.
bool operator==(const WString& a, const WString& b);
bool operator==(const WString& a, const wchar_t* b);
bool operator!=(const WString& a, const WString& b);
bool operator<(const WString& a, const WString& b);
bool operator>(const WString& a, const WString& b);
bool operator<=(const WString& a, const WString& b);
bool operator>=(const WString& a, const WString& b);

}  // namespace lum
LUM_API_END

template <>
struct std::hash<lum::WString> {
    std::size_t operator()(const lum::WString& s) const noexcept { return std::hash<std::wstring>{}(s); }
};
