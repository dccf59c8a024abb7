// lum export: the whole model as one JSON document (lum-export/1).

#include <fstream>

#include <lum/json/export.h>

#include "commands.h"

namespace lumcli {

int RunExport(const lum::Model& model, const tOptions& options, std::ostream& out) {
    std::ofstream file;
    std::ostream* target = OpenOutput(options, out, file);
    if (target == nullptr) return 2;
    if (!lum::json::WriteJson(model, *target, {.compact = options.compact, .threads = options.load.threads}))
        return CannotWrite(options);
    return StatusOf(model);
}

}  // namespace lumcli
