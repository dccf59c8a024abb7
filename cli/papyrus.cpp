// lum papyrus: the model and its diagrams as Eclipse Papyrus files (lum/papyrus/papyrus.h).

#include <filesystem>

#include "commands.h"

namespace lumcli {

int RunPapyrus(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const std::string name = std::filesystem::path(options.models.front()).stem().string();
    const lum::papyrus::Summary summary = lum::papyrus::Write(lum::uml::View::Of(model), options.outputFile, {.name = name});
    if (!summary.ok) {
        std::cerr << "lum: " << summary.error << '\n';
        return 2;
    }
    std::size_t diagrams = 0;
    std::string kinds;
    for (std::size_t kind = 0; kind < summary.diagrams.size(); ++kind) {
        if (summary.diagrams[kind] == 0) continue;
        diagrams += summary.diagrams[kind];
        kinds += (kinds.empty() ? "" : ", ") + std::to_string(summary.diagrams[kind]) + " " +
                 lum::uml::DiagramKindName(static_cast<lum::uml::DiagramKind>(kind));
    }
    const std::filesystem::path di = std::filesystem::path(options.outputFile) / (name + ".di");
    out << di.string() << ": " << diagrams << " diagrams" << (kinds.empty() ? "" : " (" + kinds + ")") << ", "
        << summary.views << " views; " << summary.leftOut.size() << " left out\n";
    for (const lum::papyrus::LeftOut& left : summary.leftOut)
        out << "  left out: " << left.diagram << ": " << left.what << ": " << left.why << '\n';
    return StatusOf(model);
}

}  // namespace lumcli
