#pragma once
// Conversion of 8-bit text to wide text by code page: the one place where the
// library meets the system's character sets.
//
// 65001 (UTF-8) and 1252 are converted by our own tables and 28591 is
// Latin-1; every other code page goes through the C library's iconv under its
// Windows name. A code page iconv does not know is converted as 1252.
// Bytes that do not form a character become U+FFFD and conversion goes on.

#include <cstddef>
#include <string>

namespace lum::platform {

// What stands in for the active ANSI code page of the system: 1252.
unsigned int ActiveAnsiCodePage();

// Converts `count` bytes (a NUL byte is an ordinary character here) in the
// manner of the platform's multi-byte to wide conversion: with `capacity` 0
// returns the number of wide characters needed; otherwise writes at most
// `capacity` characters to `out` and returns how many it wrote.
std::size_t MultiByteToWide(unsigned int codePage, const char* bytes, std::size_t count, wchar_t* out,
                            std::size_t capacity);

// Appends the conversion of `count` bytes to `out`.
void AppendMultiByte(std::wstring& out, unsigned int codePage, const char* bytes, std::size_t count);

// What one byte converts to when it stands alone: a character, or 0 when
// the byte alone gives nothing (NUL). Table-driven after the first call.
wchar_t ConvertSingleByte(unsigned int codePage, unsigned char byte);

// True when every byte below 0x80 converts to the character of the same value.
bool IsAsciiTransparent(unsigned int codePage);

// The reverse direction, wide text to bytes of `codePage`: appends the
// conversion of `count` characters to `out` and answers how many of them the
// page cannot hold; each of those is written as '?'. 65001, 1252 and 28591
// are converted by our own code, the rest through iconv (a page iconv does
// not know is written as 1252, the page it is read as).
std::size_t AppendWide(std::string& out, unsigned int codePage, const wchar_t* text, std::size_t count);

}  // namespace lum::platform
