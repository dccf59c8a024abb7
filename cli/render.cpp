// lum render: diagrams as SVG pictures, or PNG through rsvg-convert
// (Debian package librsvg2-bin); --list lists the diagrams instead.

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <iomanip>

#include "commands.h"

extern char** environ;

namespace lumcli {

namespace {

// Runs rsvg-convert on the SVG file; true when it made the PNG.
bool ConvertToPng(const std::string& svg, const std::string& png) {
    std::string program = "rsvg-convert", format = "--format=png", output = "--output=" + png, input = svg;
    char* argv[] = {program.data(), format.data(), output.data(), input.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool DiagramSelected(const lum::uml::Diagram& diagram, const std::string& wanted) {
    if (wanted.empty()) return true;
    const auto* raw = static_cast<const lum::ClumDiagram*>(diagram.raw);
    const lum::ClumIdent& quid = raw->quid.Get();
    return lum::ToUtf8(quid.View()) == wanted || lum::uml::QualifiedName(diagram) == wanted ||
           lum::uml::ShownText(diagram.name) == wanted;
}

int RunRender(const lum::Model& model, const tOptions& options, std::ostream& out) {
    std::vector<const lum::uml::Diagram*> diagrams;
    for (const lum::uml::Element* element : lum::uml::View::Of(model).All(lum::uml::Kind::Diagram)) {
        const auto* diagram = lum::uml::As<lum::uml::Diagram>(element);
        if (DiagramSelected(*diagram, options.diagram)) diagrams.push_back(diagram);
    }
    if (diagrams.empty() && !options.diagram.empty()) {
        std::cerr << "lum: no diagram is named '" << options.diagram << "' (lum render MODEL --list lists them)\n";
        return 2;
    }
    if (options.list) {
        for (const lum::uml::Diagram* diagram : diagrams)
            out << std::left << std::setw(14) << lum::uml::DiagramKindName(diagram->sort) << std::right << std::setw(6)
                << lum::render::ViewCount(*diagram) << " views " << std::setw(6) << diagram->shown.size()
                << " elements  " << lum::uml::QualifiedName(*diagram) << '\n';
        return StatusOf(model);
    }
    const std::filesystem::path directory = options.outputFile.empty() ? "." : options.outputFile;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const std::vector<std::string> names = lum::uml::FileStems(diagrams);
    const bool png = options.imageFormat == "png";
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        const std::filesystem::path svg = directory / (names[i] + ".svg");
        {
            std::ofstream file(svg, std::ios::binary);
            if (!lum::render::WriteSvg(*diagrams[i], file, {.storedSequenceNumbers = options.storedSequence})) {
                std::cerr << "lum: cannot write " << svg.string() << '\n';
                return 2;
            }
        }
        if (!png) {
            out << svg.string() << '\n';
            continue;
        }
        const std::filesystem::path image = directory / (names[i] + ".png");
        const bool made = ConvertToPng(svg.string(), image.string());
        std::filesystem::remove(svg, error);
        if (!made) {
            std::cerr << "lum: rsvg-convert could not make " << image.string()
                      << " (is the package librsvg2-bin installed?)\n";
            return 2;
        }
        out << image.string() << '\n';
    }
    return StatusOf(model);
}

}  // namespace lumcli
