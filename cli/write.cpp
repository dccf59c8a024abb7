// lum write: the model written back in the notation, every change reported.

#include <lum/write/write_back.h>

#include "commands.h"

namespace lumcli {

int RunWrite(const lum::Model& model, const tOptions& options, std::ostream& out) {
    lum::write::Options write;
    write.outputDir = lum::FromUtf8(options.outputFile);
    write.codePage = options.writeCodePage != 0 ? options.writeCodePage : model.CodePage();
    write.readCodePage = model.CodePage();
    write.threads = options.load.threads;
    for (const auto& [symbol, path] : options.relocations) {
        write.relocations.push_back({lum::FromUtf8(symbol), lum::FromUtf8(path)});
    }
    write.relative = options.relative;
    write.inPlace = options.inPlace;
    const lum::write::WriteReport report = lum::write::WriteBack(model.Files(), write);
    for (const lum::write::WrittenFile& file : report.files) {
        out << "wrote " << lum::ToUtf8(file.path) << " (" << file.bytes << " bytes)\n";
    }
    for (const lum::WString& change : report.changes) out << lum::ToUtf8(change) << '\n';
    if (report.unrepresentable != 0) {
        out << report.unrepresentable << " characters the code page cannot hold were written as '?'\n";
    }
    for (const lum::WString& error : report.errors) std::cerr << "lum: " << lum::ToUtf8(error) << '\n';
    // A file not written leaves its target as it was: an input problem.
    return report.ok ? StatusOf(model) : 2;
}

}  // namespace lumcli
