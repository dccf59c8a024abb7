// lum print: the whole model as indented text, in UTF-8.

#include <fstream>

#include "commands.h"
#include "output.h"

namespace lumcli {

int RunPrint(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    std::ofstream file;
    std::ostream* target = &out;
    if (!options.outputFile.empty()) {
        file.open(options.outputFile, std::ios::binary | std::ios::trunc);
        if (!file.is_open()) {
            std::cerr << "lum: cannot write '" << options.outputFile << "'\n";
            return 2;
        }
        target = &file;
    }
    tUtf8WideBuffer buffer(*target);
    std::wostream wide(&buffer);
    for (const lum::ClumVellumFile* file : model.Files()) lum::ClumPrettyPrinter::Print(file, wide);
    wide.flush();
    return StatusOf(model);
}

}  // namespace lumcli
