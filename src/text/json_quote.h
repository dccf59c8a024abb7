#pragma once
// JSON string literals written straight into a buffer that has room for
// them: the writers of large documents size their buffer once per value
// instead of growing it a character at a time.

#include <cstddef>
#include <string_view>

namespace lum::detail {

// The most bytes a literal of `length` characters can take: each character
// escaped as \u00XX (six bytes; a UTF-8 form takes at most four), and the quotes.
constexpr std::size_t JsonQuotedRoom(std::size_t length) { return 6 * length + 2; }

// Writes the literal, quotes included, into `out`, which has
// JsonQuotedRoom(length) bytes; answers how many it wrote. Quotes,
// backslashes and control characters are escaped; wide text becomes UTF-8,
// with characters that are not Unicode scalar values as U+FFFD.
std::size_t PutJsonQuoted(char* out, std::string_view utf8);
std::size_t PutJsonQuoted(char* out, std::wstring_view text);

}  // namespace lum::detail
