// Wide text to the bytes of a code page: the reverse of codepage.cpp, used
// when a model is written back.

#include <map>
#include <memory>

#include "platform/codepage.h"
#include "platform/decoders.h"

namespace lum::platform {

namespace {

constexpr unsigned int kUtf8 = 65001;
constexpr unsigned int kWindowsLatin1 = 1252;
constexpr unsigned int kLatin1 = 28591;

// The bytes 0x80..0x9F of 1252 by the character they stand for.
unsigned char Cp1252High(wchar_t ch) {
    for (unsigned int byte = 0x80; byte < 0xA0; ++byte) {
        if (detail::Cp1252ToWide(static_cast<unsigned char>(byte)) == ch) return static_cast<unsigned char>(byte);
    }
    return 0;
}

std::size_t AppendSingleByte(std::string& out, bool cp1252, const wchar_t* text, std::size_t count) {
    std::size_t replaced = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const wchar_t ch = text[i];
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF) || (!cp1252 && ch <= 0xFF)) {
            out += static_cast<char>(ch);
            continue;
        }
        const unsigned char byte = cp1252 ? Cp1252High(ch) : 0;
        if (byte != 0) {
            out += static_cast<char>(byte);
        } else {
            out += '?';
            ++replaced;
        }
    }
    return replaced;
}

// One encoder per page met, for the life of the process (the library is
// single-threaded); null where iconv does not know the page.
detail::IconvEncoder* EncoderOf(unsigned int codePage) {
    static std::map<unsigned int, std::unique_ptr<detail::IconvEncoder>> encoders;
    const auto [slot, added] = encoders.try_emplace(codePage);
    if (added) slot->second = detail::IconvEncoder::Open(codePage);
    return slot->second.get();
}

}  // namespace

std::size_t AppendWide(std::string& out, unsigned int codePage, const wchar_t* text, std::size_t count) {
    // Plain ASCII is the same in every page we write; most texts are.
    std::size_t ascii = 0;
    while (ascii < count && text[ascii] < 0x80 && text[ascii] >= 0) ++ascii;
    out.append(text, text + ascii);
    if (ascii == count) return 0;
    text += ascii;
    count -= ascii;
    if (codePage == kUtf8) {
        detail::AppendUtf8(out, std::wstring_view(text, count));
        return 0;
    }
    if (codePage == kLatin1) return AppendSingleByte(out, false, text, count);
    if (codePage != kWindowsLatin1) {
        if (detail::IconvEncoder* encoder = EncoderOf(codePage)) return encoder->Encode(text, count, out);
    }
    return AppendSingleByte(out, true, text, count);
}

}  // namespace lum::platform
