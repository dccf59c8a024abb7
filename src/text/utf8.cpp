#include "lum/text/utf8.h"

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

std::string JsonQuote(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20) {
                    static constexpr char hex[] = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[byte >> 4];
                    out += hex[byte & 15];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

bool IsValidUtf8(const char* bytes, std::size_t count) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const auto* end = p + count;
    while (p < end) {
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
