// lum print: the whole model as indented text, in UTF-8.

#include "commands.h"

namespace lumcli {

std::ostream* OpenOutput(const tOptions& options, std::ostream& out, std::ofstream& file) {
    if (options.outputFile.empty()) return &out;
    file.open(options.outputFile, std::ios::binary | std::ios::trunc);
    if (file.is_open()) return &file;
    std::cerr << "lum: cannot write '" << options.outputFile << "'\n";
    return nullptr;
}

int CannotWrite(const tOptions& options) {
    const std::string what = options.outputFile.empty() ? "to standard output" : "'" + options.outputFile + "'";
    std::cerr << "lum: cannot write " << what << '\n';
    return 2;
}

std::string Describe(const lum::ClumVellumEntity* entity) {
    std::string path = lum::Model::PathOf(entity);
    return path.empty() ? "(" + lum::ToUtf8(entity->GetMetaClass().GetName().c_str()) + ")" : path;
}

int RunPrint(const lum::Model& model, const tOptions& options, std::ostream& out) {
    if (model.Depth() > kPrintableDepth) {
        std::cerr << "lum: the model nests objects " << model.Depth() << " levels deep; print indents every level "
                  << "and takes models up to " << kPrintableDepth << " deep: use 'lum export'\n";
        return 2;
    }
    std::ofstream file;
    std::ostream* target = OpenOutput(options, out, file);
    if (target == nullptr) return 2;
    tUtf8WideBuffer buffer(*target);
    std::wostream wide(&buffer);
    for (const lum::ClumVellumFile* root : model.Files()) lum::ClumPrettyPrinter::Print(root, wide);
    wide.flush();
    return *target ? StatusOf(model) : CannotWrite(options);
}

}  // namespace lumcli
