// lum outline: the UML view as an indented outline, or one JSON document.

#include "commands.h"

namespace lumcli {

int RunOutline(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const lum::uml::View& view = lum::uml::View::Of(model);
    const bool written =
        options.format == tFormat::Json ? lum::uml::WriteOutlineJson(view, out) : lum::uml::WriteOutline(view, out);
    return written ? StatusOf(model) : CannotWrite(options);
}

}  // namespace lumcli
