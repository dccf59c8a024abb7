// lum plantuml: one PlantUML file per class, use-case, state, activity,
// component and deployment diagram, named like the pictures of lum render.

#include <filesystem>

#include "commands.h"

namespace lumcli {

int RunPlantUml(const lum::Model& model, const tOptions& options, std::ostream& out) {
    std::vector<const lum::uml::Diagram*> diagrams;
    for (const lum::uml::Element* element : lum::uml::View::Of(model).All(lum::uml::Kind::Diagram)) {
        const auto* diagram = lum::uml::As<lum::uml::Diagram>(element);
        if (lum::publish::HasPlantUml(*diagram) && DiagramSelected(*diagram, options.diagram)) diagrams.push_back(diagram);
    }
    if (diagrams.empty() && !options.diagram.empty()) {
        std::cerr << "lum: no class, use-case, state, activity, component or deployment diagram is named '"
                  << options.diagram << "' (lum render MODEL --list lists the diagrams)\n";
        return 2;
    }
    const std::filesystem::path directory = options.outputFile;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const std::vector<std::string> names = lum::uml::FileStems(diagrams);
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        const std::filesystem::path path = directory / (names[i] + ".puml");
        std::ofstream file(path, std::ios::binary);
        if (!lum::publish::WritePlantUml(*diagrams[i], file)) {
            std::cerr << "lum: cannot write " << path.string() << '\n';
            return 2;
        }
        out << path.string() << '\n';
    }
    return StatusOf(model);
}

}  // namespace lumcli
