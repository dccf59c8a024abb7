// lum outline: the UML view as an indented outline, or one JSON document.

#include "commands.h"

namespace lumcli {

int RunOutline(const lum::Model& model, const tOptions& options, std::ostream& out) {
    if (options.format == tFormat::Json) lum::uml::WriteOutlineJson(model.Uml(), out);
    else lum::uml::WriteOutline(model.Uml(), out);
    return StatusOf(model);
}

}  // namespace lumcli
