// Code pages other than our own, converted by the C library's iconv into
// WCHAR_T (code points in host order, no byte order mark).
//
// iconv knows the Windows pages under names of its own; each code page has a
// short list of names tried in order. Input that iconv refuses, or that the
// end of the text cuts short, becomes U+FFFD for its first byte; the
// converter is then returned to its initial state and goes on with the next
// byte.
//
// iconv's converters for 1255 and 1258 join a letter and a following
// combining mark into one precomposed character where there is one; the
// reference platform leaves the two apart.

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/decoders.h"

namespace lum::platform::detail {

namespace {

struct PageNames {
    unsigned int codePage;
    const char* names[2];
};

// Pages whose iconv names are not simply "CP<n>" (or that have a second,
// older name worth trying).
constexpr PageNames kKnownNames[] = {
    {874, {"CP874", "WINDOWS-874"}},     {932, {"CP932", "WINDOWS-31J"}},
    {936, {"CP936", "GBK"}},             {949, {"CP949", "UHC"}},
    {950, {"CP950", "BIG5"}},            {1361, {"CP1361", "JOHAB"}},
    {20127, {"ASCII", nullptr}},         {20866, {"KOI8-R", nullptr}},
    {21866, {"KOI8-U", nullptr}},        {20932, {"EUC-JP", nullptr}},
    {51932, {"EUC-JP", nullptr}},        {51936, {"GB2312", nullptr}},
    {51949, {"EUC-KR", nullptr}},        {54936, {"GB18030", nullptr}},
    {50220, {"ISO-2022-JP", nullptr}},   {50221, {"ISO-2022-JP", nullptr}},
    {50222, {"ISO-2022-JP", nullptr}},   {50225, {"ISO-2022-KR", nullptr}},
    {65000, {"UTF-7", nullptr}},         {10000, {"MACINTOSH", nullptr}},
    {28603, {"ISO-8859-13", nullptr}},   {28605, {"ISO-8859-15", nullptr}},
};

// Converts from the page to wide characters, or the other way round.
iconv_t OpenByName(const char* name, bool toWide) {
    return toWide ? iconv_open("WCHAR_T", name) : iconv_open(name, "WCHAR_T");
}

iconv_t OpenCodePage(unsigned int codePage, bool toWide = true) {
    const iconv_t failed = reinterpret_cast<iconv_t>(-1);
    for (const PageNames& entry : kKnownNames) {
        if (entry.codePage != codePage) continue;
        for (const char* name : entry.names) {
            if (name == nullptr) continue;
            const iconv_t handle = OpenByName(name, toWide);
            if (handle != failed) return handle;
        }
    }
    char name[32];
    if (codePage >= 28592 && codePage <= 28599) {
        std::snprintf(name, sizeof name, "ISO-8859-%u", codePage - 28590);
        return OpenByName(name, toWide);
    }
    for (const char* pattern : {"CP%u", "WINDOWS-%u", "CP%03u"}) {
        std::snprintf(name, sizeof name, pattern, codePage);
        const iconv_t handle = OpenByName(name, toWide);
        if (handle != failed) return handle;
    }
    return failed;
}

}  // namespace

std::unique_ptr<IconvDecoder> IconvDecoder::Open(unsigned int codePage) {
    const iconv_t handle = OpenCodePage(codePage);
    if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return std::unique_ptr<IconvDecoder>(new IconvDecoder(handle));
}

IconvDecoder::~IconvDecoder() { iconv_close(static_cast<iconv_t>(m_handle)); }

void IconvDecoder::Reset() { iconv(static_cast<iconv_t>(m_handle), nullptr, nullptr, nullptr, nullptr); }

DecodeStep IconvDecoder::Decode(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity) {
    const iconv_t cd = static_cast<iconv_t>(m_handle);
    const std::size_t failed = static_cast<std::size_t>(-1);
    // iconv's interface is not const-correct; it never writes the input.
    char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in));
    std::size_t inLeft = count;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = capacity * sizeof(wchar_t);
    bool complete = false;

    while (true) {
        if (inLeft == 0) {
            // Emits what a stateful converter still holds back (a base letter
            // waiting for a combining mark, say) and returns to the initial state.
            complete = iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != failed;
            break;
        }
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != failed) continue;
        if (errno != EILSEQ && errno != EINVAL) break;  // E2BIG: the output is full
        // Keep what was held back before the bad byte, then replace that byte.
        if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == failed) break;
        if (outLeft < sizeof(wchar_t)) break;
        std::memcpy(outPtr, &kReplacement, sizeof(wchar_t));
        outPtr += sizeof(wchar_t);
        outLeft -= sizeof(wchar_t);
        ++inPtr;
        --inLeft;
    }
    return {count - inLeft, capacity - outLeft / sizeof(wchar_t), complete};
}

std::unique_ptr<IconvEncoder> IconvEncoder::Open(unsigned int codePage) {
    const iconv_t handle = OpenCodePage(codePage, false);
    if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return std::unique_ptr<IconvEncoder>(new IconvEncoder(handle));
}

IconvEncoder::~IconvEncoder() { iconv_close(static_cast<iconv_t>(m_handle)); }

std::size_t IconvEncoder::Encode(const wchar_t* in, std::size_t count, std::string& out) {
    const iconv_t cd = static_cast<iconv_t>(m_handle);
    const std::size_t failed = static_cast<std::size_t>(-1);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in));
    std::size_t inLeft = count * sizeof(wchar_t);
    std::size_t replaced = 0;
    char buffer[1024];
    while (true) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const bool flushing = inLeft == 0;
        const std::size_t result =
            flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft) : iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != failed) {
            if (flushing) break;
            continue;
        }
        if (error == E2BIG) continue;
        if (flushing) break;
        // A character the page cannot hold: a question mark, as the
        // platform's converter writes by default.
        out += '?';
        ++replaced;
        inPtr += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
    }
    return replaced;
}

}  // namespace lum::platform::detail
