// lum print: the whole model as indented text, in UTF-8.

#include <fstream>

#include "commands.h"
#include "output.h"

namespace lumcli {

std::ostream* OpenOutput(const tOptions& options, std::ostream& out, std::ofstream& file) {
    if (options.outputFile.empty()) return &out;
    file.open(options.outputFile, std::ios::binary | std::ios::trunc);
    if (file.is_open()) return &file;
    std::cerr << "lum: cannot write '" << options.outputFile << "'\n";
    return nullptr;
}

int RunPrint(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    std::ofstream file;
    std::ostream* target = OpenOutput(options, out, file);
    if (target == nullptr) return 2;
    tUtf8WideBuffer buffer(*target);
    std::wostream wide(&buffer);
    for (const lum::ClumVellumFile* file : model.Files()) lum::ClumPrettyPrinter::Print(file, wide);
    wide.flush();
    return StatusOf(model);
}

}  // namespace lumcli
