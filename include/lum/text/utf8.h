#pragma once
// UTF-8 helpers for hosts that write or sniff text: wide text to UTF-8 and
// back, joining texts, and whether a run of bytes is valid UTF-8. None of
// them looks at the code page of WString, so they are safe on any thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

// Wide text as UTF-8, the one conversion of every output: a surrogate pair
// is one character; what is not a Unicode scalar value becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
// The same appended to `out`.
void AppendUtf8(std::string& out, std::wstring_view text);
// Invalid sequences become U+FFFD, one maximal subpart at a time.
WString FromUtf8(std::string_view utf8);
// A JSON string literal, quotes included, of UTF-8 text: quotes,
// backslashes and control characters escaped.
std::string JsonQuote(std::string_view utf8);
// The same literal appended to `out`; of wide text, converted as ToUtf8 does.
void AppendJsonQuoted(std::string& out, std::string_view utf8);
void AppendJsonQuoted(std::string& out, std::wstring_view text);
// True when every byte sequence is well-formed UTF-8 (no overlong forms,
// surrogates or values above U+10FFFF; a sequence cut at the end is invalid).
bool IsValidUtf8(const char* bytes, std::size_t count);

// The parts with `separator` between them; parts before the first text add nothing.
inline std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

}  // namespace lum
LUM_API_END
