#pragma once
// File names: the library keeps them as wide text and hands them to the file
// system as UTF-8.

#include <string>

namespace lum::platform {

// The UTF-8 form of a wide file name; characters that cannot be encoded
// (lone surrogates, values above U+10FFFF) become U+FFFD.
std::string ToFileSystemName(const std::wstring& name);

}  // namespace lum::platform

namespace lum::platform {

// The name under which a stored file name is found here: UTF-8, with
// backslashes as directory separators (models saved on Windows write them),
// and, when the file does not exist as written, each component matched
// without regard to case in its directory (such models come from
// case-insensitive file systems). When nothing matches, the name as written.
std::string FindFileName(const std::wstring& name);

}  // namespace lum::platform

namespace lum::platform {

// One spelling per file, for telling whether two stored names open the same
// file: the found name made absolute and free of "." and "..".
std::string CanonicalFileName(const std::wstring& name);

}  // namespace lum::platform
