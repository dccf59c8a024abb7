// Unit files: found elsewhere than stored, or missing with the reason why.

#include <algorithm>

#include "lum/loading/find_file.h"
#include "lum/loading/manager.h"
#include "lum/model/classes.h"
#include "lum/text/utf8.h"
#include "lum/traverse/utility_functions.h"
#include "document/model_impl.h"

namespace lum {

namespace fs = std::filesystem;

fs::path LocalPath(const std::wstring& stored) {
    std::string path = ToUtf8(stored);
    std::replace(path.begin(), path.end(), '\\', '/');
    return fs::path(path);
}

namespace {

// The file a unit or file object was read from, if it is one.
WString FileOf(const ClumVellumEntity* entity) {
    const ClumMetaClass& metaClass = entity->GetMetaClass();
    if (metaClass.IsKindOf(&ClumUnitObject::StaticGetMetaClass())) {
        const auto* unit = static_cast<const ClumUnitObject*>(entity);
        if (unit->is_loaded.Get() && !unit->file_name.IsEmpty()) return unit->file_name.Get();
    } else if (metaClass.IsKindOf(&ClumVellumFile::StaticGetMetaClass())) {
        return static_cast<const ClumVellumFile*>(entity)->fileName.Get();
    }
    return WString();
}

// Whether `file` is one the stub was found through: the file that holds it
// or one further out. Loading it again would bring the stub back, forever
// when two unit files hold each other.
bool IsOnTheWay(const ClumUnitObject* stub, const fs::path& file) {
    for (const ClumVellumEntity* entity = stub->Owner(); entity != nullptr; entity = entity->Owner()) {
        const WString name = FileOf(entity);
        std::error_code failed;
        if (!name.empty() && fs::equivalent(LocalPath(name), file, failed)) return true;
    }
    return false;
}

// The first $SYMBOL among the parts of `path` that the map defines (or, with
// `defined` false, does not define), without its $.
std::wstring SymbolIn(const WString& path, const ClumVirtualPathResolver& paths, bool defined) {
    std::vector<WString> parts;
    WString::Split(path, parts, L"\\/");
    for (const WString& part : parts) {
        if (part.size() > 1 && part[0] == L'$' && (paths.GetOriginalPaths().count(part.substr(1)) != 0) == defined) {
            return part.substr(1);
        }
    }
    return std::wstring();
}

}  // namespace

WString HoldingFile(const ClumVellumEntity* entity) {
    for (entity = entity ? entity->Owner() : nullptr; entity != nullptr; entity = entity->Owner()) {
        WString name = FileOf(entity);
        if (!name.empty()) return name;
    }
    return WString();
}

void Model::Impl::LoadMovedUnits(ClumVirtualPathResolver& paths, std::list<ClumUnitObject*>& stubs,
                                 tErrorList& errors) {
    bool progress = true;
    while (progress) {
        progress = false;
        for (auto it = stubs.begin(); it != stubs.end();) {
            ClumUnitObject* stub = *it;
            const WString holder = HoldingFile(stub);
            const fs::path holderDir = LocalPath(holder).parent_path();
            const WString stored = stub->file_name.Get();
            paths.SetRootDir(holder);
            const fs::path resolved = LocalPath(paths.ResolvePath(stored, stub));
            // Next to the holding file, then by its file name there and in
            // each search directory.
            std::vector<fs::path> candidates;
            if (resolved.is_relative()) candidates.push_back(holderDir / resolved);
            std::vector<WString> parts;
            WString::Split(stored, parts, L"\\/");
            if (!parts.empty()) {
                const fs::path name = LocalPath(parts.back());
                candidates.push_back(holderDir / name);
                for (const std::string& dir : options.searchDirs) candidates.push_back(fs::path(dir) / name);
            }
            WString found;
            const bool located = std::any_of(candidates.begin(), candidates.end(), [&](const fs::path& candidate) {
                return FindExistingFile(FromUtf8(candidate.string()), found) && !IsOnTheWay(stub, LocalPath(found));
            });
            if (!located) {
                ++it;
                continue;
            }
            stub->file_name.Set(found);
            // Loading grafts the units where the stub stood and deletes the stub.
            const std::string unitName = ToUtf8(ClumUtilityFunctions::GetName(stub).c_str());
            std::list<ClumUnitObject*> one{stub};
            ClumManager::LoadSubUnits(errors, one, paths);
            const bool loaded = std::find(one.begin(), one.end(), stub) == one.end();
            one.remove(stub);
            if (!loaded) {
                stub->file_name.Set(stored);  // not readable after all: as it was
                ++it;
                continue;
            }
            Add(diag::UnitFoundElsewhere, tError::Information, DisplayName(holder),
                "Unit '" + unitName + "' (stored as '" + ToUtf8(stored) +
                    "') found at '" + DisplayName(found) + "'");
            it = stubs.erase(it);
            // Stubs of the loaded file that were not found where stored get
            // their own turn.
            stubs.splice(stubs.end(), one);
            progress = true;
        }
    }
}

void Model::Impl::NoteMissingUnits(ClumVirtualPathResolver& paths, const std::list<ClumUnitObject*>& stubs) {
    for (ClumUnitObject* stub : stubs) {
        const WString holderName = HoldingFile(stub);
        paths.SetRootDir(holderName);
        const WString resolved = paths.ResolvePath(stub->file_name.Get(), stub);
        MissingUnit unit;
        unit.stub = stub;
        unit.unit = ToUtf8(ClumUtilityFunctions::GetName(stub).c_str());
        unit.stored = ToUtf8(stub->file_name.Get());
        unit.resolved = LocalPath(resolved).string();
        unit.holder = DisplayName(holderName);
        const std::wstring undefined = SymbolIn(stub->file_name.Get(), paths, false);
        // A symbol the map defines stays in the resolved path only when its
        // expansion leads back to itself.
        const std::wstring cyclic = SymbolIn(resolved, paths, true);
        unit.undefinedSymbol = ToUtf8(undefined);
        unit.cyclicSymbol = ToUtf8(cyclic);
        Add(diag::UnitNotFound, options.strict ? tError::Error : tError::Warning, unit.holder,
            "unit '" + unit.unit + "' not loaded: stored path '" + unit.stored + "', resolved to '" + unit.resolved +
                "'");
        // Advice comes once per symbol, however many units name it (symbols
        // are matched without regard to case).
        if (!undefined.empty() && symbolsAdvised.insert(WString(undefined).MakeLower()).second) {
            Add(diag::UndefinedSymbol, tError::Information, unit.holder,
                "the symbol '" + unit.undefinedSymbol + "' is not defined: define it with -D " + unit.undefinedSymbol +
                    "=DIR or in a --pathmap file");
        }
        if (!cyclic.empty() && symbolsAdvised.insert(WString(cyclic).MakeLower()).second) {
            Add(diag::CyclicSymbol, tError::Information, unit.holder,
                "the symbol '" + unit.cyclicSymbol + "' cannot be expanded: its definition leads back to itself");
        }
        missing.push_back(std::move(unit));
    }
}

}  // namespace lum
