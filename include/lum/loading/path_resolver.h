#pragma once
// ClumVirtualPathResolver: turns the paths stored in model files into real
// ones. A path component "$NAME" stands for the directory the map gives for
// the symbol NAME (found regardless of case; "NAME(a, b)" fills the "*"
// components of the mapped path with the arguments), and a first component
// "&" for the directory of the file being read (the root directory, set
// before each resolution). Paths are joined with backslashes.

#include <list>
#include <map>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumUnitObject;

class ClumVirtualPathResolver {
public:
    // Key order: shorter first, then code unit by code unit ignoring case.
    struct tStringCompare {
        bool operator()(const WString& a, const WString& b) const;
    };
    using PathMap = std::map<WString, WString, tStringCompare>;

    // Maps `symbol` (kept in lower case) to `path` as written; takes effect
    // at the next ReduceMap.
    void AddPath(const WString& symbol, const WString& path);
    void RemovePath(const WString& symbol);
    // The directory of the file `path` becomes the root for the next
    // resolution only; the empty string clears it.
    void SetRootDir(const WString& path);

    // Adds the entries of a map file ("symbol=path", separated by line ends
    // or ';'); a file that cannot be opened adds nothing.
    void LoadFromFile(const WString& file);
    // Writes one "symbol=path" line per entry.
    void SaveToFile(const WString& file) const;
    // Writes each expanded entry as "symbol=path" to the standard wide output.
    void PrintTable() const;

    // Expands every entry through the others. An entry that refers to itself
    // (or takes part in any other cycle) is left out of the expanded map.
    void ReduceMap();
    // The real path of a stored one; clears the root directory.
    WString ResolvePath(const WString& path, ClumUnitObject* unit);

    const PathMap& GetOriginalPaths() const { return m_originalPaths; }

protected:
    // Expands the components in place; false when `key` refers to itself or
    // the expansion does not end.
    bool ResolvePath(const WString& key, std::list<WString>& parts);
    // The components `name` stands for, parameters filled in; false if none.
    bool FindVirtualPath(const WString& name, std::list<WString>& out) const;

private:
    static WString JoinPath(const std::list<WString>& parts);
    static void SplitPath(const WString& path, std::list<WString>& out);
    static bool IsNetworkPath(const WString& path);

    PathMap m_originalPaths;
    std::map<WString, std::list<WString>, tStringCompare> m_reducedPaths;
    std::list<WString> m_rootDir;
};

}  // namespace lum
LUM_API_END
