#pragma once
// File names: the library keeps them as wide text and hands them to the file
// system as UTF-8.

#include <string>

namespace lum::platform {

// The UTF-8 form of a wide file name; characters that cannot be encoded
// (lone surrogates, values above U+10FFFF) become U+FFFD.
std::string ToFileSystemName(const std::wstring& name);

}  // namespace lum::platform
