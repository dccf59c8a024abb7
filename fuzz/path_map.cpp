// Fuzz target: the path resolver fed a fuzzed map file and fuzzed paths.
// The input is a map file, a line "%%", then one request a line:
// "+SYMBOL=PATH" adds an entry, "-SYMBOL" removes one (the map is reduced
// again before the next path), "ROOT\tPATH" resolves PATH with the
// directory of ROOT as the root directory, anything else is a path to
// resolve. A map of printable ASCII must come back unchanged from saving
// and loading it again.

#include <algorithm>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

lum::WString Wide(std::string_view bytes) { return lum::WString(std::string(bytes).c_str()); }

bool IsPrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '\n' || (c >= ' ' && c <= '~'); });
}

void CheckSavedMapReadsBack(const lum::ClumVirtualPathResolver& paths) {
    const lum::WString saved(fs::path(lum::fuzz::ScratchDirectory() / "saved.map").wstring());
    paths.SaveToFile(saved);
    lum::ClumVirtualPathResolver reloaded;
    reloaded.LoadFromFile(saved);
    if (reloaded.GetOriginalPaths() != paths.GetOriginalPaths()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    const std::vector<std::string_view> parts = lum::fuzz::SplitInput(session.Text(), "\n%%\n");
    const fs::path map = lum::fuzz::ScratchDirectory() / "fuzz.map";
    lum::fuzz::WriteFile(map, parts[0]);

    lum::ClumVirtualPathResolver paths;
    paths.LoadFromFile(lum::WString(map.wstring()));
    if (IsPrintableAscii(parts[0])) CheckSavedMapReadsBack(paths);
    paths.ReduceMap();
    if (parts.size() < 2) return 0;
    for (std::string_view line : lum::fuzz::SplitInput(parts[1], "\n")) {
        if (line.starts_with('+')) {
            const std::size_t equals = line.find('=');
            paths.AddPath(Wide(line.substr(1, equals - 1)), Wide(equals == line.npos ? "" : line.substr(equals + 1)));
            paths.ReduceMap();
        } else if (line.starts_with('-')) {
            paths.RemovePath(Wide(line.substr(1)));
            paths.ReduceMap();
        } else {
            const std::size_t tab = line.find('\t');
            if (tab != line.npos) {
                paths.SetRootDir(Wide(line.substr(0, tab)));
                line.remove_prefix(tab + 1);
            }
            paths.ResolvePath(Wide(line), nullptr);
        }
    }
    return 0;
}
