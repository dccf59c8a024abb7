// The path map file: "symbol=path" entries separated by line feeds or ';'.
// Nothing is trimmed, so blanks around '=' belong to the symbol or the path.

#include <filesystem>
#include <fstream>
#include <system_error>
#include <iterator>

#include "lum/loading/path_resolver.h"
#include "platform/file_names.h"

namespace lum {

void ClumVirtualPathResolver::LoadFromFile(const WString& file) {
    const std::string name = platform::FindFileName(file);
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error)) return;  // a directory opens, but reads throw
    std::ifstream in(name, std::ios::in | std::ios::binary);
    if (!in.is_open()) return;
    WString symbol;
    WString path;
    bool inPath = false;
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
        const char byte = *it;
        if (!inPath) {
            if (byte == '=') {
                inPath = true;
            } else if (byte == ' ' || (byte >= '\t' && byte <= '\r')) {
                symbol += L' ';
            } else {
                symbol += byte;
            }
        } else if (byte == '\n' || byte == ';') {
            AddPath(symbol, path);
            symbol.clear();
            path.clear();
            inPath = false;
        } else {
            path += byte;
        }
    }
    if (inPath && !symbol.empty() && !path.empty()) AddPath(symbol, path);
}

void ClumVirtualPathResolver::SaveToFile(const WString& file) const {
    std::ofstream out(platform::FindFileName(file), std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return;
    // One byte a character: characters beyond the 8-bit range are written
    // as '?'.
    auto write = [&out](const WString& text) {
        for (wchar_t c : text) out.put(static_cast<unsigned>(c) < 256 ? static_cast<char>(c) : '?');
    };
    for (const auto& [symbol, path] : m_originalPaths) {
        write(symbol);
        out.put('=');
        write(path);
        out.put('\n');
    }
}

}  // namespace lum
