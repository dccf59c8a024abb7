#pragma once
// printf-style formatting of wide text as the reference platform's wide
// printf family does it: %s and %ls take a wide text, %S and %hs a narrow one
// (read as UTF-8), %c a wide character, %C and %hc a narrow one. Numbers are written without regard to the C locale (the
// decimal separator is always '.'). %n writes nothing and stores nothing.

#include <cstdarg>
#include <cstddef>

namespace lum::platform {

// Number of wide characters the formatted text needs, without the NUL.
std::size_t FormattedLength(const wchar_t* format, va_list args);

// Formats into `out`, which holds `capacity` characters including the NUL;
// a text too long is cut. Returns the length of the whole formatted text.
std::size_t FormatInto(wchar_t* out, std::size_t capacity, const wchar_t* format, va_list args);

}  // namespace lum::platform
