#pragma once
// ClumManager: loads a whole model: the main files, then, breadth first,
// the file of every unit stub (a unit saved in a file of its own), putting
// the loaded units where their stubs stood; finally it resolves the stored
// paths of external documents. Stored paths go through the resolver.

#include <list>
#include <vector>

#include "lum/diagnostics/error_list.h"
#include "lum/export.h"
#include "lum/loading/path_resolver.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumFile;
class ClumUnitObject;

class ClumManager {
public:
    // Reads `files` into new file objects appended to `models` (the caller
    // owns them). With `loadSubUnits`, loads the sub-unit files too; `units`
    // returns the stubs still not loaded (all of them without loadSubUnits).
    // Diagnostics go to `errors`. Sub-unit files are read on `threads`
    // threads in all (0: one per core), and so is a large main file (see
    // ClumParser::Parse); the graph and the diagnostics are
    // the same as read one after another.
    static void LoadModels(tErrorList& errors, const std::vector<WString>& files,
                           std::vector<ClumVellumFile*>& models, std::list<ClumUnitObject*>& units,
                           ClumVirtualPathResolver& resolver, bool loadSubUnits, unsigned threads = 0);

    // Loads the files of the given stubs (after the host corrected the path
    // map, say) and leaves in `units` those that still failed.
    static void LoadSubUnits(tErrorList& errors, std::list<ClumUnitObject*>& units, ClumVirtualPathResolver& resolver);
};

}  // namespace lum
LUM_API_END
