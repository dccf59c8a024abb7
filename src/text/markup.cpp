#include "lum/text/markup.h"

#include "platform/decoders.h"

namespace lum {

namespace {

bool AllowedInXml(char32_t c) {
    if (c < 0x20) return c == 0x9 || c == 0xA || c == 0xD;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

void AppendCharacter(std::string& out, char32_t c, MarkupPlace place) {
    const bool attribute = place == MarkupPlace::Attribute;
    switch (c) {
        case '&': out += "&amp;"; return;
        case '<': out += "&lt;"; return;
        case '>': out += "&gt;"; return;
        case '"': out += "&quot;"; return;
        // Not &apos;, which HTML 4 does not know.
        case '\'': out += "&#39;"; return;
        case '\r': out += "&#13;"; return;
        case '\t': out += attribute ? "&#9;" : "\t"; return;
        case '\n': out += attribute ? "&#10;" : "\n"; return;
        default: break;
    }
    if (c < 0x80) {
        if (c >= 0x20) out += static_cast<char>(c);
    } else if (AllowedInXml(c)) {
        platform::detail::AppendUtf8(out, c);
    }
}

}  // namespace

void AppendMarkup(std::string& out, std::wstring_view text, MarkupPlace place) {
    out.reserve(out.size() + text.size());
    for (std::size_t at = 0; at < text.size();) AppendCharacter(out, platform::detail::NextCodePoint(text, at), place);
}

void AppendMarkup(std::string& out, std::string_view utf8, MarkupPlace place) {
    out.reserve(out.size() + utf8.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t at = 0; at < utf8.size();) {
        wchar_t c = static_cast<wchar_t>(bytes[at]);
        if (bytes[at] < 0x80) ++at;
        else at += platform::detail::DecodeUtf8(bytes + at, utf8.size() - at, &c, 1).consumed;
        AppendCharacter(out, static_cast<char32_t>(c), place);
    }
}

std::string Markup(std::wstring_view text, MarkupPlace place) {
    std::string out;
    AppendMarkup(out, text, place);
    return out;
}

std::string Markup(std::string_view utf8, MarkupPlace place) {
    std::string out;
    AppendMarkup(out, utf8, place);
    return out;
}

}  // namespace lum
