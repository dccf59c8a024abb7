#pragma once
// The byte decoders behind codepage.h. Each one turns bytes into wide
// characters until the input is used up or the output is full, and says how
// far it got, so that one driver (codepage.cpp) can count, fill a bounded
// buffer or append to a string with any of them.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace lum::platform::detail {

// wchar_t holds a whole code point here; nothing below makes surrogate pairs.
static_assert(sizeof(wchar_t) == 4, "the platform layer expects a 32-bit wchar_t");

inline constexpr wchar_t kReplacement = L'\xFFFD';

struct DecodeStep {
    std::size_t consumed = 0;  // bytes taken, always whole characters
    std::size_t produced = 0;  // wide characters written
    bool complete = false;     // input used up (and, for iconv, state flushed)
};

// UTF-8, invalid sequences replaced by U+FFFD one maximal subpart at a time.
DecodeStep DecodeUtf8(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity);
// The number of wide characters DecodeUtf8 gives for the whole input.
std::size_t CountUtf8(const unsigned char* in, std::size_t count);

// Appends the UTF-8 form of one code point; values that are not scalar
// values (surrogates, above U+10FFFF, negative) are written as U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);
// The same into `out`, which has room for 4 bytes; answers how many it wrote.
std::size_t PutUtf8(char* out, char32_t codePoint);
// The code point at text[at], a surrogate pair that arrived in two wide
// characters taken as one; `at` moves past what it took.
inline char32_t NextCodePoint(std::wstring_view text, std::size_t& at) {
    const auto ch = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[at++]));
    if (ch >= 0xD800 && ch <= 0xDBFF && at < text.size()) {
        const auto low = static_cast<char32_t>(text[at]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++at;
            return 0x10000 + ((ch - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return ch;
}
// Appends wide text as UTF-8, the one conversion every writer uses: a lone
// surrogate and anything beyond U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, std::wstring_view text);

// The two single-byte pages of our own: windows-1252 and ISO-8859-1.
wchar_t Cp1252ToWide(unsigned char byte);
DecodeStep DecodeCp1252(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity);
DecodeStep DecodeLatin1(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity);

// A code page converted by the C library's iconv. One converter per code
// page, kept for the life of the process; it carries shift state from one
// Decode call to the next, so a conversion starts with Reset().
class IconvDecoder {
public:
    // Null when iconv knows none of the page's names.
    static std::unique_ptr<IconvDecoder> Open(unsigned int codePage);
    ~IconvDecoder();
    IconvDecoder(const IconvDecoder&) = delete;
    IconvDecoder& operator=(const IconvDecoder&) = delete;

    void Reset();
    // Once the input is used up, the converter's pending state is flushed
    // into the output; `complete` is set only after that flush. A later call
    // with the rest of the input picks up where this one stopped.
    DecodeStep Decode(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity);

private:
    explicit IconvDecoder(void* handle) : m_handle(handle) {}
    void* m_handle;  // iconv_t
};

// The other direction: wide characters to a code page through iconv.
class IconvEncoder {
public:
    static std::unique_ptr<IconvEncoder> Open(unsigned int codePage);
    ~IconvEncoder();
    IconvEncoder(const IconvEncoder&) = delete;
    IconvEncoder& operator=(const IconvEncoder&) = delete;

    // Appends the conversion of the whole input; answers how many characters
    // the page cannot hold (each written as '?').
    std::size_t Encode(const wchar_t* in, std::size_t count, std::string& out);

private:
    explicit IconvEncoder(void* handle) : m_handle(handle) {}
    void* m_handle;  // iconv_t
};

}  // namespace lum::platform::detail
