// lum xmi: the model as one XMI document for UML tools (lum/xmi/xmi.h).

#include "commands.h"

namespace lumcli {

int RunXmi(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const lum::xmi::Flavour flavour = options.xmiFlavour == "omg" ? lum::xmi::Flavour::Omg : lum::xmi::Flavour::Eclipse;
    std::ofstream file(options.outputFile, std::ios::binary);
    if (!file || !lum::xmi::WriteXmi(lum::uml::View::Of(model), file, {.flavour = flavour})) {
        std::cerr << "lum: cannot write " << options.outputFile << '\n';
        return 2;
    }
    file.close();
    if (!file) {
        std::cerr << "lum: cannot write " << options.outputFile << '\n';
        return 2;
    }
    out << options.outputFile << '\n';
    return StatusOf(model);
}

}  // namespace lumcli
