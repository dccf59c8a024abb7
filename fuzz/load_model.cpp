// Fuzz target: a whole model loaded from fuzzed files, as the tool loads
// one. The input is cut at lines "%%" into a path map, a main file and up
// to four unit files, written to a private directory as map.map, main.mdl,
// a.cat, b.sub, pkg/c.cat and pkg/d.cat (CURDIR is that directory unless
// the map says otherwise). The main file and its units are loaded, the
// stubs still missing tried once more, every reference bound, the
// diagnostics formatted after loading as a host does, the model printed and
// deleted.

#include <filesystem>
#include <list>
#include <vector>

#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

const char* const kFileNames[] = {"map.map", "main.mdl", "a.cat", "b.sub", "pkg/c.cat", "pkg/d.cat"};

lum::WString Wide(const fs::path& path) { return lum::WString(path.wstring()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size, true);
    const fs::path& directory = lum::fuzz::ScratchDirectory();
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) fs::remove_all(entry.path());
    const std::vector<std::string_view> parts = lum::fuzz::SplitInput(session.Text(), "\n%%\n");
    for (std::size_t i = 0; i < parts.size() && i < std::size(kFileNames); ++i) {
        lum::fuzz::WriteFile(directory / kFileNames[i], parts[i]);
    }

    lum::ClumVirtualPathResolver paths;
    paths.LoadFromFile(Wide(directory / kFileNames[0]));
    if (paths.GetOriginalPaths().count(L"curdir") == 0) paths.AddPath(L"CURDIR", Wide(directory));
    std::vector<lum::ClumVellumFile*> models;
    std::list<lum::ClumUnitObject*> stubs;
    lum::ClumManager::LoadModels(session.Errors(), {Wide(directory / kFileNames[1])}, models, stubs, paths, true);
    lum::ClumManager::LoadSubUnits(session.Errors(), stubs, paths);

    lum::ClumNameResolver resolver;
    std::vector<const lum::IlumReference*> unresolved;
    for (lum::ClumVellumFile* model : models) resolver.CollectAndBind(model, unresolved);
    session.Errors().FormatKept();
    for (lum::ClumVellumFile* model : models) lum::ClumPrettyPrinter::Print(model, lum::fuzz::NullStream());
    resolver.ClearCaches();
    for (lum::ClumVellumFile* model : models) lum::TreeRemover().DeleteTree(model);
    return 0;
}
