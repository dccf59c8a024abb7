#include "lum/text/wstring.h"

#include <cstring>
#include <cwctype>
#include <iostream>
#include <memory>
#include <new>

#include "platform/codepage.h"
#include "platform/wide_format.h"

namespace lum {

constinit std::atomic<unsigned int> WString::m_nLocalePage{65001};

namespace {

// The buffers of 8-bit conversion: a wide buffer that only grows, and a
// two-byte buffer that turns one char into a NUL-terminated text. Each
// thread has its own.
struct tConversionBuffers {
    std::unique_ptr<wchar_t[]> wide{new wchar_t[1024]};
    std::size_t wideSize = 1024;
    char single[2] = {0, 0};
};

tConversionBuffers& Buffers() {
    thread_local tConversionBuffers buffers;
    return buffers;
}

// Converts the NUL-terminated `text` in the current code page; the result is
// valid until the next conversion.
const wchar_t* Convert(const char* text) {
    if (text == nullptr) text = "";
    const std::size_t bytes = std::strlen(text) + 1;  // with the NUL
    const unsigned int page = WString::GetLocalePage();
    const std::size_t needed = platform::MultiByteToWide(page, text, bytes, nullptr, 0);
    tConversionBuffers& buffers = Buffers();
    if (buffers.wideSize <= needed) {
        buffers.wideSize = 2 * needed;
        buffers.wide.reset(new wchar_t[buffers.wideSize]);
    }
    const std::size_t written = platform::MultiByteToWide(page, text, bytes, buffers.wide.get(), buffers.wideSize);
    buffers.wide[written == 0 ? 0 : written - 1] = L'\0';
    return buffers.wide.get();
}

const wchar_t* ConvertByte(char byte) {
    tConversionBuffers& buffers = Buffers();
    buffers.single[0] = byte;
    buffers.single[1] = '\0';
    return Convert(buffers.single);
}

bool LessByUnsignedUnits(const WString& a, const WString& b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<std::make_unsigned_t<wchar_t>>(a[i]);
        const auto cb = static_cast<std::make_unsigned_t<wchar_t>>(b[i]);
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

}  // namespace

WString::WString(const char* text) : std::wstring(Convert(text)) {}

WString::WString(char byte) : std::wstring(ConvertByte(byte)) {}

WString& WString::operator=(const std::wstring& other) {
    if (this != &other) std::wstring::operator=(other);
    return *this;
}

WString& WString::operator=(const wchar_t* text) {
    std::wstring::operator=(text);
    return *this;
}

WString& WString::operator=(const char* text) {
    std::wstring::operator=(Convert(text));
    return *this;
}

WString& WString::operator=(wchar_t ch) {
    assign(1, ch);
    return *this;
}

WString& WString::operator+=(wchar_t ch) {
    push_back(ch);
    return *this;
}

WString& WString::operator+=(char byte) {
    append(ConvertByte(byte));
    return *this;
}

WString& WString::operator+=(const WString& other) {
    append(other);
    return *this;
}

WString& WString::operator+=(const wchar_t* text) {
    append(text);
    return *this;
}

WString& WString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
    return *this;
}

WString& WString::FormatV(const wchar_t* format, va_list args) {
    va_list counting;
    va_copy(counting, args);
    const std::size_t length = platform::FormattedLength(format, counting);
    va_end(counting);
    try {
        const std::size_t capacity = 2 * (length + 1);
        std::unique_ptr<wchar_t[]> buffer(new wchar_t[capacity]);
        va_list writing;
        va_copy(writing, args);
        platform::FormatInto(buffer.get(), capacity, format, writing);
        va_end(writing);
        assign(buffer.get(), length);
    } catch (const std::bad_alloc& e) {
        std::wcerr << e.what() << std::endl;
    }
    return *this;
}

WString& WString::MakeLower() {
    for (wchar_t& c : *this) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return *this;
}

WString& WString::MakeUpper() {
    for (wchar_t& c : *this) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return *this;
}

namespace {

// Lower case of one character; plain ASCII without a call into the C library.
wint_t Lower(wchar_t c) {
    if (c < 0x80) return static_cast<wint_t>(c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c);
    return std::towlower(static_cast<wint_t>(c));
}

}  // namespace

bool WString::Match(const wchar_t* a, const wchar_t* b, bool caseSensitive) {
    if (a == nullptr || b == nullptr) return false;
    if (a == b) return true;
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (*a == *b) continue;
        if (caseSensitive || Lower(*a) != Lower(*b)) return false;
    }
    return *a == L'\0' && *b == L'\0';
}

bool WString::Match(const WString& a, const wchar_t* b, bool caseSensitive) {
    return Match(a.c_str(), b, caseSensitive);
}

bool WString::Match(const WString& a, const WString& b, bool caseSensitive) {
    if (&a == &b) return true;
    return Match(a.c_str(), b.c_str(), caseSensitive);
}

WString WString::Trim(const WString& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::iswspace(static_cast<wint_t>(text[first]))) ++first;
    while (last > first && std::iswspace(static_cast<wint_t>(text[last - 1]))) --last;
    return WString(text.c_str() + first, last - first);
}

void WString::Split(const WString& text, std::vector<WString>& out, const wchar_t* separators) {
    if (separators == nullptr || *separators == L'\0') {
        out.push_back(text);
        return;
    }
    WString piece;
    auto flush = [&]() {
        if (piece.empty()) return;
        WString trimmed = Trim(piece);
        if (!trimmed.empty()) out.push_back(std::move(trimmed));
        piece.clear();
    };
    for (wchar_t c : text) {
        if (std::wcschr(separators, c) != nullptr && c != L'\0') {
            flush();
        } else {
            piece.push_back(c);
        }
    }
    flush();
}

bool WString::IsIntegerNumber(const WString& text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
        if (!std::iswdigit(static_cast<wint_t>(text[i]))) return false;
    }
    return true;
}

bool WString::IsRealNumber(const WString& text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] == L'.') {
            if (point) return false;
            point = true;
        } else if (std::iswdigit(static_cast<wint_t>(text[i]))) {
            digit = true;
        } else {
            return false;
        }
    }
    return digit;
}

void WString::Encode(const WString& value, WString& out) { out = value; }

namespace {

thread_local unsigned int t_nThreadLocalePage = 0;

}  // namespace

void WString::SetLocalePage(unsigned int codePage) { m_nLocalePage.store(codePage, std::memory_order_relaxed); }

void WString::SetThreadLocalePage(unsigned int codePage) { t_nThreadLocalePage = codePage; }

unsigned int WString::GetLocalePage() {
    return t_nThreadLocalePage != 0 ? t_nThreadLocalePage : m_nLocalePage.load(std::memory_order_relaxed);
}

bool operator==(const WString& a, const WString& b) {
    return &a == &b || (a.size() == b.size() && std::wmemcmp(a.data(), b.data(), a.size()) == 0);
}

bool operator==(const WString& a, const wchar_t* b) { return b != nullptr && a.compare(b) == 0; }

bool operator!=(const WString& a, const WString& b) { return !(a == b); }

bool operator<(const WString& a, const WString& b) { return LessByUnsignedUnits(a, b); }

bool operator>(const WString& a, const WString& b) { return LessByUnsignedUnits(b, a); }

bool operator<=(const WString& a, const WString& b) { return a == b || a < b; }

bool operator>=(const WString& a, const WString& b) { return b <= a; }

}  // namespace lum
