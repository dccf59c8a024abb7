#pragma once
// UTF-8 helpers for hosts that write or sniff text: wide text to UTF-8, and
// whether a run of bytes is valid UTF-8.

#include <cstddef>
#include <string>

#include "lum/text/wstring.h"

namespace lum {

// Characters that are not Unicode scalar values become U+FFFD.
std::string ToUtf8(const std::wstring& text);
// True when every byte sequence is well-formed UTF-8 (no overlong forms,
// surrogates or values above U+10FFFF; a sequence cut at the end is invalid).
bool IsValidUtf8(const char* bytes, std::size_t count);

}  // namespace lum
