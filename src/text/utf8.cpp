#include "lum/text/utf8.h"

#include <cstdint>
#include <cstring>

#include "platform/decoders.h"
#include "text/json_quote.h"

namespace lum {

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    platform::detail::AppendUtf8(out, text);
    return out;
}

void AppendUtf8(std::string& out, std::wstring_view text) { platform::detail::AppendUtf8(out, text); }

WString FromUtf8(std::string_view utf8) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    WString text;
    text.resize(platform::detail::CountUtf8(bytes, utf8.size()));
    platform::detail::DecodeUtf8(bytes, utf8.size(), text.data(), text.size());
    return text;
}

namespace {

// Writes the JSON escape of an ASCII character that needs one (a quote, a
// backslash or a control character) into `out`; answers its length.
std::size_t PutJsonEscape(char* out, char c) {
    out[0] = '\\';
    switch (c) {
        case '"': out[1] = '"'; return 2;
        case '\\': out[1] = '\\'; return 2;
        case '\n': out[1] = 'n'; return 2;
        case '\r': out[1] = 'r'; return 2;
        case '\t': out[1] = 't'; return 2;
        default: break;
    }
    static constexpr char hex[] = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    out[1] = 'u';
    out[2] = '0';
    out[3] = '0';
    out[4] = hex[byte >> 4];
    out[5] = hex[byte & 15];
    return 6;
}

bool IsPlainJson(unsigned char byte) { return byte >= 0x20 && byte != '"' && byte != '\\'; }

}  // namespace

namespace detail {

std::size_t PutJsonQuoted(char* out, std::string_view utf8) {
    char* at = out;
    *at++ = '"';
    for (const char c : utf8) {
        if (IsPlainJson(static_cast<unsigned char>(c))) *at++ = c;
        else at += PutJsonEscape(at, c);
    }
    *at++ = '"';
    return static_cast<std::size_t>(at - out);
}

std::size_t PutJsonQuoted(char* out, std::wstring_view text) {
    char* at = out;
    *at++ = '"';
    for (std::size_t i = 0; i < text.size();) {
        const char32_t ch = platform::detail::NextCodePoint(text, i);
        if (ch < 0x80) {
            if (IsPlainJson(static_cast<unsigned char>(ch))) *at++ = static_cast<char>(ch);
            else at += PutJsonEscape(at, static_cast<char>(ch));
            continue;
        }
        at += platform::detail::PutUtf8(at, ch);
    }
    *at++ = '"';
    return static_cast<std::size_t>(at - out);
}

}  // namespace detail

namespace {

template <class Text>
void AppendQuoted(std::string& out, Text text) {
    const std::size_t at = out.size();
    out.resize(at + detail::JsonQuotedRoom(text.size()));
    out.resize(at + detail::PutJsonQuoted(out.data() + at, text));
}

}  // namespace

void AppendJsonQuoted(std::string& out, std::string_view utf8) { AppendQuoted(out, utf8); }

void AppendJsonQuoted(std::string& out, std::wstring_view text) { AppendQuoted(out, text); }

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
