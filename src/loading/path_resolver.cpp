#include "lum/loading/path_resolver.h"

#include <cwctype>
#include <iostream>
#include <vector>

namespace lum {

namespace {

// A path map whose expansions go on past these bounds has a cycle that does
// not pass through the entry being resolved; the entry fails like one that
// refers to itself. Real maps stay far below them.
constexpr int MaxExpansions = 4096;
constexpr std::size_t MaxComponents = 4096;

bool StartsAbsolute(const WString& path) { return !path.empty() && path[0] == L'/'; }

}  // namespace

bool ClumVirtualPathResolver::tStringCompare::operator()(const WString& a, const WString& b) const {
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const wint_t ca = std::towlower(static_cast<wint_t>(a[i]));
        const wint_t cb = std::towlower(static_cast<wint_t>(b[i]));
        if (ca != cb) return ca < cb;
    }
    return false;
}

void ClumVirtualPathResolver::AddPath(const WString& symbol, const WString& path) {
    WString key = symbol;
    key.MakeLower();
    m_originalPaths[key] = path;
}

void ClumVirtualPathResolver::RemovePath(const WString& symbol) {
    m_originalPaths.erase(symbol);
    m_reducedPaths.erase(symbol);
}

bool ClumVirtualPathResolver::IsNetworkPath(const WString& path) {
    return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}

void ClumVirtualPathResolver::SplitPath(const WString& path, std::list<WString>& out) {
    std::vector<WString> pieces;
    WString::Split(path, pieces, L"\\/");
    // The first component keeps what makes the path absolute: the two
    // backslashes of a network path, the slash of a POSIX path.
    if (!pieces.empty()) {
        if (IsNetworkPath(path)) pieces.front().insert(0, L"\\\\");
        else if (StartsAbsolute(path)) pieces.front().insert(0, L"/");
    }
    out.insert(out.begin(), pieces.begin(), pieces.end());
}

WString ClumVirtualPathResolver::JoinPath(const std::list<WString>& parts) {
    WString joined;
    bool first = true;
    for (const WString& part : parts) {
        if (!first) joined += L'\\';
        joined += part;
        first = false;
    }
    return joined;
}

void ClumVirtualPathResolver::SetRootDir(const WString& path) {
    m_rootDir.clear();
    if (path.empty()) return;
    SplitPath(path, m_rootDir);
    if (!m_rootDir.empty()) m_rootDir.pop_back();
}

bool ClumVirtualPathResolver::FindVirtualPath(const WString& name, std::list<WString>& out) const {
    out.clear();
    if (const auto found = m_reducedPaths.find(name); found != m_reducedPaths.end()) {
        out = found->second;
        return !out.empty();
    }
    // NAME(arg1, arg2, ...): each "*" of NAME's path takes the next argument.
    if (name.empty() || name.back() != L')') return false;
    const std::size_t open = name.rfind(L'(', name.size() - 1);
    if (open == WString::npos || open == 0) return false;
    const auto base = m_reducedPaths.find(WString(name.substr(0, open)));
    if (base == m_reducedPaths.end()) return false;
    std::size_t cursor = open;
    for (const WString& component : base->second) {
        if (component != L"*" || cursor >= name.size()) {
            out.push_back(component);
            continue;
        }
        ++cursor;
        while (cursor < name.size() && std::iswspace(static_cast<wint_t>(name[cursor]))) ++cursor;
        const std::size_t start = cursor;
        while (cursor < name.size() && name[cursor] != L')' && name[cursor] != L',') ++cursor;
        if (cursor > start) out.push_back(WString(name.substr(start, cursor - start)));
    }
    return !out.empty();
}

bool ClumVirtualPathResolver::ResolvePath(const WString& key, std::list<WString>& parts) {
    int expansions = 0;
    for (auto it = parts.begin(); it != parts.end();) {
        const WString component = *it;
        if (component.empty()) {
            ++it;
            continue;
        }
        const bool first = it == parts.begin();
        if (component[0] == L'$') {
            const WString name(component.substr(1));
            if (name == key) return false;
            std::list<WString> expansion;
            if (FindVirtualPath(name, expansion)) {
                if (++expansions > MaxExpansions || parts.size() + expansion.size() > MaxComponents) return false;
                it = parts.erase(it);
                parts.splice(it, expansion);
                it = first ? parts.begin() : std::next(parts.begin());
                continue;
            }
        }
        if (first && !m_rootDir.empty()) {
            const std::size_t marker = component[0] == L'$' ? 1 : 0;
            if (marker < component.size() && component[marker] == L'&') {
                if (++expansions > MaxExpansions) return false;
                it = parts.erase(it);
                parts.insert(it, m_rootDir.begin(), m_rootDir.end());
                it = parts.begin();
                continue;
            }
        }
        ++it;
    }
    return true;
}

WString ClumVirtualPathResolver::ResolvePath(const WString& path, ClumUnitObject*) {
    std::list<WString> parts;
    SplitPath(path, parts);
    ResolvePath(WString(), parts);
    m_rootDir.clear();
    return JoinPath(parts);
}

void ClumVirtualPathResolver::ReduceMap() {
    m_reducedPaths.clear();
    for (const auto& [symbol, path] : m_originalPaths) {
        std::list<WString> parts;
        SplitPath(path, parts);
        m_reducedPaths[symbol] = parts;
    }
    for (auto it = m_reducedPaths.begin(); it != m_reducedPaths.end();) {
        if (ResolvePath(it->first, it->second)) {
            ++it;
            continue;
        }
        const bool wasFirst = it == m_reducedPaths.begin();
        m_reducedPaths.erase(it);
        it = m_reducedPaths.begin();
        if (!wasFirst && it != m_reducedPaths.end()) ++it;
    }
}

void ClumVirtualPathResolver::PrintTable() const {
    for (const auto& [symbol, parts] : m_reducedPaths) {
        std::wcout << symbol << L"=" << JoinPath(parts) << std::endl;
    }
}

}  // namespace lum
