// UTF-8 in both directions, for code page 65001 and for file names.
//
// Decoding follows the Unicode "maximal subpart" practice: a byte that
// cannot start a sequence, a stray continuation byte, and the longest
// prefix of a sequence that breaks off (or is cut by the end of the input)
// each become one U+FFFD, and decoding resumes right after it. Overlong
// forms, surrogates and values above U+10FFFF are refused at their second
// byte, so they never form a prefix and every byte of them is replaced.

#include "platform/decoders.h"

namespace lum::platform::detail {

namespace {

struct LeadByte {
    unsigned char length;  // bytes in the sequence; 0: cannot start one
    unsigned char low;     // range allowed for the second byte
    unsigned char high;
};

constexpr LeadByte ClassifyLead(unsigned char b) {
    if (b < 0xC2) return {0, 0, 0};  // continuation bytes and overlong C0 / C1
    if (b < 0xE0) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};  // E0 80..9F would be overlong
    if (b == 0xED) return {3, 0x80, 0x9F};  // ED A0..BF would be a surrogate
    if (b < 0xF0) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};  // F0 80..8F would be overlong
    if (b < 0xF4) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};  // F4 90.. would pass U+10FFFF
    return {0, 0, 0};
}

// Reads the character starting at p (p < end, *p >= 0x80); returns the
// number of bytes it takes.
inline std::size_t ReadMultiByte(const unsigned char* p, const unsigned char* end, wchar_t& ch) {
    const LeadByte lead = ClassifyLead(*p);
    const std::size_t available = static_cast<std::size_t>(end - p);
    if (lead.length == 0 || available < 2 || p[1] < lead.low || p[1] > lead.high) {
        ch = kReplacement;
        return 1;
    }
    char32_t value = static_cast<char32_t>(*p & (0x7F >> lead.length));
    value = (value << 6) | (p[1] & 0x3F);
    for (std::size_t i = 2; i < lead.length; ++i) {
        if (i >= available || (p[i] & 0xC0) != 0x80) {
            ch = kReplacement;
            return i;
        }
        value = (value << 6) | (p[i] & 0x3F);
    }
    ch = static_cast<wchar_t>(value);
    return lead.length;
}

}  // namespace

DecodeStep DecodeUtf8(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity) {
    const unsigned char* p = in;
    const unsigned char* const end = in + count;
    wchar_t* o = out;
    wchar_t* const oEnd = out + capacity;
    while (p < end && o < oEnd) {
        if (*p < 0x80) {
            *o++ = static_cast<wchar_t>(*p++);
            continue;
        }
        p += ReadMultiByte(p, end, *o);
        ++o;
    }
    return {static_cast<std::size_t>(p - in), static_cast<std::size_t>(o - out), p == end};
}

std::size_t CountUtf8(const unsigned char* in, std::size_t count) {
    const unsigned char* p = in;
    const unsigned char* const end = in + count;
    std::size_t characters = 0;
    wchar_t ignored;
    while (p < end) {
        p += *p < 0x80 ? 1 : ReadMultiByte(p, end, ignored);
        ++characters;
    }
    return characters;
}

std::size_t PutUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
    std::size_t length = 0;
    if (cp < 0x800) {
        out[length++] = static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        out[length++] = static_cast<char>(0xE0 | (cp >> 12));
        out[length++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        out[length++] = static_cast<char>(0xF0 | (cp >> 18));
        out[length++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out[length++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out[length++] = static_cast<char>(0x80 | (cp & 0x3F));
    return length;
}

void AppendUtf8(std::string& out, char32_t cp) {
    char bytes[4];
    out.append(bytes, PutUtf8(bytes, cp));
}

void AppendUtf8(std::string& out, std::wstring_view text) {
    out.reserve(out.size() + text.size());
    for (std::size_t at = 0; at < text.size();) {
        // Plain ASCII, most of any model, a byte each.
        if (static_cast<std::make_unsigned_t<wchar_t>>(text[at]) < 0x80) {
            out += static_cast<char>(text[at++]);
            continue;
        }
        AppendUtf8(out, NextCodePoint(text, at));
    }
}

}  // namespace lum::platform::detail
