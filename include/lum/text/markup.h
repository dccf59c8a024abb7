#pragma once
// Text in XML 1.0 and HTML documents, one escaper for every writer of
// markup: & < > " ' become references, so the result is safe as element
// content and as an attribute value in either quotes; a carriage return
// becomes &#13; (a parser would turn it into a line feed); characters XML
// does not allow (control characters other than tab, line feed and carriage
// return, lone surrogates, U+FFFE, U+FFFF) are left out. The result is UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

// Where the text goes. An attribute value also keeps its tabs and line
// feeds as references, which a parser would otherwise read as spaces.
enum class MarkupPlace : std::uint8_t { Content, Attribute };

void AppendMarkup(std::string& out, std::wstring_view text, MarkupPlace place = MarkupPlace::Content);
// UTF-8 input; an invalid sequence becomes U+FFFD.
void AppendMarkup(std::string& out, std::string_view utf8, MarkupPlace place = MarkupPlace::Content);
std::string Markup(std::wstring_view text, MarkupPlace place = MarkupPlace::Content);
std::string Markup(std::string_view utf8, MarkupPlace place = MarkupPlace::Content);

}  // namespace lum
LUM_API_END
