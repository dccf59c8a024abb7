// Choosing the code page a model is read in, when the user leaves it open.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include "lum/text/utf8.h"
#include "document/model_impl.h"

namespace lum {

namespace {

enum class tTextKind { Ascii, Utf8, Other };

// Whether any of the bytes is beyond ASCII; eight bytes a step, no branch.
bool HasBytesBeyondAscii(const char* bytes, std::size_t count) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= count; i += 8) {
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    for (; i < count; ++i) any |= static_cast<unsigned char>(bytes[i]);
    return (any & 0x8080808080808080ull) != 0;
}

// Whether the file is plain ASCII, valid UTF-8 with characters beyond ASCII,
// or neither. The file is read in blocks; a character cut by a block's end
// is carried to the front of the next block.
tTextKind KindOfText(const std::filesystem::path& file) {
    constexpr std::size_t kBlock = 1 << 20;
    bool beyondAscii = false;
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes(kBlock + 4);
    std::size_t carried = 0;
    while (in) {
        in.read(bytes.data() + carried, static_cast<std::streamsize>(kBlock));
        const std::size_t size = carried + static_cast<std::size_t>(in.gcount());
        std::size_t complete = size;
        // Back up over a character that may go on in the next block.
        for (std::size_t back = 1; in && back <= 3 && back <= size; ++back) {
            const auto byte = static_cast<unsigned char>(bytes[size - back]);
            if ((byte & 0xC0) == 0x80) continue;
            if (byte >= 0xC0) complete = size - back;
            break;
        }
        if (!IsValidUtf8(bytes.data(), complete)) return tTextKind::Other;
        beyondAscii = beyondAscii || HasBytesBeyondAscii(bytes.data(), complete);
        carried = size - complete;
        std::memmove(bytes.data(), bytes.data() + complete, carried);
    }
    return beyondAscii ? tTextKind::Utf8 : tTextKind::Ascii;
}

// The Windows code page of a header's character set number; 0 if unknown.
unsigned CodePageOfCharSet(long charSet) {
    switch (charSet) {
        case 0: return 1252;
        case 128: return 932;
        case 129: return 949;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        default: return 0;
    }
}

// The "charSet" that the header object at the start of the file declares,
// or -1. Only the first 64 KB are looked at: the header comes first.
long HeaderCharSet(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(1 << 16, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t header = head.find("Vellum");
    if (header == std::string::npos) return -1;
    const std::size_t end = head.find(')', header);
    const std::size_t key = head.find("charSet", header);
    if (key == std::string::npos || key > end) return -1;
    std::size_t digits = key + 7;
    while (digits < head.size() && std::isspace(static_cast<unsigned char>(head[digits]))) ++digits;
    long value = 0;
    bool any = false;
    for (; digits < head.size() && std::isdigit(static_cast<unsigned char>(head[digits])); ++digits, any = true) {
        value = value * 10 + (head[digits] - '0');
        if (value > 100000) return -1;
    }
    return any ? value : -1;
}

}  // namespace

void Model::Impl::ChooseCodePage() {
    if (options.codePage != 0) {
        codePage = options.codePage;
        reason = "given";
        return;
    }
    detected = true;
    // UTF-8 text beyond ASCII decides for UTF-8. Otherwise the header's
    // character set names the page; plain ASCII that declares none is read
    // as UTF-8 (the same for its own bytes, and right for UTF-8 units).
    tTextKind kind = tTextKind::Ascii;
    for (const std::filesystem::path& file : mains) {
        const tTextKind fileKind = KindOfText(file);
        if (fileKind == tTextKind::Other || kind == tTextKind::Ascii) kind = fileKind;
    }
    if (kind == tTextKind::Utf8) {
        codePage = 65001;
        reason = "its bytes are valid UTF-8";
    } else {
        const long charSet = HeaderCharSet(mains.front());
        const unsigned declared = charSet >= 0 ? CodePageOfCharSet(charSet) : 0;
        if (declared != 0) {
            codePage = declared;
            reason = "its header declares charSet " + std::to_string(charSet);
        } else if (kind == tTextKind::Ascii) {
            codePage = 65001;
            reason = "it is plain ASCII and declares no known charSet";
        } else {
            codePage = 1252;
            reason = "it is not UTF-8 and declares no known charSet";
        }
    }
    Add(diag::CodePageChosen, tError::Information, given.front(),
        "Reading the model as code page " + std::to_string(codePage) + ": " + reason +
            " (override with --codepage N)");
}

}  // namespace lum
