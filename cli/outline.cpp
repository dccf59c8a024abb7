// lum outline: the UML view as an indented outline, or one JSON document.

#include "commands.h"

namespace lumcli {

int RunOutline(const lum::Model& model, const tOptions& options, std::ostream& out) {
    if (options.format == tFormat::Json) lum::uml::WriteOutlineJson(lum::uml::View::Of(model), out);
    else lum::uml::WriteOutline(lum::uml::View::Of(model), out);
    return StatusOf(model);
}

}  // namespace lumcli
