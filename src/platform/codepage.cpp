// Conversion of 8-bit text by code page. Every code page the library meets
// gets one entry, made on first use and kept until the process ends: which
// decoder serves it, and, once asked for, its table of single-byte results.
//
// 65001 (UTF-8), 1252 and 28591 (ISO-8859-1) have decoders of our own; all
// other pages go through iconv. A page that iconv cannot open is converted as
// 1252, the same stand-in that serves as the system's ANSI code page: a
// reader that meets an unknown page still gets every ASCII byte right and a
// plausible character for the others, rather than nothing.

#include "platform/codepage.h"

#include <map>
#include <memory>

#include "platform/decoders.h"

namespace lum::platform {

namespace {

using detail::DecodeStep;

constexpr unsigned int kUtf8 = 65001;
constexpr unsigned int kWindowsLatin1 = 1252;
constexpr unsigned int kIsoLatin1 = 28591;
// The symbolic pages "the ANSI code page" and "the thread's ANSI code page".
constexpr unsigned int kAnsiAlias = 0;
constexpr unsigned int kThreadAnsiAlias = 3;

class CodePage {
public:
    explicit CodePage(unsigned int codePage) {
        if (codePage == kAnsiAlias || codePage == kThreadAnsiAlias) codePage = ActiveAnsiCodePage();
        if (codePage == kUtf8) {
            m_kind = Kind::Utf8;
        } else if (codePage == kWindowsLatin1) {
            m_kind = Kind::Cp1252;
        } else if (codePage == kIsoLatin1) {
            m_kind = Kind::Latin1;
        } else {
            m_iconv = detail::IconvDecoder::Open(codePage);
            m_kind = m_iconv ? Kind::Iconv : Kind::Cp1252;  // unknown page: see above
        }
    }

    // Every conversion starts in the initial shift state.
    void Begin() {
        if (m_iconv) m_iconv->Reset();
    }

    DecodeStep Decode(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity) {
        switch (m_kind) {
            case Kind::Utf8: return detail::DecodeUtf8(in, count, out, capacity);
            case Kind::Cp1252: return detail::DecodeCp1252(in, count, out, capacity);
            case Kind::Latin1: return detail::DecodeLatin1(in, count, out, capacity);
            case Kind::Iconv: break;
        }
        return m_iconv->Decode(in, count, out, capacity);
    }

    std::size_t Count(const unsigned char* in, std::size_t count) {
        if (m_kind == Kind::Utf8) return detail::CountUtf8(in, count);
        if (m_kind != Kind::Iconv) return count;
        wchar_t scratch[256];
        std::size_t total = 0;
        for (std::size_t done = 0;;) {
            const DecodeStep step = m_iconv->Decode(in + done, count - done, scratch, std::size(scratch));
            done += step.consumed;
            total += step.produced;
            if (step.complete) return total;
        }
    }

    const wchar_t* SingleByteTable() {
        if (!m_singleBytes) BuildSingleByteTable();
        return m_singleBytes.get();
    }

    bool AsciiTransparent() {
        if (m_kind != Kind::Iconv) return true;
        if (m_asciiTransparent < 0) m_asciiTransparent = CheckAsciiTransparent() ? 1 : 0;
        return m_asciiTransparent == 1;
    }

private:
    enum class Kind { Utf8, Cp1252, Latin1, Iconv };

    void BuildSingleByteTable() {
        auto table = std::make_unique<wchar_t[]>(256);
        for (unsigned int byte = 1; byte < 256; ++byte) {
            const unsigned char in = static_cast<unsigned char>(byte);
            wchar_t out[4];
            Begin();
            const DecodeStep step = Decode(&in, 1, out, std::size(out));
            table[byte] = step.produced > 0 ? out[0] : L'\0';
        }
        m_singleBytes = std::move(table);
    }

