#include "lum/text/utf8.h"

#include <cstdint>
#include <cstring>

#include "platform/decoders.h"
#include "platform/file_names.h"

namespace lum {

std::string ToUtf8(const std::wstring& text) { return platform::ToFileSystemName(text); }

WString FromUtf8(std::string_view utf8) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    WString text;
    text.resize(platform::detail::CountUtf8(bytes, utf8.size()));
    platform::detail::DecodeUtf8(bytes, utf8.size(), text.data(), text.size());
    return text;
}

namespace {

// Appends one ASCII character, escaped where JSON needs it.
void AppendJsonAscii(std::string& out, char c) {
    switch (c) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20) {
        out += c;
        return;
    }
    static constexpr char hex[] = "0123456789abcdef";
    out += "\\u00";
    out += hex[byte >> 4];
    out += hex[byte & 15];
}

bool IsPlainJson(unsigned char byte) { return byte >= 0x20 && byte != '"' && byte != '\\'; }

}  // namespace

void AppendJsonQuoted(std::string& out, std::string_view utf8) {
    out += '"';
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Runs that need no escape go in one piece.
        std::size_t end = i;
        while (end < utf8.size() && IsPlainJson(static_cast<unsigned char>(utf8[end]))) ++end;
        out.append(utf8.data() + i, end - i);
        if (end == utf8.size()) break;
        AppendJsonAscii(out, utf8[end]);
        i = end + 1;
    }
    out += '"';
}

void AppendJsonQuoted(std::string& out, std::wstring_view text) {
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of plain ASCII are narrowed in one piece.
        std::size_t end = i;
        while (end < text.size() && static_cast<char32_t>(text[end]) < 0x80 &&
               IsPlainJson(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        if (end > i) {
            const std::size_t at = out.size();
            out.resize(at + (end - i));
            char* into = out.data() + at;
            for (std::size_t k = i; k < end; ++k) *into++ = static_cast<char>(text[k]);
            i = end;
            if (i == text.size()) break;
        }
        char32_t ch = static_cast<char32_t>(text[i]);
        if (ch < 0x80) {
            AppendJsonAscii(out, static_cast<char>(ch));
        } else {
            if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size()) {
                const char32_t low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    ch = 0x10000 + ((ch - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            platform::detail::AppendUtf8(out, ch);
        }
        ++i;
    }
    out += '"';
}

std::string JsonQuote(std::string_view utf8) {
    std::string out;
    AppendJsonQuoted(out, utf8);
    return out;
}

bool IsValidUtf8(const char* bytes, std::size_t count) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const auto* end = p + count;
    while (p < end) {
        // Plain ASCII, most of any model, eight bytes a step.
        for (std::uint64_t word; end - p >= 8; p += 8) {
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) != 0) break;
        }
        if (p == end) break;
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;  // range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) < length) return false;
        if (p[1] < low || p[1] > high) return false;
        for (std::size_t i = 2; i < length; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF) return false;
        }
        p += length;
    }
    return true;
}

}  // namespace lum