    // Each byte below 0x80 alone and all of them in a row must give the
    // character of the same value; a page with shift sequences fails here.
    bool CheckAsciiTransparent() {
        const wchar_t* table = SingleByteTable();
        unsigned char ascii[127];
        for (unsigned int byte = 1; byte < 128; ++byte) {
            if (table[byte] != static_cast<wchar_t>(byte)) return false;
            ascii[byte - 1] = static_cast<unsigned char>(byte);
        }
        wchar_t wide[std::size(ascii) + 1];
        Begin();
        const DecodeStep step = Decode(ascii, std::size(ascii), wide, std::size(wide));
        if (!step.complete || step.produced != std::size(ascii)) return false;
        for (std::size_t i = 0; i < std::size(ascii); ++i) {
            if (wide[i] != static_cast<wchar_t>(ascii[i])) return false;
        }
        return true;
    }

    Kind m_kind = Kind::Cp1252;
    std::unique_ptr<detail::IconvDecoder> m_iconv;
    std::unique_ptr<wchar_t[]> m_singleBytes;
    int m_asciiTransparent = -1;  // -1: not checked yet
};

// The pages met so far. The library is single-threaded, so the cache is not
// guarded; it is released with the other statics at exit.
class CodePages {
public:
    CodePage& Get(unsigned int codePage) {
        if (m_last != nullptr && codePage == m_lastCodePage) return *m_last;
        std::unique_ptr<CodePage>& slot = m_pages[codePage];
        if (!slot) slot = std::make_unique<CodePage>(codePage);
        m_last = slot.get();
        m_lastCodePage = codePage;
        return *m_last;
    }

private:
    std::map<unsigned int, std::unique_ptr<CodePage>> m_pages;
    CodePage* m_last = nullptr;
    unsigned int m_lastCodePage = 0;
};

CodePage& Page(unsigned int codePage) {
    // Decoders keep state between calls, so each thread has its own.
    thread_local CodePages pages;
    return pages.Get(codePage);
}

// ConvertSingleByte runs once per non-ASCII byte in the lexer; it keeps the
// table of the page it served last at hand.
thread_local const wchar_t* t_singleByteTable = nullptr;
thread_local unsigned int t_singleByteCodePage = 0;

const unsigned char* AsBytes(const char* bytes) { return reinterpret_cast<const unsigned char*>(bytes); }

}  // namespace

unsigned int ActiveAnsiCodePage() { return kWindowsLatin1; }

std::size_t MultiByteToWide(unsigned int codePage, const char* bytes, std::size_t count, wchar_t* out,
                            std::size_t capacity) {
    if (count == 0) return 0;
    CodePage& page = Page(codePage);
    page.Begin();
    if (capacity == 0) return page.Count(AsBytes(bytes), count);
    return page.Decode(AsBytes(bytes), count, out, capacity).produced;
}

void AppendMultiByte(std::wstring& out, unsigned int codePage, const char* bytes, std::size_t count) {
    if (count == 0) return;
    CodePage& page = Page(codePage);
    const unsigned char* in = AsBytes(bytes);
    std::size_t done = 0;

    if (page.AsciiTransparent()) {
        while (done < count && in[done] < 0x80) ++done;
        // Some pages (1255, 1258) join a letter and the combining mark after
        // it into one character, so the last ASCII byte before other bytes
        // is left to the decoder.
        if (done < count && done > 0) --done;
        const std::size_t start = out.size();
        out.resize(start + done);
        wchar_t* to = out.data() + start;
        for (std::size_t i = 0; i < done; ++i) to[i] = static_cast<wchar_t>(in[i]);
        if (done == count) return;
    }

    // No page here gives more characters than bytes, but iconv is not bound
    // to that: a step that cannot move on for lack of room gets more.
    std::size_t slack = 16;
    page.Begin();
    while (true) {
        const std::size_t start = out.size();
        const std::size_t room = count - done + slack;
        out.resize(start + room);
        const DecodeStep step = page.Decode(in + done, count - done, out.data() + start, room);
        out.resize(start + step.produced);
        done += step.consumed;
        if (step.complete) return;
        if (step.consumed == 0 && step.produced == 0) slack *= 2;
    }
}

wchar_t ConvertSingleByte(unsigned int codePage, unsigned char byte) {
    if (t_singleByteTable == nullptr || codePage != t_singleByteCodePage) {
        t_singleByteTable = Page(codePage).SingleByteTable();
        t_singleByteCodePage = codePage;
    }
    return t_singleByteTable[byte];
}

bool IsAsciiTransparent(unsigned int codePage) { return Page(codePage).AsciiTransparent(); }

}  // namespace lum::platform
